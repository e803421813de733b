#include "records/TextLibraryFile.h"

#include "platform/Errors.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace vistorel {
namespace {

using test::BytesOf;
using test::FileSizeLimit;
using test::RandomBytes;
using test::StartDirectory;

const QString kFile = QStringLiteral("book_data.dat");
constexpr int kRecord = 4404;

// Whole records of random bytes, each starting with its own number so that
// a record read into the wrong slot shows.
QByteArray RandomRecords(int count, unsigned seed) {
    std::mt19937 engine(seed);
    QByteArray bytes(count * kRecord, Qt::Uninitialized);
    for (char& b : bytes) b = static_cast<char>(engine() & 0xFF);
    for (int i = 0; i < count; ++i) bytes[i * kRecord] = static_cast<char>(i + 1);
    return bytes;
}

QByteArray Slots(const TextTable& table, int from, int to) {
    QByteArray bytes;
    for (int slot = from; slot <= to; ++slot) bytes += BytesOf(table[slot]);
    return bytes;
}

TEST(TextTable, SlotsAndRecordEntriesAreNumberedFromOne) {
    TextTable table;
    EXPECT_THROW(table[0], RangeError);
    EXPECT_THROW(table[kMaxTexts + 1], RangeError);
    EXPECT_EQ(BytesOf(table[kMaxTexts]), QByteArray(kRecord, '\0'));

    TextRecord& record = table[1];
    record.BookmarkName(1).SetText(QStringLiteral("B"));
    record.BookmarkName(50).SetText(QStringLiteral("Z"));
    record.BookmarkLine(1) = 0x01020304;
    record.BookmarkLine(50) = 65535;
    record.DescriptionLine(1).SetText(QStringLiteral("D"));
    record.DescriptionLine(40).SetText(QStringLiteral("E"));
    const QByteArray bytes = BytesOf(record);
    EXPECT_EQ(bytes.mid(104, 2), QByteArray("\x01" "B"));
    EXPECT_EQ(bytes.mid(104 + 41 * 49, 2), QByteArray("\x01" "Z"));
    EXPECT_EQ(bytes.mid(2156, 4), QByteArray::fromHex("04030201"));
    EXPECT_EQ(bytes.mid(2156 + 4 * 49, 4), QByteArray::fromHex("ffff0000"));
    EXPECT_EQ(bytes.mid(2360, 2), QByteArray("\x01" "D"));
    EXPECT_EQ(bytes.mid(2360 + 51 * 39, 2), QByteArray("\x01" "E"));
    EXPECT_EQ(BytesOf(table[2]), QByteArray(kRecord, '\0'));

    const TextRecord& constRecord = record;
    EXPECT_THROW(constRecord.BookmarkLine(51), RangeError);
    EXPECT_THROW(record.BookmarkName(0), RangeError);
    EXPECT_THROW(constRecord.DescriptionLine(41), RangeError);
}

TEST(TextLibraryFile, LoadCountsWholeRecordsUpToTheTableSize) {
    StartDirectory dir(false);
    TextTable table;
    EXPECT_EQ(LoadTextLibraryFile(dir.File(kFile), table), 0);
    dir.Write(kFile, {});
    EXPECT_EQ(LoadTextLibraryFile(dir.File(kFile), table), 0);

    const QByteArray two = RandomRecords(2, 1);
    dir.Write(kFile, two + QByteArray(100, 'x'));
    EXPECT_EQ(LoadTextLibraryFile(dir.File(kFile), table), 2);
    EXPECT_EQ(Slots(table, 1, 2), two);
    EXPECT_EQ(BytesOf(table[3]), QByteArray(kRecord, '\0'));

    const QByteArray many = RandomRecords(201, 2);
    dir.Write(kFile, many);
    TextTable full;
    EXPECT_EQ(LoadTextLibraryFile(dir.File(kFile), full), 200);
    EXPECT_EQ(Slots(full, 1, 200), many.left(200 * kRecord));
}

TEST(TextLibraryFile, SaveWritesTheCountedSlotsAsHeld) {
    StartDirectory dir(false);
    TextTable table;
    const QByteArray records = RandomRecords(4, 3);
    for (int slot = 1; slot <= 4; ++slot) {
        std::memcpy(&table[slot], records.constData() + (slot - 1) * kRecord, kRecord);
    }
    SaveTextLibraryFile(dir.File(kFile), table, 3);
    EXPECT_EQ(dir.Read(kFile), records.left(3 * kRecord));

    TextTable reloaded;
    EXPECT_EQ(LoadTextLibraryFile(dir.File(kFile), reloaded), 3);
    EXPECT_EQ(Slots(reloaded, 1, 3), Slots(table, 1, 3));

    SaveTextLibraryFile(dir.File(kFile), table, 0);
    EXPECT_TRUE(dir.Exists(kFile));
    EXPECT_EQ(dir.Read(kFile).size(), 0);
    EXPECT_THROW(SaveTextLibraryFile(dir.File(kFile), table, kMaxTexts + 1), RangeError);
}

TEST(TextLibraryFile, FailedSaveRaisesAndLeavesThePreviousFile) {
    StartDirectory dir(false);
    TextTable table;
    table[1].Title.SetText(QStringLiteral("New"));

    const QString missing = dir.File(QStringLiteral("missing/") + kFile);
    try {
        SaveTextLibraryFile(missing, table, 1);
        ADD_FAILURE() << "no error for a missing folder";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Path(), missing);
        EXPECT_TRUE(error.Message().contains(missing));
    }
    EXPECT_FALSE(dir.Exists(QStringLiteral("missing")));

