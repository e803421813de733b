// The lock of the start folder: a lock file that no running process holds is
// taken over whatever it holds, one held by a running process never is, and
// what stands in the lock file's way or keeps the folder from taking it is
// said as it is.

#include "platform/FolderLock.h"

#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vistorel {
namespace {

const QString kLock = QStringLiteral(".vistorel.lock");

// Empty (a power loss), garbage, another computer's, unreadable, a link to nothing.
TEST(FolderLock, ALockFileNoRunningProcessHoldsIsTakenOverWhateverItHolds) {
    for (const QByteArray& leftover : {QByteArray(), QByteArray("\xff garbage"), QByteArray("42\nvistorel\nelsewhere\n"),
                                       QByteArray("unreadable"), QByteArray("link")}) {
        SCOPED_TRACE(leftover.toStdString());
        QTemporaryDir folder;
        const QString path = folder.filePath(kLock);
        QFile file(path);
        ASSERT_TRUE(leftover == "link" ? QFile::link(path + QStringLiteral(".gone"), path)
                                       : file.open(QIODevice::WriteOnly) && file.write(leftover) == leftover.size());
        if (leftover == "unreadable") {
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
        }
        {
            const FolderLock lock(folder.path());
            EXPECT_EQ(lock.Refusal() + lock.Warning(), QString());
            EXPECT_TRUE(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink());  // its own
        }
        EXPECT_FALSE(QFileInfo::exists(path));
    }
}

// A running copy's lock is kept and its process named; so is any lock file
// a process holds, whatever it says.
TEST(FolderLock, ALockFileARunningProcessHoldsIsKept) {
    QTemporaryDir folder;
    {
        const FolderLock first(folder.path());
        const FolderLock second(folder.path());
        EXPECT_EQ(first.Refusal(), QString());
        EXPECT_TRUE(second.Refusal().startsWith(QStringLiteral("Висторель уже работает в папке \"%1\" (процесс %2).")
                                                     .arg(folder.path())
                                                     .arg(QCoreApplication::applicationPid())));
    }
    QFile held(folder.filePath(kLock));
    ASSERT_TRUE(held.open(QIODevice::WriteOnly) && ::flock(held.handle(), LOCK_EX | LOCK_NB) == 0);
    EXPECT_TRUE(FolderLock(folder.path()).HeldByAnother());
    EXPECT_TRUE(held.exists());
}

// A folder in the lock file's place is named; a start folder that takes no
// new file is said to be so, and the lock is held among the user's programs.
TEST(FolderLock, AFolderInTheWayAndAFolderClosedForWritingAreSaidAsTheyAre) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(kLock));
    const QString blocked = FolderLock(folder.path()).Refusal();
    EXPECT_TRUE(blocked.contains(QStringLiteral("стоит папка с тем же именем")) && !blocked.contains(QStringLiteral("работает")))
        << blocked.toStdString();
    ASSERT_TRUE(QDir(folder.path()).rmdir(kLock));

    QTemporaryDir runtime;  // the other user's
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(runtime.path()).constData(), test::OtherUser::kId, 0), 0);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0555), 0);
    {
        const test::OtherUser user;
        const FolderLock first(folder.path());
        EXPECT_EQ(first.Refusal(), QString());
        EXPECT_TRUE(first.Warning().startsWith(
            QStringLiteral("В папке \"%1\" нельзя создавать файлы (нет прав доступа).").arg(folder.path())));
        EXPECT_TRUE(FolderLock(folder.path()).HeldByAnother());
    }
    ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
}

}  // namespace
}  // namespace vistorel
