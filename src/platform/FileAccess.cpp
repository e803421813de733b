#include "platform/FileAccess.h"

#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace vistorel {
namespace {

const QString kWriteAction = QStringLiteral("записать файл");

// What a save writes first, beside the file it replaces: "<name>.vistorel-saving-XXXXXX".
// No user names a file so, and it says whose it is.
const QString kTemporaryInfix = QStringLiteral(".vistorel-saving-");
constexpr int kTemporaryLetters = 6;

// A file descriptor that closes itself.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now; false (errno set) when the close reported an error.
    bool Close() {
        if (fd_ < 0) return true;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_;
};

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

QString TooLargeReason(qint64 maxBytes) {
    return QStringLiteral("файл слишком велик (больше %1 МБ)").arg(maxBytes / (1024 * 1024));
}

QString NotRegularReason(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("это папка, а не файл");
    if (S_ISFIFO(mode)) return QStringLiteral("это канал (FIFO), а не обычный файл");
    if (S_ISSOCK(mode)) return QStringLiteral("это сокет, а не обычный файл");
    return QStringLiteral("это устройство, а не обычный файл");
}

// Opens a regular file for reading without blocking, or says why not.
int OpenRegular(const QString& path, qint64 maxBytes, OverLimit over, QString* reason, bool* missing) {
    *missing = false;
    if (path.isEmpty()) {
        *missing = true;
        *reason = ReasonOf(ENOENT);
        return -1;
    }
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(Native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *missing = errno == ENOENT;
        *reason = ReasonOf(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        *reason = ReasonOf(errno);
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        *reason = NotRegularReason(info.st_mode);
        ::close(fd);
        return -1;
    }
    if (over == OverLimit::Refuse && info.st_size > maxBytes) {
        *reason = TooLargeReason(maxBytes);
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads to the end; more than maxBytes is an error, or with Cut the end.
bool ReadAll(int fd, qint64 maxBytes, QByteArray* bytes, QString* reason, OverLimit over = OverLimit::Refuse) {
    bytes->clear();
    char buffer[65536];
    for (;;) {
        const qint64 wanted = over == OverLimit::Cut ? std::min<qint64>(sizeof buffer, maxBytes - bytes->size())
                                                     : static_cast<qint64>(sizeof buffer);
        if (wanted <= 0) break;
        const ssize_t n = ::read(fd, buffer, static_cast<std::size_t>(wanted));
        if (n < 0) {
            if (errno == EINTR) continue;
            *reason = ReasonOf(errno);
            return false;
        }
        if (n == 0) break;
        bytes->append(buffer, n);
        if (bytes->size() > maxBytes) {
            *reason = TooLargeReason(maxBytes);
            return false;
        }
    }
    return true;
}

// Writes everything, or fails with errno set; the fault may stop it early.
bool WriteAll(int fd, const QByteArray& bytes, const WriteFault& fault) {
    qint64 done = 0;
    qint64 limit = bytes.size();
    if (fault.At == WriteFault::Step::Write) limit = std::min(limit, std::max<qint64>(0, fault.AfterBytes));
    while (done < limit) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<std::size_t>(limit - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += n;
    }
    if (done < bytes.size()) {
        errno = fault.Error;
        return false;
    }
    return true;
}

bool Flush(int fd, const WriteFault& fault) {
    if (fault.At == WriteFault::Step::Flush) {
        errno = fault.Error;
        return false;
    }
    return ::fsync(fd) == 0;
}

// A name beside the file that nothing holds yet, created exclusively.
int CreateTemporary(const QString& path, const WriteFault& fault, QString* temporary) {
    if (fault.At == WriteFault::Step::CreateTemporary) {
        errno = fault.Error;
        return -1;
    }
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 engine(seed());
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kLetters) - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = path + kTemporaryInfix;
        for (int i = 0; i < kTemporaryLetters; ++i) name += QLatin1Char(kLetters[pick(engine)]);
        const int fd = ::open(Native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *temporary = name;
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

// The file keeps the permissions it had.
void KeepMode(int fd, const QString& path) {
    struct stat old {};
    if (::stat(Native(path).constData(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
}

void SyncFolder(const QString& path) {
    Descriptor folder(::open(Native(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) ::fsync(folder.Get());
}

// Rewrites the file where it stands, for a folder that takes no new file.
// On failure the old contents are written back as far as the disk allows.
void WriteInPlace(const QString& path, const QByteArray& bytes, const WriteFault& fault, int folderError,
                  bool followLink) {
    Descriptor file(::open(Native(path).constData(),
                           O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (followLink ? 0 : O_NOFOLLOW)));
    if (!file.Valid()) throw FileError(path, kWriteAction, ReasonOf(folderError));
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        throw FileError(path, kWriteAction, ReasonOf(folderError));
    }
    QByteArray old;
    QString reason;
    if (!ReadAll(file.Get(), info.st_size + 1, &old, &reason)) throw FileError(path, kWriteAction, reason);

    auto rewrite = [&](const QByteArray& contents, const WriteFault& f) {
        return ::lseek(file.Get(), 0, SEEK_SET) == 0 && WriteAll(file.Get(), contents, f) &&
               ::ftruncate(file.Get(), static_cast<off_t>(contents.size())) == 0 && Flush(file.Get(), f);
    };
    if (rewrite(bytes, fault)) return;
    const int error = errno;
    rewrite(old, {});
    throw FileError(path, kWriteAction, ReasonOf(error));
}

// A data file kept as a symbolic link (to a synchronised folder, say) is
// written where the link points, and the link stays.
QString WriteTarget(const QString& path) {
    struct stat info {};
    if (::lstat(Native(path).constData(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? path : target;  // a dangling link is replaced by the file
}

// A file the user has protected from writing is not replaced behind their
// back: one without any write permission (which even the superuser keeps to
// here), or one this user may not open for writing.
void RefuseProtected(const QString& path, bool followLink) {
    struct stat info {};
    const int found = followLink ? ::stat(Native(path).constData(), &info) : ::lstat(Native(path).constData(), &info);
    if (found != 0 || !S_ISREG(info.st_mode)) return;
    bool writable = (info.st_mode & 0222) != 0;
    if (writable) {
        // Opening for writing changes nothing; only the permission counts.
        const int fd = ::open(Native(path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                                                             (followLink ? 0 : O_NOFOLLOW));
        if (fd >= 0) {
            ::close(fd);
        } else if (errno == EACCES || errno == EPERM) {
            writable = false;
        }
    }
    if (!writable) throw FileError(path, kWriteAction, QStringLiteral("файл защищён от записи"));
}

}  // namespace

QString ReasonOf(int error) {
    switch (error) {
        case ENOENT: return QStringLiteral("файл или папка не найдены");
        case EACCES:
        case EPERM: return QStringLiteral("нет прав доступа");
        case EROFS: return QStringLiteral("диск или папка доступны только для чтения");
        case ENOSPC: return QStringLiteral("на диске нет места");
        case EDQUOT: return QStringLiteral("исчерпана дисковая квота");
        case EFBIG: return QStringLiteral("файл слишком велик");
        case EISDIR: return QStringLiteral("это папка, а не файл");
        case ENOTDIR: return QStringLiteral("часть пути не является папкой");
        case ENAMETOOLONG: return QStringLiteral("слишком длинное имя файла");
        case ELOOP: return QStringLiteral("слишком много символических ссылок в пути");
        case EMFILE:
        case ENFILE: return QStringLiteral("открыто слишком много файлов");
        case ENOMEM: return QStringLiteral("недостаточно памяти");
        case EIO: return QStringLiteral("ошибка ввода-вывода");
        case EBUSY:
        case ETXTBSY: return QStringLiteral("файл занят");
        case ENXIO: return QStringLiteral("устройство недоступно");
        default: return QStringLiteral("системная ошибка %1 (%2)").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

FileRead TryReadRegularFile(const QString& path, qint64 maxBytes, OverLimit over) {
    FileRead result;
    bool missing = false;
    Descriptor file(OpenRegular(path, maxBytes, over, &result.Reason, &missing));
    if (!file.Valid()) {
        result.Outcome = missing ? FileRead::Status::Missing : FileRead::Status::Failed;
        return result;
    }
    if (!ReadAll(file.Get(), maxBytes, &result.Bytes, &result.Reason, over)) {
        result.Bytes.clear();
        result.Outcome = FileRead::Status::Failed;
        return result;
    }
    result.Outcome = FileRead::Status::Read;
    return result;
}

QByteArray ReadRegularFile(const QString& path, qint64 maxBytes, const QString& action) {
    FileRead read = TryReadRegularFile(path, maxBytes);
    if (read.Outcome != FileRead::Status::Read) throw FileError(path, action, read.Reason);
    return read.Bytes;
}

namespace {

void Replace(const QString& shownPath, const QByteArray& bytes, const WriteFault& fault, bool followLink) {
    const QString path = followLink ? WriteTarget(shownPath) : shownPath;
    RefuseProtected(path, followLink);
    QString temporary;
    Descriptor file(CreateTemporary(path, fault, &temporary));
    if (!file.Valid()) {
        const int error = errno;
        // A folder that takes no new file may still hold a file that can be written.
        if (error == EACCES || error == EPERM || error == EROFS) {
            WriteInPlace(path, bytes, fault, error, followLink);
            return;
        }
        throw FileError(path, kWriteAction, ReasonOf(error));
    }
    auto fail = [&](int error) {
        file.Close();
        ::unlink(Native(temporary).constData());
        throw FileError(path, kWriteAction, ReasonOf(error));
    };
    KeepMode(file.Get(), path);
    if (!WriteAll(file.Get(), bytes, fault) || !Flush(file.Get(), fault)) fail(errno);
    if (!file.Close()) fail(errno);
    if (fault.At == WriteFault::Step::Rename) {
        errno = fault.Error;
        fail(errno);
    }
    if (::rename(Native(temporary).constData(), Native(path).constData()) != 0) fail(errno);
    SyncFolder(path);
}

}  // namespace

void WriteFileAtomically(const QString& path, const QByteArray& bytes, const WriteFault& fault) {
    Replace(path, bytes, fault, true);
}

void WritePlainFile(const QString& path, const QByteArray& bytes, const WriteFault& fault) {
    Replace(path, bytes, fault, false);
}

int RemoveSaveLeftovers(const QString& directory, const QStringList& names) {
    int removed = 0;
    const QDir folder(directory);
    for (const QString& name : names) {
        const QRegularExpression pattern(QStringLiteral("^%1[A-Za-z0-9]{%2}$")
                                             .arg(QRegularExpression::escape(name + kTemporaryInfix))
                                             .arg(kTemporaryLetters));
        const QStringList candidates =
            folder.entryList({name + kTemporaryInfix + QString(kTemporaryLetters, QLatin1Char('?'))}, QDir::Files | QDir::Hidden);
        for (const QString& candidate : candidates) {
            if (!pattern.match(candidate).hasMatch()) continue;
            const QString path = folder.filePath(candidate);
            struct stat info {};
            if (::lstat(Native(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
            if (::unlink(Native(path).constData()) == 0) ++removed;
        }
    }
    return removed;
}

}  // namespace vistorel
