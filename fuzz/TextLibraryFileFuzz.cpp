// Fuzz target: the library file "book_data.dat", the search for the current
// text and the bookmark and description accessors of its records. Whole
// records (up to the table's 200) load into slots 1, 2, ... and save back to
// exactly the bytes they were read from; the rest of the file is ignored.

#include "FuzzSupport.h"

#include "platform/Errors.h"
#include "records/TextLibraryFile.h"

#include <algorithm>
#include <cstring>

namespace vistorel::fuzz {
namespace {

constexpr qsizetype kRecord = sizeof(TextRecord);
constexpr char kUntouched = '\xC3';

void Fill(TextRecord& record, char byte) {
    const QByteArray pattern(kRecord, byte);
    std::memcpy(&record, pattern.constData(), sizeof(TextRecord));
}

template <class Call>
bool Refused(Call call) {
    try {
        call();
    } catch (const RangeError&) {
        return true;
    }
    return false;
}

// The record's tables through their accessors: numbers 1..50 (1..40) reach
// the entry at its place in the record, any other number is refused, and a
// count from a damaged file never lets a reader past the table.
void CheckAccessors(const TextRecord& record, const QByteArray& bytes) {
    for (int k = 1; k <= kMaxBookmarks; ++k) {
        FUZZ_CHECK(&record.BookmarkName(k) == &record.BookmarkNames[k - 1]);
        std::uint32_t line = 0;
        std::memcpy(&line, bytes.constData() + 2156 + 4 * (k - 1), sizeof line);
        FUZZ_CHECK(record.BookmarkLine(k) == line);
        FUZZ_CHECK(record.BookmarkName(k).Text().size() <= 40);
    }
    for (int k = 1; k <= kMaxDescriptionLines; ++k) {
        FUZZ_CHECK(&record.DescriptionLine(k) == &record.DescriptionLines[k - 1]);
        FUZZ_CHECK(record.DescriptionLine(k).Text().size() <= 50);
    }
    for (const int k : {0, -1, kMaxBookmarks + 1, static_cast<int>(record.BookmarkCount) + kMaxBookmarks + 1}) {
        FUZZ_CHECK(Refused([&] { (void)record.BookmarkName(k); }));
        FUZZ_CHECK(Refused([&] { (void)record.BookmarkLine(k); }));
    }
    for (const int k : {0, kMaxDescriptionLines + 1, static_cast<int>(record.DescriptionLineCount) + 41}) {
        FUZZ_CHECK(Refused([&] { (void)record.DescriptionLine(k); }));
    }
    if (record.BookmarkCount > kMaxBookmarks) FUZZ_CHECK(Refused([&] { (void)record.BookmarkName(record.BookmarkCount); }));
    if (record.DescriptionLineCount > kMaxDescriptionLines) {
        FUZZ_CHECK(Refused([&] { (void)record.DescriptionLine(record.DescriptionLineCount); }));
    }
    FUZZ_CHECK(record.Title.Text().size() <= 50 && record.FilePath.Text().size() <= 50);
}

// The current text is the highest slot whose path has the same length byte
// and the same significant bytes as the settings' path.
void CheckCurrentText(const TextTable& table, int count, const ShortString<100>& textPath) {
    int expected = 0;
    for (int slot = 1; slot <= count; ++slot) {
        const ShortString<50>& path = table[slot].FilePath;
        const int size = std::min<int>(path.Length, 50);
        if (path.Length == textPath.Length && size == std::min<int>(textPath.Length, 100) &&
            std::memcmp(path.Chars, textPath.Chars, static_cast<std::size_t>(size)) == 0) {
            expected = slot;
        }
    }
    FUZZ_CHECK(FindCurrentText(table, count, textPath) == expected);
}

// A settings path naming the slot's text as the settings file holds it:
// the same length byte and characters, with the input's bytes behind them.
ShortString<100> PathOf(const ShortString<50>& path, const QByteArray& input) {
    ShortString<100> textPath;
    const QByteArray tail = input.right(100);
    std::memcpy(textPath.Chars, tail.constData(), static_cast<std::size_t>(tail.size()));
    textPath.Length = path.Length;
    std::memcpy(textPath.Chars, path.Chars, sizeof path.Chars);
    return textPath;
}

}  // namespace
}  // namespace vistorel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vistorel;
    using namespace vistorel::fuzz;
    const QString file = ScratchFile(QStringLiteral("book_data.dat"));
    WriteScratch(file, data, size);
    const QByteArray input = InputBytes(data, size);
    const int whole = static_cast<int>(std::min<qsizetype>(input.size() / kRecord, kMaxTexts));

    // One table for every run: a fresh one costs a megabyte of new pages
    // each time. Slots 1..whole + 1 are set before the load, which reads no
    // further, and the checks look no further.
    static TextTable table;
    for (int slot = 1; slot <= std::min(whole + 1, kMaxTexts); ++slot) Fill(table[slot], kUntouched);
    QString failure;
    const int count = LoadTextLibraryFile(file, table, &failure);
    FUZZ_CHECK(count == whole && failure.isEmpty());
    for (int slot = 1; slot <= count; ++slot) {
        FUZZ_CHECK(RecordBytes(table[slot]) == input.mid((slot - 1) * kRecord, kRecord));
    }
    if (count < kMaxTexts) FUZZ_CHECK(RecordBytes(table[count + 1]) == QByteArray(kRecord, kUntouched));

    const QString copy = ScratchFile(QStringLiteral("book_data-saved.dat"));
    SaveTextLibraryFile(copy, table, count);
    FUZZ_CHECK(ReadScratch(copy) == input.left(count * kRecord));

    for (int slot = 1; slot <= count; ++slot) {
        CheckAccessors(table[slot], input.mid((slot - 1) * kRecord, kRecord));
        CheckCurrentText(table, count, PathOf(table[slot].FilePath, input));
    }
    CheckCurrentText(table, count, ShortString<100>{});
    ShortString<100> fromInput;
    std::memcpy(&fromInput, input.left(sizeof fromInput).leftJustified(sizeof fromInput, '\0').constData(),
                sizeof fromInput);
    CheckCurrentText(table, count, fromInput);
    FUZZ_CHECK(Refused([&] { FindCurrentText(table, kMaxTexts + 1, fromInput); }));
    FUZZ_CHECK(Refused([&] { FindCurrentText(table, -1, fromInput); }));
    FUZZ_CHECK(Refused([&] { SaveTextLibraryFile(copy, table, kMaxTexts + 1); }));
    return 0;
}
