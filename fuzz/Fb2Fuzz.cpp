// Fuzz target: an FB2 document as the book reader reads it. It gives the
// lines of a book (each with words, spaces collapsed, within the line limit)
// or refuses the document with the program's own error; nothing else escapes.

#include "BookFuzzSupport.h"

#include "books/BookReaders.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vistorel;
    using namespace vistorel::fuzz;
    const ReadLimits limits = FuzzLimits();
    try {
        const Document document = ReadFb2(InputBytes(data, size), QStringLiteral("book.fb2"), limits);
        FUZZ_CHECK(document.Format == DocumentFormat::Fb2);
        CheckBookLines(document, limits);
        FUZZ_CHECK(!document.Info.Title.contains(u'\n'));
    } catch (const Error& error) {
        FUZZ_CHECK(error.Message().contains(QStringLiteral("\"book.fb2\"")));
    }
    return 0;
}
