// What the reading speed test loads and how it scores a reading.

#include "trainers/ReadingSpeed.h"

#include "engine/TextLines.h"

#include <gtest/gtest.h>

namespace vistorel {
namespace {

TextBeginning Take(const QStringList& lines) {
    TextLines text;
    text.Lines = lines;
    text.LineCount = static_cast<std::uint16_t>(lines.size());
    return TakeTextBeginning(text);
}

// Whole lines until 2000 characters: the line that gets there is taken whole,
// a first line of 2000 or more alone; empty lines count nothing; a short
// text ends at its end.
TEST(ReadingSpeed, TakesWholeLinesUntilTwoThousandCharacters) {
    const TextBeginning beginning = Take({QString(1990, u'ж'), QString(), QString(20, u'я'), QStringLiteral("b")});
    EXPECT_EQ(beginning.Chars, 2010);
    EXPECT_EQ(beginning.Lines, QStringList({QString(1990, u'ж'), QString(), QString(20, u'я')}));
    EXPECT_EQ(Take({QString(5000, u'a'), QStringLiteral("b")}).Lines.size(), 1);
    EXPECT_EQ(Take({QString(1500, u'a'), QString(500, u'b'), QStringLiteral("c")}).Lines.size(), 2);  // 2000 exactly
    EXPECT_EQ(Take({QStringLiteral("один"), QString(), QStringLiteral("два")}).Chars, 7);
}

// A word is six characters, bps 5.5 per word per minute; both exact, halves
// to even (1831.5 gives 1832, 1820.5 gives 1820), never wrapped at 65536;
// the words take the form of their number.
TEST(ReadingSpeed, WordsPerMinuteAndBps) {
    EXPECT_EQ(ReadingSpeed::From(2013, 600).StatusLine(),  // 335.5 words in one minute
              QStringLiteral("Ваша скорость чтения 336 слов в минуту (1848 bps)"));
    EXPECT_EQ(ReadingSpeed::From(2019, 600).WordsPerMinute, 336);  // 336.5
    EXPECT_EQ(ReadingSpeed::From(1998, 600).Bps, 1832);            // 333 words: 1831.5
    EXPECT_EQ(ReadingSpeed::From(2000, 605).Bps, 1820);            // 331 words: 1820.5
    EXPECT_EQ(ReadingSpeed::From(6, 600).StatusLine(), QStringLiteral("Ваша скорость чтения 1 слово в минуту (6 bps)"));
    EXPECT_EQ(ReadingSpeed::From(13, 600).StatusLine(), QStringLiteral("Ваша скорость чтения 2 слова в минуту (11 bps)"));
}

// A reading shorter than a second gives no figures, only a line that asks
// for a longer one; a second exactly is measured.
TEST(ReadingSpeed, ReadingUnderASecondMeasuresNothing) {
    EXPECT_EQ(ReadingSpeed::From(2000, 9).StatusLine(),
              QStringLiteral("Слишком короткий замер: читайте не меньше секунды"));
    EXPECT_EQ(ReadingSpeed::From(2013, 0).StatusLine(),
              QStringLiteral("Слишком короткий замер: читайте не меньше секунды"));
    EXPECT_EQ(ReadingSpeed::From(2000, 10).StatusLine(),
              QStringLiteral("Ваша скорость чтения 20000 слов в минуту (110000 bps)"));
}

}  // namespace
}  // namespace vistorel
