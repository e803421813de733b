// Saving files so that a failure at any step leaves the previous file whole,
// saving into a folder that takes no new file, files protected from writing,
// and the removal of what an interrupted save left behind.

#include "platform/Errors.h"
#include "platform/FileAccess.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vistorel {
namespace {

using test::StartDirectory;

const QString kName = QStringLiteral("data.dat");

QStringList FilesIn(const StartDirectory& dir) { return QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden); }

// Every step of a save can fail; whichever does, the old file stays as it was,
// the error names the file and says why, and no temporary file is left.
TEST(FileAccess, AFailureAtAnyStepLeavesThePreviousFileWhole) {
    StartDirectory dir(false);
    const QByteArray old = test::RandomBytes(5000, 1);
    const QByteArray fresh = test::RandomBytes(7000, 2);
    const std::vector<WriteFault> faults = {
        {WriteFault::Step::CreateTemporary, 0, ENOSPC},
        {WriteFault::Step::Write, 0, EIO},
        {WriteFault::Step::Write, 4096, ENOSPC},
        {WriteFault::Step::Write, 6999, EIO},
        {WriteFault::Step::Flush, 0, EIO},
        {WriteFault::Step::Rename, 0, EBUSY},
    };
    for (const WriteFault& fault : faults) {
        dir.Write(kName, old);
        try {
            WriteFileAtomically(dir.File(kName), fresh, fault);
            ADD_FAILURE() << "step " << static_cast<int>(fault.At) << " did not fail";
        } catch (const FileError& e) {
            EXPECT_EQ(e.Path(), dir.File(kName));
            EXPECT_TRUE(e.Message().contains(ReasonOf(fault.Error))) << qPrintable(e.Message());
        }
        EXPECT_EQ(dir.Read(kName), old) << "step " << static_cast<int>(fault.At);
        EXPECT_EQ(FilesIn(dir), QStringList{kName});
    }
    WriteFileAtomically(dir.File(kName), fresh);
    EXPECT_EQ(dir.Read(kName), fresh);
    EXPECT_EQ(FilesIn(dir), QStringList{kName});
}

// A folder where no new file may be created, holding a file that may be
// written (a shared folder, a folder without write permission): the file is
// rewritten in place; if that fails too, its old contents are put back.
TEST(FileAccess, AFolderThatTakesNoNewFileGetsTheFileRewrittenInPlace) {
    StartDirectory dir(false);
    const QByteArray old = test::RandomBytes(3000, 3);
    dir.Write(kName, old);
    WriteFileAtomically(dir.File(kName), "short", {WriteFault::Step::CreateTemporary, 0, EACCES});
    EXPECT_EQ(dir.Read(kName), QByteArray("short"));

    {
        const test::FileSizeLimit limit(1000);  // the in-place write breaks off after 1000 bytes
        EXPECT_THROW(WriteFileAtomically(dir.File(kName), old, {WriteFault::Step::CreateTemporary, 0, EACCES}),
                     FileError);
    }
    EXPECT_EQ(dir.Read(kName), QByteArray("short"));

    // The same with real permissions: a read-only folder and a writable file.
    // Root passes every permission check, so it acts as another user here.
    const QByteArray folder = QFile::encodeName(dir.Path());
    ASSERT_EQ(chmod(QFile::encodeName(dir.File(kName)).constData(), 0666), 0);
    ASSERT_EQ(chmod(folder.constData(), 0555), 0);
    const bool root = geteuid() == 0;
    if (root) setfsuid(65534);
    bool written = false;
    bool refused = false;
    try {
        WriteFileAtomically(dir.File(kName), old);
        written = true;
        WriteFileAtomically(dir.File(QStringLiteral("new.dat")), old);  // nothing to write in place
    } catch (const FileError&) {
        refused = true;
    }
    if (root) setfsuid(0);
    chmod(folder.constData(), 0700);
    EXPECT_TRUE(written);
    EXPECT_TRUE(refused);
    EXPECT_EQ(dir.Read(kName), old);
    EXPECT_EQ(FilesIn(dir), QStringList{kName});
}

// A data file kept as a symbolic link is written where the link points; the
// link stays a link.
TEST(FileAccess, ASymbolicLinkIsWrittenThrough) {
    StartDirectory dir(false);
    QDir(dir.Path()).mkdir(QStringLiteral("elsewhere"));
    dir.Write(QStringLiteral("elsewhere/real.dat"), "old");
    ASSERT_TRUE(QFile::link(dir.File(QStringLiteral("elsewhere/real.dat")), dir.File(kName)));
    WriteFileAtomically(dir.File(kName), "new contents");
    EXPECT_TRUE(QFileInfo(dir.File(kName)).isSymLink());
    EXPECT_EQ(dir.Read(QStringLiteral("elsewhere/real.dat")), QByteArray("new contents"));
    EXPECT_EQ(QDir(dir.File(QStringLiteral("elsewhere"))).entryList(QDir::Files), QStringList{QStringLiteral("real.dat")});
}

