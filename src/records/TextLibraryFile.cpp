#include "records/TextLibraryFile.h"

#include "platform/Errors.h"

#include <cstring>

namespace vistorel {
namespace {

constexpr qint64 kRecordSize = sizeof(TextRecord);

// Index into a 0-based array of `size` entries for the 1-based number k.
std::size_t CheckedIndex(int k, int size, const QString& what) {
    if (k < 1 || k > size) {
        throw RangeError(QStringLiteral("%1 %2 вне допустимых 1..%3").arg(what).arg(k).arg(size));
    }
    return static_cast<std::size_t>(k - 1);
}

void CheckCount(int count) {
    if (count < 0 || count > kMaxTexts) {
        throw RangeError(QStringLiteral("Число текстов %1 вне допустимых 0..%2").arg(count).arg(kMaxTexts));
    }
}

}  // namespace

ShortString<40>& TextRecord::BookmarkName(int k) {
    return BookmarkNames[CheckedIndex(k, kMaxBookmarks, QStringLiteral("Закладка"))];
}
const ShortString<40>& TextRecord::BookmarkName(int k) const {
    return BookmarkNames[CheckedIndex(k, kMaxBookmarks, QStringLiteral("Закладка"))];
}
std::uint32_t& TextRecord::BookmarkLine(int k) {
    return BookmarkLines[CheckedIndex(k, kMaxBookmarks, QStringLiteral("Закладка"))];
}
std::uint32_t TextRecord::BookmarkLine(int k) const {
    return BookmarkLines[CheckedIndex(k, kMaxBookmarks, QStringLiteral("Закладка"))];
}
ShortString<50>& TextRecord::DescriptionLine(int k) {
    return DescriptionLines[CheckedIndex(k, kMaxDescriptionLines, QStringLiteral("Строка описания"))];
}
const ShortString<50>& TextRecord::DescriptionLine(int k) const {
    return DescriptionLines[CheckedIndex(k, kMaxDescriptionLines, QStringLiteral("Строка описания"))];
}

TextRecord& TextTable::operator[](int slot) {
    return slots_[CheckedIndex(slot, kMaxTexts, QStringLiteral("Запись библиотеки"))];
}
const TextRecord& TextTable::operator[](int slot) const {
    return slots_[CheckedIndex(slot, kMaxTexts, QStringLiteral("Запись библиотеки"))];
}

int LoadTextLibraryFile(const QString& path, TextTable& table, QString* failure) {
    const FileRead read = TryReadRegularFile(path, kRecordSize * kMaxTexts, OverLimit::Cut);
    if (read.Outcome == FileRead::Status::Failed && failure) *failure = read.Reason;
    const int count = static_cast<int>(read.Bytes.size() / kRecordSize);
    for (int slot = 1; slot <= count; ++slot) {
        std::memcpy(&table[slot], read.Bytes.constData() + (slot - 1) * kRecordSize, sizeof(TextRecord));
    }
    return count;
}

void SaveTextLibraryFile(const QString& path, const TextTable& table, int count, const WriteFault& fault) {
    CheckCount(count);
    QByteArray bytes;
    bytes.reserve(count * kRecordSize);
    for (int slot = 1; slot <= count; ++slot) bytes.append(reinterpret_cast<const char*>(&table[slot]), kRecordSize);
    WriteFileAtomically(path, bytes, fault);
}

std::uint16_t FindCurrentText(const TextTable& table, int count, const ShortString<100>& textPath) {
    CheckCount(count);
    std::uint16_t current = 0;
    for (int slot = 1; slot <= count; ++slot) {
        if (table[slot].FilePath.SameAs(textPath)) current = static_cast<std::uint16_t>(slot);
    }
    return current;
}

}  // namespace vistorel
