#include "library/LibraryCopy.h"

#include "books/Document.h"
#include "platform/Errors.h"
#include "platform/FileAccess.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vistorel {
namespace {

// The longest file a copy is made of: the longest a text or book is read.
constexpr qint64 kMaxCopyBytes = ReadLimits{}.MaxFileBytes;
// Extensions longer than this are taken as part of the name.
constexpr qsizetype kMaxExtension = 8;

// The name's extension, with a packed book's two parts.
QString ExtensionOf(const QString& fileName) {
    if (fileName.endsWith(QStringLiteral(".fb2.zip"), Qt::CaseInsensitive)) return fileName.right(8);
    const QString suffix = QFileInfo(fileName).suffix();
    if (suffix.isEmpty() || suffix.size() > kMaxExtension || suffix.size() == fileName.size() - 1) return {};
    return u'.' + suffix;
}

// A file name the record can hold and every file system takes.
QString StorableName(const QString& name) {
    QString fitted = FittedToCp1251(name);
    for (QChar& c : fitted) {
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c == u':' || c == u'*' || c == u'?' || c == u'"' ||
            c == u'<' || c == u'>' || c == u'|') {
            c = u'_';
        }
    }
    return fitted;
}

// The first `room` characters, ending at a space when one is in the second half.
QString CutAtSpace(const QString& text, qsizetype room) {
    if (text.size() <= room) return text;
    const QString cut = text.left(room);
    const qsizetype space = cut.lastIndexOf(u' ');
    return (space > room / 2 ? cut.left(space) : cut).trimmed();
}

bool SameContents(const QString& a, const QString& b) {
    if (QFileInfo(a).size() != QFileInfo(b).size()) return false;
    const FileRead first = TryReadRegularFile(a, kMaxCopyBytes);
    const FileRead second = TryReadRegularFile(b, kMaxCopyBytes);
    return first.Outcome == FileRead::Status::Read && second.Outcome == FileRead::Status::Read &&
           first.Bytes == second.Bytes;
}

}  // namespace

QString LibraryFolderName() { return QStringLiteral("Тексты"); }

LibraryCopy PlanLibraryCopy(const QString& startDirectory, const QString& source, int capacity) {
    LibraryCopy copy;
    copy.Source = source;
    const QDir folder(QDir(startDirectory).filePath(LibraryFolderName()));
    copy.FolderExisted = folder.exists();
    const QString fileName = QFileInfo(source).fileName();
    const QString extension = StorableName(ExtensionOf(fileName));
    QString base = StorableName(fileName.left(fileName.size() - ExtensionOf(fileName).size())).trimmed();
    if (base.isEmpty()) base = QStringLiteral("текст");
    const qsizetype room = capacity - LibraryFolderName().size() - 1 - extension.size();
    for (int number = 1;; ++number) {
        const QString tag = number == 1 ? QString() : QStringLiteral("-%1").arg(number);
        const QString name = CutAtSpace(base, std::max<qsizetype>(1, room - tag.size())) + tag + extension;
        copy.StoredPath = LibraryFolderName() + u'/' + name;
        copy.Target = folder.filePath(name);
        const QFileInfo target(copy.Target);
        if (!target.exists() && !target.isSymLink()) return copy;
        if (target.isFile() && SameContents(source, copy.Target)) {
            copy.Present = true;
            return copy;
        }
    }
}

void MakeLibraryCopy(const LibraryCopy& copy, const WriteFault& fault) {
    if (copy.Present) return;
    const QByteArray bytes = ReadRegularFile(copy.Source, kMaxCopyBytes, QStringLiteral("скопировать файл"));
    const QString folder = QFileInfo(copy.Target).path();
    if (!QDir().mkpath(folder)) {
        throw FileError(folder, QStringLiteral("создать папку"), QStringLiteral("нет прав на запись или нет места на диске"));
    }
    try {
        WriteFileAtomically(copy.Target, bytes, fault);
    } catch (...) {
        if (!copy.FolderExisted) QDir().rmdir(folder);
        throw;
    }
}

void RemoveLibraryCopy(const LibraryCopy& copy) {
    if (copy.Present) return;
    QFile::remove(copy.Target);
    if (!copy.FolderExisted) QDir().rmdir(QFileInfo(copy.Target).path());
}

}  // namespace vistorel
