#include "platform/TextCodec.h"

#include "platform/Errors.h"

#include <algorithm>
#include <array>

namespace vistorel {
namespace {

// Unicode code points of the Windows-1251 bytes 0x80..0xBF; 0xC0..0xFF are
// the contiguous Cyrillic letters U+0410..U+044F. Byte 0x98 has no character.
constexpr std::array<char16_t, 64> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

// The character of every byte, as one table.
constexpr std::array<char16_t, 256> kDecode = [] {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80) {
            table[b] = static_cast<char16_t>(b);
        } else if (b >= 0xC0) {
            table[b] = static_cast<char16_t>(0x0410 + (b - 0xC0));
        } else {
            table[b] = kHighHalf[b - 0x80];
        }
    }
    return table;
}();

// The Windows-1251 byte of a character; -1 when it has none.
int EncodeChar(char16_t c) {
    if (c < 0x80) return c;
    if (c >= 0x0410 && c <= 0x044F) return 0xC0 + (c - 0x0410);
    for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
        if (kHighHalf[i] == c && c != 0xFFFD) return static_cast<int>(0x80 + i);
    }
    return -1;
}

}  // namespace

QString FromCp1251(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) out[i] = kDecode[in[i]];
    return text;
}

QByteArray ToCp1251(QStringView text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int code = EncodeChar(text[i].unicode());
        bytes[i] = code < 0 ? '?' : static_cast<char>(code);
    }
    return bytes;
}

bool FitsCp1251(QStringView text) {
    for (const QChar c : text) {
        if (EncodeChar(c.unicode()) < 0) return false;
    }
    return true;
}

QString FirstOutsideCp1251(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (EncodeChar(text[i].unicode()) >= 0) continue;
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        return text.mid(i, pair ? 2 : 1).toString();
    }
    return {};
}

namespace {

// Latin letters that Unicode does not decompose, spelled in the letters
// Windows-1251 has.
QString SpelledLetter(char32_t c) {
    switch (c) {
        case 0x00C6: return QStringLiteral("AE");
        case 0x00E6: return QStringLiteral("ae");
        case 0x0152: return QStringLiteral("OE");
        case 0x0153: return QStringLiteral("oe");
        case 0x00DF: return QStringLiteral("ss");
        case 0x1E9E: return QStringLiteral("SS");
        case 0x00D8: return QStringLiteral("O");
        case 0x00F8: return QStringLiteral("o");
        case 0x0110: return QStringLiteral("D");
        case 0x0111: return QStringLiteral("d");
        case 0x00D0: return QStringLiteral("D");
        case 0x00F0: return QStringLiteral("d");
        case 0x0141: return QStringLiteral("L");
        case 0x0142: return QStringLiteral("l");
        case 0x0131: return QStringLiteral("i");
        case 0x00DE: return QStringLiteral("Th");
        case 0x00FE: return QStringLiteral("th");
        case 0x0126: return QStringLiteral("H");
        case 0x0127: return QStringLiteral("h");
        case 0x2044: return QStringLiteral("/");  // the fraction slash of ½ spelled out
        default: return {};
    }
}

// The nearest characters of one that Windows-1251 does not have; empty when
// there are none.
QString NearestInCp1251(char32_t c, int depth) {
    if (QChar::isMark(c)) return {};
    const QString spelled = SpelledLetter(c);
    if (!spelled.isEmpty()) return spelled;
    const QString decomposed = QChar::decomposition(c);
    if (!decomposed.isEmpty() && depth < 4) {
        QString near;
        for (qsizetype i = 0; i < decomposed.size(); ++i) {
            char32_t part = decomposed[i].unicode();
            if (decomposed[i].isHighSurrogate() && i + 1 < decomposed.size()) {
                part = QChar::surrogateToUcs4(decomposed[i], decomposed[i + 1]);
                ++i;
            }
            near += part < 0x10000 && EncodeChar(static_cast<char16_t>(part)) >= 0 ? QString(QChar(static_cast<char16_t>(part)))
                                                                                     : NearestInCp1251(part, depth + 1);
        }
        return near;
    }
    switch (QChar::category(c)) {
        case QChar::Separator_Space: return QStringLiteral(" ");
        case QChar::Punctuation_Dash: return QStringLiteral("-");
        case QChar::Punctuation_InitialQuote:
        case QChar::Punctuation_FinalQuote: return QStringLiteral("\"");
        case QChar::Punctuation_Open: return QStringLiteral("(");
        case QChar::Punctuation_Close: return QStringLiteral(")");
        default: return {};
    }
}

}  // namespace

