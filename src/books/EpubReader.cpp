#include "books/BookReaders.h"

#include "books/HtmlContent.h"
#include "books/XmlBook.h"
#include "books/ZipArchive.h"

#include <QDir>
#include <QHash>
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

// The package document named by META-INF/container.xml.
QString PackagePath(const ZipArchive& archive, const QString& path, const ReadLimits& limits) {
    const QString container = QStringLiteral("META-INF/container.xml");
    if (!archive.Contains(container)) RefuseBook(path, QStringLiteral("в книге EPUB нет файла %1").arg(container));
    BookXml xml(archive.Read(container), path, container, limits);
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

Package ReadPackage(const ZipArchive& archive, const QString& packagePath, const QString& path, const ReadLimits& limits) {
    BookXml xml(archive.Read(packagePath), path, packagePath, limits);
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
void RefuseProtectedBook(const ZipArchive& archive, const QString& packagePath, const Package& package,
                         const QString& path, const ReadLimits& limits) {
    const QString encryption = QStringLiteral("META-INF/encryption.xml");
    if (!archive.Contains(encryption)) return;
    BookXml xml(archive.Read(encryption), path, encryption, limits);
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

}  // namespace

Document ReadEpub(const ZipArchive& archive, const QString& path, const ReadLimits& limits) {
    const QString packagePath = PackagePath(archive, path, limits);
    if (!archive.Contains(packagePath)) RefuseBook(path, QStringLiteral("в книге EPUB нет файла %1").arg(packagePath));
    const Package package = ReadPackage(archive, packagePath, path, limits);
    RefuseProtectedBook(archive, packagePath, package, path, limits);
    Document document;
    document.Format = DocumentFormat::Epub;
    document.Info = package.Info;
    LineCollector lines(path, limits.MaxLines);
    for (const QString& part : package.Spine) {
        if (!archive.Contains(part)) RefuseBook(path, QStringLiteral("в книге EPUB нет файла %1").arg(part));
        ReadContentDocument(archive.Read(part), part, path, limits, lines);
    }
    document.Lines = lines.TakeLines();
    return document;
}

}  // namespace vistorel
