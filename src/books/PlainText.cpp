#include "books/PlainText.h"

#include "platform/Errors.h"
#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <memory>
#include <uchardet/uchardet.h>

namespace vistorel {
namespace {

// The detector reaches its verdict long before this; a longer text only costs time.
constexpr qsizetype kDetectorBytes = 64 * 1024;
// Enough of a text to tell which single-byte reading is Russian.
constexpr qsizetype kSampleBytes = 64 * 1024;

// A UTF-16 text without a byte-order mark: Cyrillic letters have the high
// byte 0x04, spaces, digits and Latin letters 0x00; almost every high byte
// of one parity is one of those, and some are zero.
TextEncoding Utf16ByHighBytes(const QByteArray& bytes, bool* found) {
    *found = false;
    const qsizetype pairs = std::min<qsizetype>(bytes.size(), kSampleBytes) / 2;
    if (pairs == 0) return TextEncoding::Utf8;
    qsizetype likely[2] = {0, 0};
    qsizetype zero[2] = {0, 0};
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i < pairs; ++i) {
        for (int side = 0; side < 2; ++side) {
            const unsigned char high = p[2 * i + 1 - side];  // side 0: little-endian
            if (high == 0x00 || high == 0x04 || high == 0x20) ++likely[side];
            if (high == 0x00) ++zero[side];
        }
    }
    for (int side = 0; side < 2; ++side) {
        if (zero[side] > 0 && likely[side] * 10 >= pairs * 9 && likely[side] > likely[1 - side]) {
            *found = true;
            return side == 0 ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
        }
    }
    return TextEncoding::Utf8;
}

struct DetectorDeleter {
    void operator()(uchardet* detector) const { uchardet_delete(detector); }
};

QByteArray DetectorVerdict(const QByteArray& bytes) {
    const std::unique_ptr<uchardet, DetectorDeleter> detector(uchardet_new());
    if (!detector) return {};
    const qsizetype size = std::min(bytes.size(), kDetectorBytes);
    if (uchardet_handle_data(detector.get(), bytes.constData(), static_cast<std::size_t>(size)) != 0) return {};
    uchardet_data_end(detector.get());
    return QByteArray(uchardet_get_charset(detector.get())).toUpper();
}

const char* CodecName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8: return "UTF-8";
        case TextEncoding::Utf16LE: return "UTF-16LE";
        case TextEncoding::Utf16BE: return "UTF-16BE";
        case TextEncoding::Windows1251: return "windows-1251";
        case TextEncoding::Koi8R: return "KOI8-R";
        case TextEncoding::Cp866: return "IBM866";
    }
    return "UTF-8";
}

QString Decode(TextEncoding encoding, QByteArrayView bytes) {
    if (encoding == TextEncoding::Windows1251) return FromCp1251(bytes);
    QStringDecoder decoder(CodecName(encoding), QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

// Russian text is mostly small letters: the reading of the sample with more
// of them is the right one.
qsizetype SmallCyrillicLetters(const QString& text) {
    qsizetype count = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x0430 && u <= 0x044F) || u == 0x0451) ++count;
    }
    return count;
}

// The detector is trusted with texts that give it this many bytes past ASCII.
constexpr qsizetype kDetectorSureBytes = 64;

// The letter pairs most common in Russian words.
constexpr char16_t kCommonRussianPairs[] =
    u"ст но то на ен ов ни ра во ко ос ро по ре пр ал ли ер та не го ор ан ет ел ть он ла ка ва ол ле ит "
    u"ин ат ом от ри ес ог де ск ак ар ны ой ам ев ие ве те ед ил ем ло ви ся ми сь ля мо ыл ег ас ий зн "
    u"тр ма за да вы од об бы чт че ей ки им из ду ая ую";

// The number of a small Cyrillic letter, а..я (ё as е); -1 for other characters.
constexpr int RussianLetterNumber(char16_t c) {
    if (c >= u'А' && c <= u'Я') c = static_cast<char16_t>(c + 0x20);
    if (c == u'ё' || c == u'Ё') c = u'е';
    return c >= u'а' && c <= u'я' ? c - u'а' : -1;
}

constexpr std::array<bool, 32 * 32> kCommonPairTable = [] {
    std::array<bool, 32 * 32> table{};
    for (std::size_t i = 0; i + 1 < std::size(kCommonRussianPairs) - 1; ++i) {
        const int first = RussianLetterNumber(kCommonRussianPairs[i]);
        const int second = RussianLetterNumber(kCommonRussianPairs[i + 1]);
        if (first >= 0 && second >= 0) table[static_cast<std::size_t>(first * 32 + second)] = true;
    }
    return table;
}();

