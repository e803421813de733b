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
#include <QSysInfo>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#include <vector>

namespace vistorel {
namespace {

const QString kLock = QStringLiteral(".vistorel.lock");

TEST(FolderLock, ALockFileNoRunningProcessHoldsIsTakenOverWhateverItHolds) {
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    };
    const std::vector<std::pair<const char*, std::function<void(const QString&)>>> leftovers = {
        {"empty, just now", [&](const QString& path) { write(path, {}); }},
        {"empty, after a power loss",
         [&](const QString& path) {
             write(path, {});
             const utimbuf yesterday{time(nullptr) - 86400, time(nullptr) - 86400};
             ASSERT_EQ(utime(QFile::encodeName(path).constData(), &yesterday), 0);
         }},
        {"garbage", [&](const QString& path) { write(path, test::RandomBytes(300, 7)); }},
        {"another computer's", [&](const QString& path) { write(path, "4242\nvistorel\nelsewhere.example\n"); }},
        {"unreadable",
         [&](const QString& path) {
             write(path, "1\n");
             ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
         }},
        {"a dangling link", [](const QString& path) { ASSERT_TRUE(QFile::link(path + ".gone", path)); }},
    };
    for (const auto& [name, make] : leftovers) {
        SCOPED_TRACE(name);
        QTemporaryDir folder;
        const QString path = folder.filePath(kLock);
        make(path);
        {
            const FolderLock lock(folder.path());
            EXPECT_FALSE(lock.HeldByAnother());
            EXPECT_EQ(lock.Refusal(), QString());
            EXPECT_EQ(lock.Warning(), QString());
            EXPECT_FALSE(QFileInfo(path).isSymLink());
            QFile mine(path);
            ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
            EXPECT_TRUE(mine.readLine().startsWith(QByteArray::number(QCoreApplication::applicationPid())));
        }
        EXPECT_FALSE(QFileInfo::exists(path));
    }
}

// A running copy's lock is kept and its process named; so is any lock file
// that a process holds, whatever the file says.
TEST(FolderLock, ALockFileARunningProcessHoldsIsKept) {
    QTemporaryDir folder;
    {
        const FolderLock first(folder.path());
        const FolderLock second(folder.path());
        EXPECT_FALSE(first.HeldByAnother());
        EXPECT_TRUE(second.HeldByAnother());
        EXPECT_EQ(second.Refusal(), QStringLiteral("Висторель уже работает в папке \"%1\" (процесс %2). Вторая копия "
                                                   "программы в той же папке затёрла бы изменения первой, поэтому она "
                                                   "закрывается, ничего не изменив. Перейдите в уже открытое окно "
                                                   "программы.")
                                        .arg(folder.path())
                                        .arg(QCoreApplication::applicationPid()));
    }
    const QString path = folder.filePath(kLock);
    QFile held(path);
    ASSERT_TRUE(held.open(QIODevice::WriteOnly));
    ASSERT_EQ(::flock(held.handle(), LOCK_EX | LOCK_NB), 0);
    const FolderLock lock(folder.path());
    EXPECT_TRUE(lock.HeldByAnother());
    EXPECT_TRUE(lock.Refusal().startsWith(QStringLiteral("Висторель уже работает в папке \"%1\". ").arg(folder.path())));
    EXPECT_TRUE(QFileInfo::exists(path));
}

// A folder where the lock file should be is named as a folder; a start folder
// that takes no new file is said to be so, and the lock is taken among the
// user's running programs instead.
TEST(FolderLock, AFolderInTheWayAndAFolderClosedForWritingAreSaidAsTheyAre) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(kLock));
    const FolderLock blocked(folder.path());
    EXPECT_FALSE(blocked.HeldByAnother());
    EXPECT_TRUE(blocked.Refusal().contains(QStringLiteral("стоит папка с тем же именем"))) << blocked.Refusal().toStdString();
    EXPECT_FALSE(blocked.Refusal().contains(QStringLiteral("уже работает")));
    ASSERT_TRUE(QDir(folder.path()).rmdir(kLock));

    QTemporaryDir runtime;
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(runtime.path()).constData(), test::OtherUser::kId, 0), 0);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0555), 0);
    {
        const test::OtherUser user;
        const FolderLock first(folder.path());
        EXPECT_FALSE(first.HeldByAnother());
        EXPECT_EQ(first.Refusal(), QString());
        EXPECT_TRUE(first.Warning().startsWith(
            QStringLiteral("В папке \"%1\" нельзя создавать файлы (нет прав доступа).").arg(folder.path())))
            << first.Warning().toStdString();
        const FolderLock second(folder.path());
        EXPECT_TRUE(second.HeldByAnother());
    }
    ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(kLock)));
}

}  // namespace
}  // namespace vistorel
