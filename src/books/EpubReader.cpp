#include "books/BookReaders.h"

#include "books/HtmlContent.h"
#include "books/ReadBudget.h"
#include "books/XmlBook.h"
#include "books/ZipArchive.h"

#include "platform/Plural.h"

#include <QDir>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace vistorel {
namespace {

// A path inside the archive from an address written in a document of `folder`.
QString Resolve(const QString& folder, const QString& href) {
    QString target = QUrl::fromPercentEncoding(href.section(u'#', 0, 0).toUtf8());
    if (!folder.isEmpty()) target = folder + u'/' + target;
    target = QDir::cleanPath(target);
    while (target.startsWith(QStringLiteral("../"))) target = target.mid(3);
    if (target.startsWith(u'/')) target = target.mid(1);
    return target;
}

QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash);
}

// The entries of one book, each unpacked at most once and measured against
// the book's budget at each use: an entry wanted again (a document the
// reading order names twice) is kept until its last use.
class BookEntries {
public:
    BookEntries(const ZipArchive& archive, const QString& path, const ReadLimits& limits)
        : archive_(archive), path_(path), limits_(limits), budget_(path, limits) {}
    DamagedBytes& Damaged() { return damaged_; }
    // The entry will be taken `uses` more times; until then it is kept.
    void ExpectUses(const QString& name, int uses) { uses_[name] = uses; }

    // The entry's bytes, what it gives charged; with `repair`, bytes that
    // are no UTF-8 replaced (content documents do that only when they fail).
    QByteArray Take(const QString& name, bool repair = true) {
        auto kept = kept_.find(name);
        if (kept == kept_.end()) {
            Entry entry;
            entry.Bytes = archive_.Read(name);
            if (repair) entry.Bytes = RepairedUtf8(entry.Bytes, name, damaged_);
            entry.Cost = MeasureXml(entry.Bytes, path_, name, limits_);
            kept = kept_.insert(name, std::move(entry));
        } else if (kept->Dropped) {
            RefuseBook(path_, QStringLiteral("файл «%1» книга называет несколько раз для разного").arg(name));
        }
        budget_.Charge(kept->Cost.Characters, &kept->Cost);
        QByteArray bytes = kept->Bytes;
        int& uses = uses_[name];
        if (--uses <= 0) {
            kept->Bytes = QByteArray();
            kept->Dropped = true;
        }
        return bytes;
    }

private:
    struct Entry {
        QByteArray Bytes;
        XmlCost Cost;
        bool Dropped = false;
    };
    const ZipArchive& archive_;
    const QString& path_;
    const ReadLimits& limits_;
    ReadBudget budget_;
    DamagedBytes damaged_;
    QHash<QString, Entry> kept_;
    QHash<QString, int> uses_;
};

// The package document named by META-INF/container.xml.
QString PackagePath(BookEntries& entries, const ZipArchive& archive, const QString& path, const ReadLimits& limits) {
    const QString container = QStringLiteral("META-INF/container.xml");
    if (!archive.Contains(container)) RefuseBook(path, QStringLiteral("в книге EPUB нет файла %1").arg(container));
    BookXml xml(entries.Take(container), path, container, limits);
    while (xml.Next()) {
        if (xml.Reader().isStartElement() && xml.Name() == u"rootfile") {
            const QString media = xml.Attribute("media-type");
            const QString fullPath = xml.Attribute("full-path");
            if (!fullPath.isEmpty() && (media.isEmpty() || media == u"application/oebps-package+xml")) {
                return Resolve(QString(), fullPath);
            }
        }
    }
    RefuseBook(path, QStringLiteral("в файле %1 не указано описание книги").arg(container));
}


struct Package {
    QStringList Spine;      // archive paths of the documents, in reading order
    QStringList Documents;  // archive paths of all its (X)HTML documents
    BookInfo Info;
};

