#include "platform/FolderLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace vistorel {

FolderLock::FolderLock(const QString& folder) {
    if (TryLock(QDir(folder).filePath(QStringLiteral(".vistorel.lock"))) || heldByAnother_) return;
    // A folder without write permission, or on a read-only disk: the lock of
    // the same folder, by its full path, among the user's running programs.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) return;
    QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty()) canonical = QDir(folder).absolutePath();
    const QByteArray key = QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha1).toHex();
    TryLock(QDir(runtime).filePath(QStringLiteral("vistorel-%1.lock").arg(QString::fromLatin1(key))));
}

FolderLock::~FolderLock() = default;

bool FolderLock::TryLock(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path);
    // Only a lock whose copy has ended is stale, never one by its age.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        path_ = path;
        lock_ = std::move(lock);
        return true;
    }
    if (lock->error() == QLockFile::LockFailedError) {
        path_ = path;
        heldByAnother_ = true;
    }
    return false;
}

}  // namespace vistorel
