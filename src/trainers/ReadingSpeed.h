#pragma once
// What the reading speed test reads and how it scores: the beginning of the
// current text, and the speed in words per minute (a word is six characters)
// with its "bps" figure (5.5 per word per minute).

#include <QString>
#include <QStringList>
#include <cstdint>

namespace vistorel {

struct TextLines;

inline constexpr std::int64_t kReadingTestChars = 2000;

// Whole lines from the first, until they hold at least `atLeast` characters
// (the line that reaches it is taken whole) or the text ends. Line breaks do
// not count; empty lines are taken and count 0.
struct TextBeginning {
    QStringList Lines;
    std::int64_t Chars = 0;
};
TextBeginning TakeTextBeginning(const TextLines& text, std::int64_t atLeast = kReadingTestChars);

// The speed of one reading, in wide integers, rounded to the nearest with
// halves to even. A reading shorter than a second measures nothing: a
// fraction of a second says nothing of the reader and only gives absurd
// figures.
struct ReadingSpeed {
    bool Measured = false;
    std::int64_t WordsPerMinute = 0;
    std::int64_t Bps = 0;

    static ReadingSpeed From(std::int64_t chars, std::int64_t tenths);
    // "Ваша скорость чтения 336 слов в минуту (1848 bps)", or for a reading
    // that measured nothing a line that says so, without figures.
    QString StatusLine() const;
};

}  // namespace vistorel
