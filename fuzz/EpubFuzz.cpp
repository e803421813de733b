// Fuzz target: a zip archive as the book reader opens it: an EPUB book, an
// FB2 packed in zip, or something refused. Damaged archives, lying sizes,
// bombs past the limits and broken documents inside are refused with the
// program's own error; a book read gives lines with words within the limit.

#include "BookFuzzSupport.h"

#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vistorel;
    using namespace vistorel::fuzz;
    const ReadLimits limits = FuzzLimits();
    // Every input is an archive to the reader: the fuzzer need not find the signature.
    QByteArray bytes = InputBytes(data, size);
    if (!bytes.startsWith("PK\x03\x04") && !bytes.startsWith("PK\x05\x06")) bytes.prepend("PK\x03\x04");
    FUZZ_CHECK(ContainerOf(bytes) == Container::Zip);
    try {
        const Document document = ReadDocumentBytes(bytes, QStringLiteral("book.epub"), limits);
        FUZZ_CHECK(document.Format != DocumentFormat::PlainText);
        CheckBookLines(document, limits);
    } catch (const Error& error) {
        FUZZ_CHECK(error.Message().contains(QStringLiteral("\"book.epub\"")));
    }
    return 0;
}
