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
    // runtime folder. A lock file that no running process holds is a
    // leftover and is taken over, whatever it holds: one of a copy that ended
    // without letting go (killed, crashed), one left empty or half written
    // by a power loss, one from another computer, a dangling link. A lock of
    // a running copy never is, however long that copy has run.
    explicit FolderLock(const QString& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Another copy of the program that still runs holds the folder.
    bool HeldByAnother() const { return state_ == State::HeldByAnother; }
    // The lock file, for a message.
    const QString& LockPath() const { return path_; }

    // Why the program must not start in this folder, in the user's words
    // (another copy runs there, or a folder stands where the lock file goes);
    // empty when it may.
    QString Refusal() const;
    // What the user should know although the program may start: the folder
    // takes no new file, so what is not there yet cannot be saved. Empty
    // when nothing is wrong.
    QString Warning() const;

private:
    enum class State { Free, Taken, HeldByAnother, Blocked };
    State TryLock(const QString& path);

    QString folder_;
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    State state_ = State::Free;
    qint64 holder_ = 0;      // the process holding the lock, when it says so
    QString blockedBy_;      // what stands where the lock file goes
    QString noNewFile_;      // why the folder takes no new file
};

}  // namespace vistorel
