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
    EXPECT_EQ(Take({QStringLiteral("один"), QString(), QStringLiteral("два")}).Chars, 7);
}

// A word is six characters, bps 5.5 per word per minute; both exact, halves
// to even, never wrapped at 65536; under a tenth of a second scores 0.
TEST(ReadingSpeed, WordsPerMinuteAndBps) {
    EXPECT_EQ(ReadingSpeed::From(2013, 600).StatusLine(),  // 335.5 words in one minute
              QStringLiteral("Ваша скорость чтения 336 слов в минуту (1848 bps)"));
    EXPECT_EQ(ReadingSpeed::From(2019, 600).WordsPerMinute, 336);  // 336.5
    EXPECT_EQ(ReadingSpeed::From(2000, 605).Bps, 1820);            // 331 words: 1820.5
    EXPECT_EQ(ReadingSpeed::From(2000, 1).Bps, 1100000);
    EXPECT_EQ(ReadingSpeed::From(2013, 0).StatusLine(), QStringLiteral("Ваша скорость чтения 0 слов в минуту (0 bps)"));
}

}  // namespace
}  // namespace vistorel
