#pragma once
// The text library: records of 4404 bytes, the same bytes in memory and in the
// library file "book_data.dat", which holds them back to back with no header.
// Reserved and padding bytes, entries past a count and the bytes after each
// string's length are not interpreted and are written back as held.

#include "platform/FileAccess.h"
#include "records/ShortString.h"

#include <QString>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace vistorel {

inline constexpr int kMaxBookmarks = 50;
inline constexpr int kMaxDescriptionLines = 40;

struct TextRecord {
    ShortString<50> Title;
    ShortString<50> FilePath;                      // as entered or chosen, cut to 50 characters
    std::uint8_t Reserved102[2] = {};
    ShortString<40> BookmarkNames[kMaxBookmarks];
    std::uint8_t Pad2154[2] = {};
    std::uint32_t BookmarkLines[kMaxBookmarks] = {};  // reading position saved with each bookmark
    std::uint16_t BookmarkCount = 0;               // bookmarks 1..BookmarkCount are in use
    std::uint8_t Reserved2358[2] = {};
    ShortString<50> DescriptionLines[kMaxDescriptionLines];
    std::uint16_t DescriptionLineCount = 0;        // lines 1..DescriptionLineCount are in use
    std::uint8_t Pad4402[2] = {};

    // Bookmark k and description line k, numbered from 1; a number outside
    // the table raises RangeError.
    ShortString<40>& BookmarkName(int k);
    const ShortString<40>& BookmarkName(int k) const;
    std::uint32_t& BookmarkLine(int k);
    std::uint32_t BookmarkLine(int k) const;
    ShortString<50>& DescriptionLine(int k);
    const ShortString<50>& DescriptionLine(int k) const;
};

static_assert(std::endian::native == std::endian::little, "the files hold little-endian integers");
static_assert(std::is_trivially_copyable_v<TextRecord> && std::is_standard_layout_v<TextRecord>);
static_assert(sizeof(TextRecord) == 4404);
static_assert(offsetof(TextRecord, Title) == 0);
static_assert(offsetof(TextRecord, FilePath) == 51);
static_assert(offsetof(TextRecord, Reserved102) == 102);
static_assert(offsetof(TextRecord, BookmarkNames) == 104);
static_assert(offsetof(TextRecord, Pad2154) == 2154);
static_assert(offsetof(TextRecord, BookmarkLines) == 2156);
static_assert(offsetof(TextRecord, BookmarkCount) == 2356);
static_assert(offsetof(TextRecord, Reserved2358) == 2358);
static_assert(offsetof(TextRecord, DescriptionLines) == 2360);
static_assert(offsetof(TextRecord, DescriptionLineCount) == 4400);
static_assert(offsetof(TextRecord, Pad4402) == 4402);

inline constexpr int kMaxTexts = 200;

// The library's slots, numbered 1..kMaxTexts, all zero at creation.
class TextTable {
public:
    TextTable() : slots_(kMaxTexts) {}
    // A slot outside 1..kMaxTexts raises RangeError.
    TextRecord& operator[](int slot);
    const TextRecord& operator[](int slot) const;

private:
    std::vector<TextRecord> slots_;
};

// The largest library file read: many times what the table shows, so that
// the records past the table can be kept in memory and written back.
inline constexpr qint64 kMaxLibraryFileBytes = 64 * 1024 * 1024;

// Reads the file's whole records into slots 1, 2, ... and returns how many
// were read: at most kMaxTexts, a trailing part shorter than a record is
// ignored. Slots past the count keep their contents. The whole records after
// the kMaxTexts-th go to beyondTable, as they are. A missing file gives 0; so
// does one that cannot be read or is larger than kMaxLibraryFileBytes, and
// then failure says why.
int LoadTextLibraryFile(const QString& path, TextTable& table, QString* failure = nullptr,
                        QByteArray* beyondTable = nullptr);

// Writes slots 1..count as held, then the records of beyondTable as they are,
// replacing the file only once the new contents are complete. Raises FileError
// when the file cannot be written (the previous file is then left as it was)
// and RangeError for a count outside 0..kMaxTexts.
void SaveTextLibraryFile(const QString& path, const TextTable& table, int count, const WriteFault& fault = {},
                         const QByteArray& beyondTable = {});

// The highest of slots 1..count whose FilePath names the text of textPath; 0
// when none does. Paths name the same text when they are equal byte for byte,
// length included, or, with a start directory given, when both name the same
// file once resolved against it ("/home/u/texts/t.txt" and "t.txt" started in
// /home/u/texts; a link and its file). A count outside 0..kMaxTexts raises
// RangeError.
std::uint16_t FindCurrentText(const TextTable& table, int count, const ShortString<100>& textPath,
                              const QString& startDirectory = {});

}  // namespace vistorel