// A file the user protected from writing is not replaced: one without any
// write permission (even for the superuser), one of another user that this
// user may not write (in a folder that would let the rename through), and the
// protected file behind a link. Each keeps its bytes and its mode.
TEST(FileAccess, AFileProtectedFromWritingIsNotReplaced) {
    StartDirectory dir(false);
    const auto mode = [&](const QString& name) {
        struct stat info {};
        return ::stat(QFile::encodeName(dir.File(name)).constData(), &info) == 0 ? info.st_mode & 07777 : 0u;
    };
    const auto refused = [&](const QString& name) {
        try {
            WriteFileAtomically(dir.File(name), "new contents");
        } catch (const FileError& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("защищён от записи"))) << qPrintable(e.Message());
            return true;
        }
        return false;
    };
    dir.Write(kName, "old");
    ASSERT_EQ(chmod(QFile::encodeName(dir.File(kName)).constData(), 0444), 0);
    EXPECT_TRUE(refused(kName));
    EXPECT_EQ(dir.Read(kName), QByteArray("old"));
    EXPECT_EQ(mode(kName), 0444u);

    ASSERT_TRUE(QFile::link(dir.File(kName), dir.File(QStringLiteral("link.dat"))));
    EXPECT_TRUE(refused(QStringLiteral("link.dat")));
    EXPECT_EQ(dir.Read(kName), QByteArray("old"));

    const QString owned = QStringLiteral("owned.dat");
    dir.Write(owned, "root's");
    ASSERT_EQ(chmod(QFile::encodeName(dir.File(owned)).constData(), 0644), 0);
    const bool root = geteuid() == 0;
    if (root) {
        // Another user, in a folder everyone may write to.
        ASSERT_EQ(chmod(QFile::encodeName(dir.Path()).constData(), 0777), 0);
        setfsuid(65534);
        const bool ownedRefused = refused(owned);
        setfsuid(0);
        EXPECT_TRUE(ownedRefused);
        EXPECT_EQ(dir.Read(owned), QByteArray("root's"));
    }
    QStringList expected = {kName, QStringLiteral("link.dat"), owned};
    expected.sort();
    EXPECT_EQ(FilesIn(dir), expected);

    // A file that may be written still is.
    ASSERT_EQ(chmod(QFile::encodeName(dir.File(kName)).constData(), 0200), 0);
    WriteFileAtomically(dir.File(kName), "new contents");
    EXPECT_EQ(mode(kName), 0200u);
    ASSERT_EQ(chmod(QFile::encodeName(dir.File(kName)).constData(), 0600), 0);
    EXPECT_EQ(dir.Read(kName), QByteArray("new contents"));
}

// Only what the program's own saves leave behind is removed: a file the user
// named like a data file plus a dot and a few letters (a backup) stays.
TEST(FileAccess, LeftoversOfInterruptedSavesAreRemovedAndNothingElse) {
    StartDirectory dir(false);
    const QStringList kept = {kName,
                              QStringLiteral("data.dat.bak"),
                              QStringLiteral("data.dat.backup"),
                              QStringLiteral("data.dat.Ab3dE9"),
                              QStringLiteral("data.dat.vistorel-saving-Ab3dE"),
                              QStringLiteral("data.dat.vistorel-saving-Ab3dE9x"),
                              QStringLiteral("data.dat.vistorel-saving-Ab-dE9"),
                              QStringLiteral("other.dat.vistorel-saving-Ab3dE9")};
    for (const QString& name : kept) dir.Write(name, "x");
    dir.Write(QStringLiteral("data.dat.vistorel-saving-Ab3dE9"), "partial");
    dir.Write(QStringLiteral("data.dat.vistorel-saving-zzzzzz"), "partial");
    QDir(dir.Path()).mkdir(QStringLiteral("data.dat.vistorel-saving-folder"));  // not a file: kept

    EXPECT_EQ(RemoveSaveLeftovers(dir.Path(), {kName}), 2);
    QStringList expected = kept;
    expected.sort();
    EXPECT_EQ(FilesIn(dir), expected);
    EXPECT_TRUE(QFileInfo(dir.File(QStringLiteral("data.dat.vistorel-saving-folder"))).isDir());
}

}  // namespace
}  // namespace vistorel
