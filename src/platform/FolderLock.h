#pragma once
// A lock on the folder the program works in, held while it runs, so that a
// second copy started in the same folder finds the first instead of silently
// overwriting its files.

#include <QString>
#include <memory>

class QLockFile;

namespace vistorel {

class FolderLock {
public:
    // Takes the lock of the folder: a file ".vistorel.lock" in it, or, when
    // the folder takes no new file, one named after the folder in the user's
    // runtime folder. A lock left by a copy that has ended without letting go
    // (killed, crashed) is taken over; a lock of a running copy never is,
    // however long that copy has run.
    explicit FolderLock(const QString& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Another copy of the program that still runs holds the folder.
    bool HeldByAnother() const { return heldByAnother_; }
    // The lock file, for a message.
    const QString& LockPath() const { return path_; }

private:
    bool TryLock(const QString& path);

    QString path_;
    std::unique_ptr<QLockFile> lock_;
    bool heldByAnother_ = false;
};

}  // namespace vistorel
