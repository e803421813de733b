#pragma once
// Reading and writing the program's files so that nothing can hang it and
// nothing a user keeps is lost: reads take regular files only and never
// block (a FIFO or a device named as a text is refused, not waited on);
// writes replace a file only once its new contents are complete on disk.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vistorel {

// Why a file operation failed, for a message: the reason of a system error
// number in the words of the interface.
QString ReasonOf(int error);

// Reads a whole regular file. A path that names nothing, a folder, a FIFO, a
// device or a socket, a file that cannot be opened or read, and a file larger
// than maxBytes raise FileError(path, action, reason).
QByteArray ReadRegularFile(const QString& path, qint64 maxBytes, const QString& action);

// A read whose failure the caller decides how to handle: the data files are
// read silently when they do not exist yet.
struct FileRead {
    enum class Status { Read, Missing, Failed };
    Status Outcome = Status::Missing;
    QByteArray Bytes;
    QString Reason;  // why it failed
};
// With Cut, a longer file gives its first maxBytes bytes instead of failing.
enum class OverLimit { Refuse, Cut };
FileRead TryReadRegularFile(const QString& path, qint64 maxBytes, OverLimit over = OverLimit::Refuse);

// A failure to make a save run into, at one of its steps (the tests walk
// every step with it). The failing step reports the given system error.
struct WriteFault {
    enum class Step {
        None,
        CreateTemporary,  // the temporary file cannot be created
        Write,            // writing stops after AfterBytes bytes
        Flush,            // the data cannot be flushed to the disk
        Rename,           // the temporary file cannot replace the old one
    };
    Step At = Step::None;
    qint64 AfterBytes = 0;
    int Error = 5;  // EIO; ENOSPC (28) for a full disk, EACCES (13) for a folder that cannot be written
};

// Replaces the file at path with bytes: they are written to a temporary file
// "<name>.vistorel-saving-XXXXXX" beside it, flushed to the disk, and the
// temporary file is renamed over the old one, so an interrupted or failed save
// leaves the old file whole and a reader sees either the old or the new
// contents. A symbolic link is written through: the file it points to is
// replaced and the link stays. When the folder does not allow a new file but
// the file itself may be written (a shared folder, a folder without write
// permission), the file is rewritten in place instead, and put back as it was
// if that fails. A file the user has protected from writing (no write
// permission at all, or none for this user) is not replaced. Failures raise
// FileError(path, "записать файл", reason); the temporary file is removed.
void WriteFileAtomically(const QString& path, const QByteArray& bytes, const WriteFault& fault = {});

// The same for a file the program writes on its own, with no user action: a
// symbolic link at path is replaced by a plain file and never written through.
void WritePlainFile(const QString& path, const QByteArray& bytes, const WriteFault& fault = {});

// Removes what interrupted saves of these files left behind in the folder:
// regular files named "<name>.vistorel-saving-XXXXXX" (six letters or digits),
// and nothing else. Returns how many.
int RemoveSaveLeftovers(const QString& directory, const QStringList& names);

}  // namespace vistorel
