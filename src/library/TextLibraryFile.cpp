#include "library/TextLibraryFile.h"

#include "platform/Errors.h"

#include <QFile>
#include <QSaveFile>
#include <cstring>

namespace vistorel {
namespace {

constexpr qint64 kRecordSize = sizeof(TextRecord);

// Index into a 0-based array of `size` entries for the 1-based number k.
std::size_t CheckedIndex(int k, int size, const char* what) {
    if (k < 1 || k > size) {
        throw RangeError(QStringLiteral("%1 %2 is outside 1..%3")
                             .arg(QLatin1StringView(what)).arg(k).arg(size));
    }
    return static_cast<std::size_t>(k - 1);
}

void CheckCount(int count) {
    if (count < 0 || count > kMaxTexts) {
        throw RangeError(QStringLiteral("Text count %1 is outside 0..%2").arg(count).arg(kMaxTexts));
    }
}

}  // namespace

ShortString<40>& TextRecord::BookmarkName(int k) {
    return BookmarkNames[CheckedIndex(k, kMaxBookmarks, "Bookmark")];
}
const ShortString<40>& TextRecord::BookmarkName(int k) const {
    return BookmarkNames[CheckedIndex(k, kMaxBookmarks, "Bookmark")];
}
std::uint32_t& TextRecord::BookmarkLine(int k) {
    return BookmarkLines[CheckedIndex(k, kMaxBookmarks, "Bookmark")];
}
std::uint32_t TextRecord::BookmarkLine(int k) const {
    return BookmarkLines[CheckedIndex(k, kMaxBookmarks, "Bookmark")];
}
ShortString<50>& TextRecord::DescriptionLine(int k) {
    return DescriptionLines[CheckedIndex(k, kMaxDescriptionLines, "Description line")];
}
const ShortString<50>& TextRecord::DescriptionLine(int k) const {
    return DescriptionLines[CheckedIndex(k, kMaxDescriptionLines, "Description line")];
}

TextRecord& TextTable::operator[](int slot) {
    return slots_[CheckedIndex(slot, kMaxTexts, "Library entry")];
}
const TextRecord& TextTable::operator[](int slot) const {
    return slots_[CheckedIndex(slot, kMaxTexts, "Library entry")];
}

int LoadTextLibraryFile(const QString& path, TextTable& table) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    int count = 0;
    while (count < kMaxTexts) {
        const QByteArray bytes = file.read(kRecordSize);
        if (bytes.size() != kRecordSize) break;
        ++count;
        std::memcpy(&table[count], bytes.constData(), sizeof(TextRecord));
    }
    return count;
}

void SaveTextLibraryFile(const QString& path, const TextTable& table, int count) {
    CheckCount(count);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw FileError(path, QStringLiteral("write"), file.errorString());
    }
    bool written = true;
    for (int slot = 1; written && slot <= count; ++slot) {
        written = file.write(reinterpret_cast<const char*>(&table[slot]), kRecordSize) == kRecordSize;
    }
    // QSaveFile::commit() does not notice a failure of its own final flush, so
    // flush here: a file cut short must never replace the previous one.
    if (!written || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw FileError(path, QStringLiteral("write"), reason);
    }
    if (!file.commit()) throw FileError(path, QStringLiteral("write"), file.errorString());
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