    const QByteArray old = RandomRecords(2, 4);
    dir.Write(kFile, old);
    {
        const FileSizeLimit limit(kRecord + 100);
        EXPECT_THROW(SaveTextLibraryFile(dir.File(kFile), table, 2), FileError);
    }
    EXPECT_EQ(dir.Read(kFile), old);
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList{kFile});
}

TEST(TextLibraryFile, CurrentTextIsTheLastSlotWithExactlyThatPath) {
    TextTable table;
    ShortString<100> textPath;
    textPath.SetText(QStringLiteral("C:\\Texts\\book.txt"));
    table[1].FilePath.SetText(QStringLiteral("C:\\Texts\\book.txt"));
    table[2].FilePath.SetText(QStringLiteral("C:\\Texts\\other.txt"));
    table[3].FilePath.SetText(QStringLiteral("C:\\Texts\\book.txt"));
    table[4].FilePath.SetText(QStringLiteral("C:\\Texts\\book.txt"));
    EXPECT_EQ(FindCurrentText(table, 3, textPath), 3);  // slot 4 is past the count
    EXPECT_EQ(FindCurrentText(table, 0, textPath), 0);

    TextTable near;
    near[1].FilePath.SetText(QStringLiteral("C:\\TEXTS\\book.txt"));
    near[2].FilePath.SetText(QStringLiteral("C:\\Texts\\book.txt "));
    near[3].FilePath.SetText(QStringLiteral("C:\\Texts\\book.tx"));
    EXPECT_EQ(FindCurrentText(near, 3, textPath), 0);

    const QString longPath = QStringLiteral("D:\\Library\\Russian classics\\Tolstoy\\War and Peace.txt");
    ASSERT_GT(longPath.size(), 50);
    textPath.SetText(longPath);
    near[4].FilePath.SetText(longPath);
    EXPECT_EQ(near[4].FilePath.Text(), longPath.left(50));
    EXPECT_EQ(FindCurrentText(near, 4, textPath), 0);
}

// With the start directory given, a library path and the settings' path that
// name the same file are the same text: absolute and relative, "./" and "..",
// a link and its file; paths of different files still differ, by letter case
// or a trailing blank too. Without it only the bytes count.
TEST(TextLibraryFile, CurrentTextIsTheSameFileByWhateverPath) {
    StartDirectory dir(false);
    QDir(dir.Path()).mkdir(QStringLiteral("texts"));
    dir.Write(QStringLiteral("texts/t.txt"), "text");
    dir.Write(QStringLiteral("texts/T.txt"), "another text");
    ASSERT_TRUE(QFile::link(dir.File(QStringLiteral("texts/t.txt")), dir.File(QStringLiteral("link.txt"))));
    const QString absolute = dir.File(QStringLiteral("texts/t.txt"));
    ASSERT_LE(absolute.size(), 50) << "the temporary folder's path is too long for a library entry";
    const auto current = [&](const QString& settingsPath, const QString& entry, const QString& start) {
        TextTable table;
        table[1].FilePath.SetText(QStringLiteral("other.txt"));
        table[2].FilePath.SetText(entry);
        table[3].FilePath.SetText(QStringLiteral("texts/none.txt"));
        ShortString<100> textPath;
        textPath.SetText(settingsPath);
        return FindCurrentText(table, 3, textPath, start);
    };
    const QString start = dir.Path();
    EXPECT_EQ(current(QStringLiteral("texts/t.txt"), absolute, start), 2);
    EXPECT_EQ(current(absolute, QStringLiteral("texts/t.txt"), start), 2);
    EXPECT_EQ(current(QStringLiteral("./texts//t.txt"), QStringLiteral("texts/../texts/t.txt"), start), 2);
    EXPECT_EQ(current(QStringLiteral("link.txt"), QStringLiteral("texts/t.txt"), start), 2);
    EXPECT_EQ(current(QStringLiteral("texts/gone.txt"), QStringLiteral("./texts/gone.txt"), start), 2);
    EXPECT_EQ(current(QStringLiteral("texts/T.txt"), QStringLiteral("texts/t.txt"), start), 0);
    EXPECT_EQ(current(QStringLiteral("texts/t.txt "), QStringLiteral("texts/t.txt"), start), 0);
    EXPECT_EQ(current(QString(), QString(), start), 2);  // the same bytes
    EXPECT_EQ(current(QStringLiteral("t.txt"), absolute, dir.File(QStringLiteral("texts"))), 2);
    EXPECT_EQ(current(QStringLiteral("texts/t.txt"), absolute, QString()), 0);
}

// A file of more records than the table holds: the table gets the first 200,
// the rest is kept as it is and written back after the counted slots, so that
// deleting a shown text loses none of them.
TEST(TextLibraryFile, RecordsPastTheTableAreKeptAndWrittenBack) {
    StartDirectory dir(false);
    const QByteArray file = RandomRecords(203, 5);
    dir.Write(kFile, file + QByteArray(100, 'x'));
    TextTable table;
    QByteArray beyond;
    ASSERT_EQ(LoadTextLibraryFile(dir.File(kFile), table, nullptr, &beyond), 200);
    EXPECT_EQ(beyond, file.mid(200 * kRecord));
    SaveTextLibraryFile(dir.File(kFile), table, 199, {}, beyond);
    EXPECT_EQ(dir.Read(kFile), file.left(199 * kRecord) + file.mid(200 * kRecord));

    // A file too large to keep in memory is not read (nor ever written).
    QString failure;
    {
        QFile big(dir.File(kFile));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(kMaxLibraryFileBytes + 1));
    }
    TextTable other;
    EXPECT_EQ(LoadTextLibraryFile(dir.File(kFile), other, &failure, &beyond), 0);
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_TRUE(beyond.isEmpty());
}

}  // namespace
}  // namespace vistorel