Package ReadPackage(BookEntries& entries, const QString& packagePath, const QString& path, const ReadLimits& limits) {
    BookXml xml(entries.Take(packagePath), path, packagePath, limits);
    const QString folder = FolderOf(packagePath);
    QHash<QString, std::pair<QString, QString>> manifest;  // id -> path, media type
    QStringList order;
    QStringList authors;
    Package package;
    while (xml.Next()) {
        if (!xml.Reader().isStartElement()) continue;
        const QStringView name = xml.Name();
        if (name == u"item") {
            const QString media = xml.Attribute("media-type");
            const QString file = Resolve(folder, xml.Attribute("href"));
            manifest.insert(xml.Attribute("id"), {file, media});
            if (media.contains(u"html")) package.Documents.append(file);
        } else if (name == u"itemref") {
            if (xml.Attribute("linear") != u"no") order.append(xml.Attribute("idref"));
        } else if (name == u"title" && package.Info.Title.isEmpty()) {
            package.Info.Title = xml.ElementText();
        } else if (name == u"creator") {
            const QString author = xml.ElementText();
            if (!author.isEmpty()) authors.append(author);
        } else if (name == u"description" && package.Info.Annotation.isEmpty()) {
            // Descriptions are often HTML written as text: its tags are dropped.
            QString text = xml.ElementText();
            text.replace(QRegularExpression(QStringLiteral("<[^>]*>")), QStringLiteral(" "));
            package.Info.Annotation = CollapseSpaces(text);
        }
    }
    package.Info.Author = authors.join(QStringLiteral(", "));
    for (const QString& id : order) {
        const auto item = manifest.constFind(id);
        if (item == manifest.constEnd()) continue;
        const QString& media = item->second;
        if (media.isEmpty() || media.contains(u"html")) package.Spine.append(item->first);
    }
    return package;
}

// A book whose content documents are encrypted (DRM) cannot be read:
// META-INF/encryption.xml lists them. Fonts obfuscated against copying are
// listed there too, and do not matter to the text.
void RefuseProtectedBook(BookEntries& entries, const ZipArchive& archive, const QString& packagePath,
                         const Package& package, const QString& path, const ReadLimits& limits) {
    const QString encryption = QStringLiteral("META-INF/encryption.xml");
    if (!archive.Contains(encryption)) return;
    BookXml xml(entries.Take(encryption), path, encryption, limits);
    while (xml.Next()) {
        if (!xml.Reader().isStartElement() || xml.Name() != u"CipherReference") continue;
        const QString target = Resolve(QString(), xml.Attribute("URI"));
        if (target == packagePath || package.Documents.contains(target) || package.Spine.contains(target)) {
            throw FileError(path, FileError::WholeMessage,
                            QStringLiteral("Книга защищена (DRM): прочитать её нельзя. Файл \"%1\" зашифрован "
                                           "продавцом книги и открывается только в программе, которой она куплена.")
                                .arg(path));
        }
    }
}

// The documents of the reading order, its repeats counted, hold more
// characters than a book may give: refused before any is unpacked.
void RefuseLongReadingOrder(const ZipArchive& archive, const QStringList& spine, const QString& path,
                            const ReadLimits& limits) {
    qint64 bytes = 0;
    for (const QString& part : spine) bytes += archive.Size(part);
    if (bytes <= limits.MaxCharacters) return;
    QHash<QString, int> uses;
    QString most;
    for (const QString& part : spine) {
        const int count = ++uses[part];
        if (count > uses.value(most)) most = part;
    }
    const int repeats = uses.value(most);
    const QString why = repeats > 1 ? QStringLiteral("её оглавление называет файл «%1» %2 %3")
                                          .arg(most, QLocale(QLocale::Russian).toString(repeats),
                                               Counted(repeats, {u"раз", u"раза", u"раз"}).section(u' ', 1))
                                    : QString();
    RefuseLargeBook(path, limits, nullptr, why);
}

}  // namespace

Document ReadEpub(const ZipArchive& archive, const QString& path, const ReadLimits& limits) {
    BookEntries entries(archive, path, limits);
    const QString container = QStringLiteral("META-INF/container.xml");
    const QString encryption = QStringLiteral("META-INF/encryption.xml");
    entries.ExpectUses(container, 1);
    const QString packagePath = PackagePath(entries, archive, path, limits);
    if (!archive.Contains(packagePath)) RefuseBook(path, QStringLiteral("в книге EPUB нет файла %1").arg(packagePath));
    entries.ExpectUses(packagePath, 1);
    const Package package = ReadPackage(entries, packagePath, path, limits);
    for (const QString& part : package.Spine) {
        if (!archive.Contains(part)) RefuseBook(path, QStringLiteral("в книге EPUB нет файла %1").arg(part));
    }
    RefuseLongReadingOrder(archive, package.Spine, path, limits);
    entries.ExpectUses(encryption, 1);
    RefuseProtectedBook(entries, archive, packagePath, package, path, limits);
    QHash<QString, int> uses;
    for (const QString& part : package.Spine) ++uses[part];
    for (auto it = uses.constBegin(); it != uses.constEnd(); ++it) entries.ExpectUses(it.key(), it.value());
    Document document;
    document.Format = DocumentFormat::Epub;
    document.Info = package.Info;
    LineCollector lines(path, limits.MaxLines);
    for (const QString& part : package.Spine) {
        ReadContentDocument(entries.Take(part, false), part, path, limits, lines, entries.Damaged());
    }
    document.Lines = lines.TakeLines();
    document.Notice = entries.Damaged().Notice(path);
    return document;
}

}  // namespace vistorel
