// Saving files so that a failure at any step leaves the previous file whole,
// saving into a folder that takes no new file, and the removal of what an
// interrupted save left behind.

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

TEST(FileAccess, LeftoversOfInterruptedSavesAreRemovedAndNothingElse) {
    StartDirectory dir(false);
    const QStringList kept = {kName,
                              QStringLiteral("data.dat.bak"),
                              QStringLiteral("data.dat.abc"),
                              QStringLiteral("data.dat.abcdefg"),
                              QStringLiteral("data.dat.ab-def"),
                              QStringLiteral("other.dat.Ab3dE9")};
    for (const QString& name : kept) dir.Write(name, "x");
    dir.Write(QStringLiteral("data.dat.Ab3dE9"), "partial");
    dir.Write(QStringLiteral("data.dat.zzzzzz"), "partial");
    QDir(dir.Path()).mkdir(QStringLiteral("data.dat.folder"));  // not a file: kept

    EXPECT_EQ(RemoveSaveLeftovers(dir.Path(), {kName}), 2);
    QStringList expected = kept;
    expected.sort();
    EXPECT_EQ(FilesIn(dir), expected);
    EXPECT_TRUE(QFileInfo(dir.File(QStringLiteral("data.dat.folder"))).isDir());
}

}  // namespace
}  // namespace vistorel
