#include "records/Settings.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace vistorel {
namespace {

using test::BytesOf;
using test::FileSizeLimit;
using test::RandomBytes;
using test::StartDirectory;

const QString kFile = QStringLiteral("Vistorel.ini");

TEST(ShortString, KeepsBytesAfterTheLengthAndClampsADamagedLength) {
    ShortString<10> s;
    s.SetText(QStringLiteral("abcdefghijKLM"));
    EXPECT_EQ(s.Length, 10);
    EXPECT_EQ(s.Text(), QStringLiteral("abcdefghij"));
    s.SetText(QStringLiteral("xy"));
    EXPECT_EQ(s.Text(), QStringLiteral("xy"));
    EXPECT_EQ(QByteArray(s.Chars, 10), QByteArray("xycdefghij"));

    s.Length = 255;  // damaged record
    EXPECT_EQ(s.Text(), QStringLiteral("xycdefghij"));
    EXPECT_EQ(s.Bytes().size(), 10);
}

TEST(SettingsFile, FirstRunWithoutFileStartsAtZeroAndSavesAZeroRecord) {
    StartDirectory dir(false);
    Settings record;
    LoadSettingsFile(dir.File(kFile), record);
    EXPECT_EQ(BytesOf(record), QByteArray(220, '\0'));
    EXPECT_TRUE(record.TextPath.Text().isEmpty());

    ASSERT_TRUE(SaveSettingsFile(dir.File(kFile), record));
    EXPECT_EQ(dir.Read(kFile), QByteArray(220, '\0'));
}

TEST(SettingsFile, LoadAndSaveReproduceTheFileByteForByte) {
    QByteArray file = RandomBytes(220, 1);
    file[0] = 6;
    file.replace(1, 6, "a.txt!");
    file.replace(102, 2, QByteArray::fromHex("0700"));      // Level 7
    file.replace(108, 4, QByteArray::fromHex("ffa14d00"));  // TextColor 0x4DA1FF
    file.replace(112, 4, QByteArray::fromHex("ffffffff"));  // BackColor -1
    file[118] = 3;
    file.replace(119, 3, "p.b");

    StartDirectory dir(false);
    dir.Write(kFile, file + RandomBytes(80, 2));  // 300 bytes: the tail is ignored
    Settings record;
    LoadSettingsFile(dir.File(kFile), record);
    EXPECT_EQ(record.TextPath.Text(), QStringLiteral("a.txt!"));
    EXPECT_EQ(record.Level, 7);
    EXPECT_EQ(record.TextColor, 0x4DA1FF);
    EXPECT_EQ(record.BackColor, -1);
    EXPECT_EQ(record.PicturePath.Text(), QStringLiteral("p.b"));

    ASSERT_TRUE(SaveSettingsFile(dir.File(kFile), record));
    EXPECT_EQ(dir.Read(kFile), file);
}

TEST(SettingsFile, ShortOrUnreadableFileReplacesOnlyWhatItHolds) {
    StartDirectory dir(false);
    const QByteArray start(220, '\xEE');
    Settings record;
    std::memcpy(&record, start.constData(), sizeof record);

    const QByteArray head = RandomBytes(50, 3);
    dir.Write(kFile, head);
    LoadSettingsFile(dir.File(kFile), record);
    EXPECT_EQ(BytesOf(record), head + start.mid(50));

    QDir(dir.Path()).mkdir(QStringLiteral("folder.ini"));
    LoadSettingsFile(dir.File(QStringLiteral("folder.ini")), record);
    EXPECT_EQ(BytesOf(record), head + start.mid(50));
}

TEST(SettingsFile, PathsAreStoredAsAtMost100Windows1251Characters) {
    StartDirectory dir(false);
    const QString hundred = QString(QStringLiteral("0123456789")).repeated(10);
    Settings record;
    record.TextPath.SetText(hundred + QStringLiteral("ABCDEFGHIJabcdefghij"));
    const QString cyrillic = QStringLiteral("C:\\Книги\\Мёртвые души.txt");
    record.PicturePath.SetText(cyrillic);
    ASSERT_TRUE(SaveSettingsFile(dir.File(kFile), record));

    const QByteArray disk = dir.Read(kFile);
    ASSERT_EQ(disk.size(), 220);
    EXPECT_EQ(static_cast<unsigned char>(disk[0]), 100);
    EXPECT_EQ(disk.mid(1, 100), hundred.toLatin1());
    EXPECT_EQ(disk[101], '\0');
    EXPECT_EQ(static_cast<unsigned char>(disk[118]), cyrillic.size());
    EXPECT_EQ(disk.mid(119, 8), QByteArray("C:\\\xCA\xED\xE8\xE3\xE8"));
    EXPECT_EQ(disk.mid(128, 3), QByteArray("\xCC\xB8\xF0"));

    Settings reloaded;
    LoadSettingsFile(dir.File(kFile), reloaded);
    EXPECT_EQ(reloaded.TextPath.Text(), hundred);
    EXPECT_EQ(reloaded.PicturePath.Text(), cyrillic);
}

TEST(SettingsFile, FailedSaveLeavesWhatWasThere) {
    StartDirectory dir(false);
    Settings record;
    record.Level = 2;

    EXPECT_FALSE(SaveSettingsFile(dir.File(QStringLiteral("missing/") + kFile), record));
    EXPECT_FALSE(dir.Exists(QStringLiteral("missing")));

    QDir(dir.Path()).mkpath(QStringLiteral("taken.ini"));
    dir.Write(QStringLiteral("taken.ini/inside"), "kept");
    EXPECT_FALSE(SaveSettingsFile(dir.File(QStringLiteral("taken.ini")), record));
    EXPECT_TRUE(QFileInfo(dir.File(QStringLiteral("taken.ini"))).isDir());
    EXPECT_EQ(dir.Read(QStringLiteral("taken.ini/inside")), QByteArray("kept"));

    const QByteArray old = RandomBytes(220, 4);
    dir.Write(kFile, old);
    {
        const FileSizeLimit limit(100);
        EXPECT_FALSE(SaveSettingsFile(dir.File(kFile), record));
    }
    EXPECT_EQ(dir.Read(kFile), old);
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList{kFile});

    // Broken off half-way by the disk, the save leaves the old file whole too.
    EXPECT_FALSE(SaveSettingsFile(dir.File(kFile), record, nullptr, {WriteFault::Step::Write, 110, 28}));
    EXPECT_EQ(dir.Read(kFile), old);

    ASSERT_TRUE(SaveSettingsFile(dir.File(kFile), record));
    EXPECT_EQ(dir.Read(kFile), BytesOf(record));

    // Kept as a link to another folder, the file is written there and the link stays.
    QDir(dir.Path()).mkdir(QStringLiteral("synced"));
    dir.Write(QStringLiteral("synced/") + kFile, old);
    QFile::remove(dir.File(kFile));
    ASSERT_TRUE(QFile::link(dir.File(QStringLiteral("synced/") + kFile), dir.File(kFile)));
    ASSERT_TRUE(SaveSettingsFile(dir.File(kFile), record));
    EXPECT_TRUE(QFileInfo(dir.File(kFile)).isSymLink());
    EXPECT_EQ(dir.Read(QStringLiteral("synced/") + kFile), BytesOf(record));
}

}  // namespace
}  // namespace vistorel
