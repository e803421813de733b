// The measured speed of an exercise, from a scripted run of steps and a pause:
// the last minute of running time counts, not the last minute of the clock,
// and the panel's place and time left follow from the text.

#include "history/ReadingMeter.h"

#include <gtest/gtest.h>

namespace vistorel {
namespace {

TEST(ReadingMeter, CountsWordsAsTheExerciseShowsThem) {
    EXPECT_EQ(CountWords(u"Раз, два-три.  четыре "), 4);
    EXPECT_EQ(CountWords(u" -- . ,"), 0);
    EXPECT_EQ(CountWords(u"1812 год"), 2);
    EXPECT_EQ(CountWords(u"«»"), 0);
}

TEST(ReadingMeter, SpeedOverTheLastMinuteOfRunningTimeWithPausesLeftOut) {
    // 1450 lines of three words; the run starts at line 100.
    const QStringList lines(1450, QStringLiteral("раз два три"));
    ReadingMeter meter;
    meter.Start(0, lines, 100);
    std::int64_t words = 0;
    // 30 s at one word per half second: 120 words a minute.
    for (std::int64_t t = 500; t <= 30000; t += 500) {
        ++words;
        meter.Sample(t, t < 30000, words, 100 + static_cast<int>(words / 12));
        if (t == 2500) {
            EXPECT_FALSE(meter.MeasuredWordsPerMinute().has_value());
        }
        if (t == 3000) {
            EXPECT_EQ(meter.MeasuredWordsPerMinute(), 120);
        }
    }
    // The look that finds it paused counts the time up to it; then 20 s of pause.
    EXPECT_EQ(meter.ActiveMs(), 30000);
    for (std::int64_t t = 30500; t < 50000; t += 500) meter.Sample(t, false, words, 105);
    meter.Sample(50000, true, words, 105);
    // 40 s at two words per half second: 240 words a minute.
    for (std::int64_t t = 50500; t <= 90000; t += 500) {
        words += 2;
        meter.Sample(t, true, words, 105 + static_cast<int>((words - 60) / 32));
    }
    EXPECT_EQ(meter.ActiveMs(), 70000);
    EXPECT_EQ(meter.WordsShown(), 220);
    // The last 60 s of running time: 20 s of the first pace and 40 s of the second.
    EXPECT_EQ(meter.MeasuredWordsPerMinute(), 200);
    EXPECT_EQ(meter.AverageWordsPerMinute(), 189);  // 220 words in 70 s
    EXPECT_EQ(meter.Line(), 110);
    EXPECT_EQ(meter.LinesAdvanced(), 10);
    // 1340 lines of three words left at 200 a minute: 20.1 minutes, told as 21.
    EXPECT_EQ(meter.PanelLines(), (QStringList{QStringLiteral("200 слов/мин"), QStringLiteral("строка 110 из 1450, 7 %"),
                                               QStringLiteral("осталось 21 мин")}));
}

TEST(ReadingMeter, LinesAdvancedCountTheWayRoundTheEndOfTheText) {
    const QStringList lines(10, QStringLiteral("слово"));
    ReadingMeter meter;
    meter.Start(0, lines, 8);
    meter.Sample(250, true, 1, 10);
    meter.Sample(500, true, 2, 1);   // round the end: lines 9, 10, 1
    meter.Sample(750, true, 3, 1);
    EXPECT_EQ(meter.LinesAdvanced(), 3);
    meter.Sample(1000, true, 4, 2);
    EXPECT_EQ(meter.LinesAdvanced(), 4);

    // Five lines round the end still count (8 to 3); six (8 to 4) are a jump
    // back, to a bookmark say, not a way round.
    meter.Start(0, lines, 8);
    meter.Sample(250, true, 1, 3);
    EXPECT_EQ(meter.LinesAdvanced(), 5);
    meter.Start(0, lines, 8);
    meter.Sample(250, true, 1, 4);
    EXPECT_EQ(meter.LinesAdvanced(), 0);
}

}  // namespace
}  // namespace vistorel
