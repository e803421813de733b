#include "platform/FolderLock.h"

#include "platform/FileAccess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vistorel {
namespace {

const QString kLockName = QStringLiteral(".vistorel.lock");

QByteArray Encoded(const QString& path) { return QFile::encodeName(path); }

// While a copy looks at the lock file and takes it, no other copy does: each
// holds the folder itself (an flock on it) for those moments. So an empty
// lock file found then is never one that another copy has just created and
// not locked yet, and can be taken over.
class FolderGuard {
public:
    explicit FolderGuard(const QString& folder)
        : fd_(::open(Encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ < 0) return;
        // Another copy is done in milliseconds; one stopped meanwhile is not waited for long.
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
            if (errno != EWOULDBLOCK && errno != EINTR) break;
            QThread::msleep(kPauseMs);
        }
        ::close(fd_);
        fd_ = -1;
    }
    ~FolderGuard() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderGuard(const FolderGuard&) = delete;
    FolderGuard& operator=(const FolderGuard&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    static constexpr int kAttempts = 300;
    static constexpr unsigned long kPauseMs = 10;
    int fd_;
};

// Without the folder held, an empty lock file this young may be one that a
// copy starting this moment has created and is about to lock.
constexpr time_t kCreationSeconds = 10;

enum class Leftover { Removed, Held, Kept };

// A lock file that no running process holds is removed: a copy of the
// program holds an flock on its lock file for as long as it runs (QLockFile
// does, and the system lets go of it when the process ends, however it ends).
// Held when a process holds it, or when that cannot be told (a file of
// another user that this one may not open); Kept when it cannot be removed.
Leftover RemoveLeftover(const QString& path, bool guarded) {
    const QByteArray name = Encoded(path);
    int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0 && errno == EACCES) fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat info {};
    if (fd < 0 && errno == EACCES && ::stat(name.constData(), &info) == 0 && info.st_uid == ::geteuid() &&
        ::chmod(name.constData(), 0600) == 0) {
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);  // the user's own, made readable
    }
    if (fd < 0) return errno == ENOENT ? Leftover::Removed : Leftover::Held;
    Leftover result = Leftover::Held;
    struct stat now {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &info) == 0) {
        const bool young = info.st_size == 0 && std::time(nullptr) - info.st_mtime < kCreationSeconds;
        // Still the file looked at, not one another copy has put there since.
        const bool same = ::stat(name.constData(), &now) == 0 && now.st_dev == info.st_dev && now.st_ino == info.st_ino;
        if (!same) {
            result = Leftover::Removed;
        } else if (guarded || !young) {
            result = ::unlink(name.constData()) == 0 || errno == ENOENT ? Leftover::Removed : Leftover::Kept;
        }
    }
    ::close(fd);
    return result;
}

// Why a folder takes no new file, in the user's words.
QString NoNewFileReason(const QString& folder) {
    if (::faccessat(AT_FDCWD, Encoded(folder).constData(), W_OK, AT_EACCESS) != 0) return ReasonOf(errno);
    return ReasonOf(EACCES);
}

}  // namespace

FolderLock::FolderLock(const QString& folder) : folder_(folder) {
    state_ = TryLock(QDir(folder).filePath(kLockName));
    if (state_ != State::Free) return;
    // A folder without write permission, or on a read-only disk: the lock of
    // the same folder, by its full path, among the user's running programs.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) return;
    QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty()) canonical = QDir(folder).absolutePath();
    const QByteArray key = QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha1).toHex();
    state_ = TryLock(QDir(runtime).filePath(QStringLiteral("vistorel-%1.lock").arg(QString::fromLatin1(key))));
}

FolderLock::~FolderLock() = default;

FolderLock::State FolderLock::TryLock(const QString& path) {
    const FolderGuard guard(QFileInfo(path).absolutePath());
    const QByteArray name = Encoded(path);
    // A leftover removed, the lock is tried again; a few times at most, for
    // other copies starting meanwhile.
    for (int attempt = 0; attempt < 3; ++attempt) {
        auto lock = std::make_unique<QLockFile>(path);
        // Only a lock whose copy has ended is stale, never one by its age.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            path_ = path;
            lock_ = std::move(lock);
            return State::Taken;
        }
        path_ = path;
        if (lock->error() == QLockFile::PermissionError) {
            if (noNewFile_.isEmpty()) noNewFile_ = NoNewFileReason(QFileInfo(path).absolutePath());
            return State::Free;
        }
        if (lock->error() != QLockFile::LockFailedError) return State::Free;
        // Something is there: a lock file, or something else by its name.
        struct stat info {};
        if (::lstat(name.constData(), &info) != 0) continue;  // gone meanwhile
        if (S_ISLNK(info.st_mode) && ::stat(name.constData(), &info) != 0) {
            // A link to nothing: no process can hold it.
            if (::unlink(name.constData()) != 0 && errno != ENOENT) return State::Free;
            continue;
        }
        if (!S_ISREG(info.st_mode)) {
            blockedBy_ = S_ISDIR(info.st_mode) ? QStringLiteral("папка")
                                               : QStringLiteral("не обычный файл (канал, сокет или устройство)");
            return State::Blocked;
        }
        switch (RemoveLeftover(path, guard.Held())) {
            case Leftover::Removed: continue;
            case Leftover::Kept:
                if (noNewFile_.isEmpty()) noNewFile_ = NoNewFileReason(QFileInfo(path).absolutePath());
                return State::Free;
            case Leftover::Held: break;
        }
        qint64 pid = 0;
        QString host;
        QString application;
        if (lock->getLockInfo(&pid, &host, &application) && host == QSysInfo::machineHostName()) holder_ = pid;
        return State::HeldByAnother;
    }
    return State::HeldByAnother;
}

QString FolderLock::Refusal() const {
    const QString folder = QDir::toNativeSeparators(folder_);
    switch (state_) {
        case State::HeldByAnother:
            return QStringLiteral("Висторель уже работает в папке \"%1\"%2. Вторая копия программы в той же папке "
                                  "затёрла бы изменения первой, поэтому она закрывается, ничего не изменив. "
                                  "Перейдите в уже открытое окно программы.")
                .arg(folder, holder_ > 0 ? QStringLiteral(" (процесс %1)").arg(holder_) : QString());
        case State::Blocked:
            return QStringLiteral("Висторель не может начать работу в папке \"%1\": там, где должен быть её файл "
                                  "блокировки \"%2\", стоит %3 с тем же именем. Этот файл не даёт двум копиям программы "
                                  "работать в одной папке сразу. Переименуйте или удалите \"%4\" и запустите программу "
                                  "снова.")
                .arg(folder, QFileInfo(path_).fileName(), blockedBy_, QDir::toNativeSeparators(path_));
        case State::Free:
        case State::Taken: break;
    }
    return {};
}

QString FolderLock::Warning() const {
    if (noNewFile_.isEmpty() || !Refusal().isEmpty()) return {};
    return QStringLiteral("В папке \"%1\" нельзя создавать файлы (%2). Висторель работает, но сохранить то, чего в "
                          "этой папке ещё нет (настройки, базу текстов, результаты занятий), не сможет. Чтобы всё "
                          "сохранялось, запустите программу в папке, открытой для записи, или с параметром "
                          "--data-folder.")
        .arg(QDir::toNativeSeparators(folder_), noNewFile_);
}

}  // namespace vistorel
