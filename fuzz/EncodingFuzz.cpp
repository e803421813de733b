// Fuzz target: a plain text's encoding told from its bytes, and its lines.
// The decoding is that of the encoding detected (a byte-order mark dropped);
// a text that reads as UTF-8 without a mark stays UTF-8, and zero bytes are
// either the high bytes of UTF-16 or stay zero characters (which the reader
// refuses as no text); lines hold no breaks or tabs.

#include "FuzzSupport.h"

#include "books/PlainText.h"
#include "platform/Errors.h"
#include "platform/TextCodec.h"

#include <QStringDecoder>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vistorel;
    using namespace vistorel::fuzz;
    const QByteArray bytes = InputBytes(data, size);
    const TextEncoding encoding = DetectTextEncoding(bytes);
    const QString text = DecodePlainText(bytes);
    FUZZ_CHECK(DecodePlainText(bytes) == text);

    const bool marked = bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (!marked && !bytes.contains('\0') && ReadsAsUtf8(bytes)) {
        FUZZ_CHECK(encoding == TextEncoding::Utf8 && text == QString::fromUtf8(bytes));
    }
    if (bytes.contains('\0') && !marked) {
        FUZZ_CHECK(encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE || text.contains(QChar(0)));
    }
    switch (encoding) {
        case TextEncoding::Windows1251: FUZZ_CHECK(text == FromCp1251(bytes)); break;
        case TextEncoding::Koi8R:
        case TextEncoding::Cp866: FUZZ_CHECK(text.size() == bytes.size()); break;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: FUZZ_CHECK(text.size() <= bytes.size() / 2 + 1); break;
        case TextEncoding::Utf8: FUZZ_CHECK(text.size() <= bytes.size()); break;
    }

    try {
        const QStringList lines = SplitTextLines(text, QStringLiteral("text.txt"), 300);
        FUZZ_CHECK(lines.size() <= 300);
        qsizetype characters = 0;
        for (const QString& line : lines) {
            FUZZ_CHECK(!line.contains(u'\n') && !line.contains(u'\r') && !line.contains(u'\t'));
            characters += line.size();
        }
        FUZZ_CHECK(characters <= text.size());
    } catch (const RangeError& error) {
        FUZZ_CHECK(error.Message().contains(QStringLiteral("больше 300 строк")));
    }
    return 0;
}
