#include "trainers/ReadingSpeed.h"

#include "engine/TextLines.h"
#include "platform/Plural.h"
#include "trainers/TestClock.h"

namespace vistorel {
namespace {

// numerator / denominator (both positive) to the nearest integer, halves to even.
std::int64_t DivideRounded(std::int64_t numerator, std::int64_t denominator) {
    const std::int64_t quotient = numerator / denominator;
    const std::int64_t twiceRest = 2 * (numerator % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 != 0)) return quotient + 1;
    return quotient;
}

}  // namespace

TextBeginning TakeTextBeginning(const TextLines& text, std::int64_t atLeast) {
    TextBeginning beginning;
    for (int n = 1; n <= text.LineCount && beginning.Chars < atLeast; ++n) {
        const QString& line = text.Line(n);
        beginning.Lines.append(line);
        beginning.Chars += line.size();
    }
    return beginning;
}

ReadingSpeed ReadingSpeed::From(std::int64_t chars, std::int64_t tenths) {
    ReadingSpeed speed;
    if (tenths < kShortestRunTenths) return speed;
    speed.Measured = true;
    if (chars <= 0) return speed;
    // (chars / 6) words in (tenths / 600) minutes, computed exactly.
    speed.WordsPerMinute = DivideRounded(chars * 100, tenths);
    speed.Bps = DivideRounded(speed.WordsPerMinute * 11, 2);
    return speed;
}

QString ReadingSpeed::StatusLine() const {
    if (!Measured) return QStringLiteral("Слишком короткий замер: читайте не меньше секунды");
    return QStringLiteral("Ваша скорость чтения %1 в минуту (%2 bps)")
        .arg(Counted(WordsPerMinute, {u"слово", u"слова", u"слов"}))
        .arg(Bps);
}

}  // namespace vistorel