QString FittedToCp1251(QStringView original) {
    // Composed first: "Е" with a combining diaeresis is "Ё", which fits.
    const QString text = original.toString().normalized(QString::NormalizationForm_C);
    QString fitted;
    fitted.reserve(text.size());
    bool leftOut = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (EncodeChar(c.unicode()) >= 0) {
            fitted += c;
            continue;
        }
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
        }
        const QString near = NearestInCp1251(code, 0);
        if (near.isEmpty()) leftOut = true;
        fitted += near;
    }
    if (!leftOut) return fitted;
    // "Книга Ωμέγα и" is "Книга и": no doubled space where a word was left out.
    QString single;
    single.reserve(fitted.size());
    for (const QChar c : fitted) {
        if (c == u' ' && (single.isEmpty() || single.back() == u' ' || single.back() == u'\n')) continue;
        if (c == u'\n' && !single.isEmpty() && single.back() == u' ') single.chop(1);
        single += c;
    }
    if (single.endsWith(u' ')) single.chop(1);
    return single;
}

void RequireCp1251(QStringView text, const QString& field) {
    const QString character = FirstOutsideCp1251(text);
    if (character.isEmpty()) return;
    const char32_t code =
        character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1]) : character[0].unicode();
    const QString hex = QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    throw Error(QStringLiteral("%1: знак «%2» (U+%3) сохранить нельзя. Программа хранит только латиницу, "
                               "кириллицу, цифры и обычные знаки (кодировка Windows-1251); уберите или "
                               "замените этот знак.")
                    .arg(field, character, hex));
}

namespace {

// The rule: UTF-8 when no byte is damaged, or at most one in ten of the
// valid sequences (one at least) with two sequences or more.
bool ReadsAsUtf8(qsizetype sequences, qsizetype invalid) {
    return invalid == 0 || (sequences >= 2 && invalid <= std::max<qsizetype>(1, sequences / 10));
}

}  // namespace

Utf8Census CountUtf8(QByteArrayView bytes, bool stopWhenNotUtf8) {
    Utf8Census census;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        // Even if every byte left made a two-byte sequence, the text could
        // no longer read as UTF-8: a Windows-1251 text stops here early.
        if (stopWhenNotUtf8 && census.Invalid > 1 && !ReadsAsUtf8(census.Sequences + (size - i) / 2, census.Invalid)) {
            census.Stopped = true;
            return census;
        }
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code = lead & 0x07, minimum = 0x10000;
        }
        bool valid = length > 0 && i + length <= size;
        for (int k = 1; valid && k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                valid = false;
            } else {
                code = (code << 6) | (p[i + k] & 0x3F);
            }
        }
        if (valid && (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))) valid = false;
        if (valid) {
            ++census.Sequences;
            i += length;
        } else {
            ++census.Invalid;
            ++i;
        }
    }
    return census;
}

bool ReadsAsUtf8(QByteArrayView bytes) {
    if (bytes.isValidUtf8()) return true;
    // A Windows-1251 text has almost no valid UTF-8 sequences (its letters are
    // never followed by continuation bytes); a UTF-8 text with a damaged byte
    // here and there is still read as UTF-8, the damage shown as U+FFFD.
    const Utf8Census census = CountUtf8(bytes, true);
    return !census.Stopped && ReadsAsUtf8(census.Sequences, census.Invalid);
}

QString DecodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    }
    if (ReadsAsUtf8(bytes)) return QString::fromUtf8(bytes);
    return FromCp1251(bytes);
}

}  // namespace vistorel
