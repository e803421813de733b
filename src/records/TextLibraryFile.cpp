#include "records/TextLibraryFile.h"

#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <sys/stat.h>

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

// A file named by a path as the program opens it: relative to the start
// directory. It is named again by a path that reads the same once cleaned, or
// by one that reaches the same file on the disk.
class SameFile {
public:
    SameFile(const QString& startDirectory, const QString& path)
        : startDirectory_(startDirectory), path_(Resolved(path)) {
        exists_ = Identify(path_, &device_, &inode_);
    }

    bool Names(const QString& other) const {
        if (path_.isEmpty() || other.isEmpty()) return false;
        const QString resolved = Resolved(other);
        if (resolved == path_) return true;
        dev_t device = 0;
        ino_t inode = 0;
        return exists_ && Identify(resolved, &device, &inode) && device == device_ && inode == inode_;
    }

private:
    QString Resolved(const QString& path) const {
        return path.isEmpty() ? path : QDir::cleanPath(QDir(startDirectory_).filePath(path));
    }
    static bool Identify(const QString& path, dev_t* device, ino_t* inode) {
        struct stat info {};
        if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) return false;
        *device = info.st_dev;
        *inode = info.st_ino;
        return true;
    }

    QString startDirectory_;
    QString path_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    bool exists_ = false;
};

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

int LoadTextLibraryFile(const QString& path, TextTable& table, QString* failure, QByteArray* beyondTable) {
    const FileRead read = TryReadRegularFile(path, kMaxLibraryFileBytes);
    if (read.Outcome == FileRead::Status::Failed && failure) *failure = read.Reason;
    const qint64 records = read.Bytes.size() / kRecordSize;
    const int count = static_cast<int>(std::min<qint64>(records, kMaxTexts));
    for (int slot = 1; slot <= count; ++slot) {
        std::memcpy(&table[slot], read.Bytes.constData() + (slot - 1) * kRecordSize, sizeof(TextRecord));
    }
    if (beyondTable) *beyondTable = read.Bytes.mid(count * kRecordSize, (records - count) * kRecordSize);
    return count;
}

void SaveTextLibraryFile(const QString& path, const TextTable& table, int count, const WriteFault& fault,
                         const QByteArray& beyondTable) {
    CheckCount(count);
    QByteArray bytes;
    bytes.reserve(count * kRecordSize + beyondTable.size());
    for (int slot = 1; slot <= count; ++slot) bytes.append(reinterpret_cast<const char*>(&table[slot]), kRecordSize);
    bytes.append(beyondTable);
    WriteFileAtomically(path, bytes, fault);
}

std::uint16_t FindCurrentText(const TextTable& table, int count, const ShortString<100>& textPath,
                              const QString& startDirectory) {
    CheckCount(count);
    const SameFile current(startDirectory, textPath.Text());
    std::uint16_t found = 0;
    for (int slot = 1; slot <= count; ++slot) {
        const ShortString<50>& path = table[slot].FilePath;
        if (path.SameAs(textPath) || (!startDirectory.isEmpty() && current.Names(path.Text()))) {
            found = static_cast<std::uint16_t>(slot);
        }
    }
    return found;
}

}  // namespace vistorel
