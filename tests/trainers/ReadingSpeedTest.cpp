// What the reading speed test loads and how it scores a reading.

#include "trainers/ReadingSpeed.h"

#include "engine/TextLines.h"

#include <gtest/gtest.h>

namespace vistorel {
namespace {

TextLines Text(const QStringList& lines) {
    TextLines text;
    text.Lines = lines;
    text.LineCount = static_cast<std::uint16_t>(lines.size());
    return text;
}

// Whole lines are taken until they hold 2000 characters; the line that gets
// there is taken whole, a first line of 2000 or more alone, empty lines are
// kept and count nothing, and a short text ends at its end.
TEST(ReadingSpeed, TakesWholeLinesUntilTwoThousandCharacters) {
    const QString hundred(100, u'ж');
    QStringList lines;
    for (int i = 0; i < 19; ++i) lines << hundred << QString();
    lines << QString(113, u'я') << QStringLiteral("not loaded");
    const TextBeginning beginning = TakeTextBeginning(Text(lines));
    EXPECT_EQ(beginning.Chars, 2013);
    EXPECT_EQ(beginning.Lines.size(), 39);
    EXPECT_EQ(beginning.Lines.at(1), QString());
    EXPECT_EQ(beginning.Lines.last(), QString(113, u'я'));

    const TextBeginning exact = TakeTextBeginning(Text({QString(1999, u'a'), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(exact.Chars, 2000);
    EXPECT_EQ(exact.Lines.size(), 2);

    const TextBeginning longFirst = TakeTextBeginning(Text({QString(5000, u'a'), QStringLiteral("b")}));
    EXPECT_EQ(longFirst.Chars, 5000);
    EXPECT_EQ(longFirst.Lines.size(), 1);

    const TextBeginning shortText = TakeTextBeginning(Text({QStringLiteral("один"), QString(), QStringLiteral("два")}));
    EXPECT_EQ(shortText.Chars, 7);
    EXPECT_EQ(shortText.Lines, QStringList({QStringLiteral("один"), QString(), QStringLiteral("два")}));
    EXPECT_EQ(TakeTextBeginning(Text({})).Chars, 0);
}

// Six characters make a word; bps is 5.5 per word per minute; both round to
// the nearest with halves to even, exactly, and are never wrapped at 65536.
TEST(ReadingSpeed, WordsPerMinuteAndBps) {
    const ReadingSpeed example = ReadingSpeed::From(2013, 600);  // 335.5 words in one minute
    EXPECT_EQ(example.WordsPerMinute, 336);
    EXPECT_EQ(example.Bps, 1848);
    EXPECT_EQ(example.StatusLine(), QStringLiteral("Ваша скорость чтения 336 слов в минуту (1848 bps)"));

    EXPECT_EQ(ReadingSpeed::From(673, 200).WordsPerMinute, 336);  // 336.5 goes to the even 336
    EXPECT_EQ(ReadingSpeed::From(2019, 600).WordsPerMinute, 336);  // 336.5 again
    EXPECT_EQ(ReadingSpeed::From(2000, 605).WordsPerMinute, 331);  // 330.58: the tenths count
    EXPECT_EQ(ReadingSpeed::From(2000, 605).Bps, 1820);           // 1820.5 goes to the even 1820
    EXPECT_EQ(ReadingSpeed::From(2000, 606).Bps, 1815);           // 330 words: 1815 exactly

    const ReadingSpeed fast = ReadingSpeed::From(2000, 1);
    EXPECT_EQ(fast.WordsPerMinute, 200000);
    EXPECT_EQ(fast.Bps, 1100000);
    EXPECT_EQ(ReadingSpeed::From(70000, 600).WordsPerMinute, 11667);

    const ReadingSpeed none = ReadingSpeed::From(2013, 0);
    EXPECT_EQ(none.WordsPerMinute, 0);
    EXPECT_EQ(none.Bps, 0);
    EXPECT_EQ(none.StatusLine(), QStringLiteral("Ваша скорость чтения 0 слов в минуту (0 bps)"));
}

}  // namespace
}  // namespace vistorel