// How many of the text's letters belong to a pair common in Russian: of the
// same bytes read in each single-byte encoding, the Russian reading has the
// most (the others turn the letters into rare or no pairs). As every reading
// has one character per byte, the count is a share of the same whole.
qsizetype LettersInCommonPairs(const QString& text) {
    qsizetype count = 0;
    bool previousCounted = false;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        const int first = RussianLetterNumber(text[i].unicode());
        const int second = RussianLetterNumber(text[i + 1].unicode());
        const bool common = first >= 0 && second >= 0 && kCommonPairTable[static_cast<std::size_t>(first * 32 + second)];
        if (common) count += previousCounted ? 1 : 2;
        previousCounted = common;
    }
    return count;
}

qsizetype BytesPastAscii(QByteArrayView bytes) {
    return std::count_if(bytes.begin(), bytes.end(), [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
}

}  // namespace

TextEncoding DetectTextEncoding(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return TextEncoding::Utf8;
    if (bytes.startsWith("\xFF\xFE")) return TextEncoding::Utf16LE;
    if (bytes.startsWith("\xFE\xFF")) return TextEncoding::Utf16BE;
    if (bytes.contains('\0')) {
        bool found = false;
        const TextEncoding wide = Utf16ByHighBytes(bytes, &found);
        if (found) return wide;
    }
    if (ReadsAsUtf8(bytes)) return TextEncoding::Utf8;

    TextEncoding candidate = TextEncoding::Windows1251;
    const QByteArray verdict = DetectorVerdict(bytes);
    if (verdict == "KOI8-R") candidate = TextEncoding::Koi8R;
    if (verdict == "IBM866" || verdict == "CP866") candidate = TextEncoding::Cp866;
    const QByteArrayView sample(bytes.constData(), std::min(bytes.size(), kSampleBytes));
    const bool placed = candidate != TextEncoding::Windows1251 || verdict == "WINDOWS-1251";
    if (placed && BytesPastAscii(sample) >= kDetectorSureBytes) {
        if (candidate == TextEncoding::Windows1251) return candidate;
        // The detector's guess has to read as Russian at least as well as
        // Windows-1251, which stays the rule for every text it cannot place.
        if (SmallCyrillicLetters(Decode(candidate, sample)) >= SmallCyrillicLetters(FromCp1251(sample))) return candidate;
        return TextEncoding::Windows1251;
    }
    // A short text leaves the detector unsure (it names Greek or Thai code
    // pages for a line of Russian): the reading with the most letters in
    // common Russian pairs wins, the detector's guess first among equals,
    // then Windows-1251.
    TextEncoding best = candidate;
    qsizetype bestCount = LettersInCommonPairs(Decode(candidate, sample));
    for (const TextEncoding other : {TextEncoding::Windows1251, TextEncoding::Koi8R, TextEncoding::Cp866}) {
        const qsizetype count = LettersInCommonPairs(Decode(other, sample));
        if (count > bestCount) {
            best = other;
            bestCount = count;
        }
    }
    return best;
}

QString DecodePlainText(const QByteArray& bytes) { return DecodeAs(bytes, DetectTextEncoding(bytes)); }

QString DecodeAs(const QByteArray& bytes, TextEncoding encoding) {
    QByteArrayView body(bytes);
    if (encoding == TextEncoding::Utf8 && bytes.startsWith("\xEF\xBB\xBF")) body = body.sliced(3);
    if ((encoding == TextEncoding::Utf16LE && bytes.startsWith("\xFF\xFE")) ||
        (encoding == TextEncoding::Utf16BE && bytes.startsWith("\xFE\xFF"))) {
        body = body.sliced(2);
    }
    if (encoding == TextEncoding::Utf8) return QString::fromUtf8(body);
    return Decode(encoding, body);
}

QString TooManyLinesMessage(const QString& path, int maxLines) {
    return QStringLiteral("В тексте \"%1\" больше %2 строк; программа читает тексты не длиннее %2 строк.")
        .arg(path)
        .arg(maxLines);
}

QStringList SplitTextLines(const QString& text, const QString& path, int maxLines) {
    QStringList lines;
    const qsizetype size = text.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && text[end] != u'\n' && text[end] != u'\r') ++end;
        if (lines.size() == maxLines) throw RangeError(TooManyLinesMessage(path, maxLines));
        QString line = text.mid(start, end - start);
        for (QChar& c : line) {
            if (c != u' ' && c.isSpace()) c = u' ';
        }
        lines.append(std::move(line));
        if (end < size && text[end] == u'\r' && end + 1 < size && text[end + 1] == u'\n') ++end;
        start = end + 1;
    }
    return lines;
}

}  // namespace vistorel
