#pragma once
// A zip archive read from memory (libzip), with the limits that keep a
// damaged or hostile archive (a zip bomb) from filling memory: the entry
// count, the unpacked size of all entries together and each entry's
// compression ratio are checked before anything is unpacked.

#include "books/Document.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

struct zip;

namespace vistorel {

class ZipArchive {
public:
    // Opens the archive held in bytes (which must outlive it). Raises
    // FileError naming path when it is no archive, is damaged, or passes a limit.
    ZipArchive(const QByteArray& bytes, const QString& path, const ReadLimits& limits);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // The names of the entries that are files, in archive order.
    const QStringList& Names() const { return names_; }
    bool Contains(const QString& name) const;
    // The unpacked size of the entry as the archive states it (checked
    // against the limits when it was opened); 0 when there is none.
    qint64 Size(const QString& name) const { return sizes_.value(name); }
    // The unpacked contents of the entry; FileError when it is missing or damaged.
    QByteArray Read(const QString& name) const;

private:
    struct Closer {
        void operator()(zip* archive) const;
    };
    std::unique_ptr<zip, Closer> archive_;
    QString path_;
    QStringList names_;
    QHash<QString, qint64> sizes_;
};

// The message of a file that is refused as a book, naming it.
[[noreturn]] void RefuseBook(const QString& path, const QString& reason);

}  // namespace vistorel
