#include "books/Document.h"

#include "books/BookReaders.h"
#include "books/PlainText.h"
#include "books/ZipArchive.h"
#include "platform/Errors.h"
#include "platform/FileAccess.h"

namespace vistorel {
namespace {

// How far into a file its XML root is looked for: past the declaration,
// comments and a processing instruction or two.
constexpr qsizetype kRootSearchBytes = 4096;

Document ReadPlainText(const QByteArray& bytes, const QString& path, const ReadLimits& limits) {
    const QString text = DecodePlainText(bytes);
    if (text.contains(QChar(0))) {
        throw FileError(path, QStringLiteral("прочитать текст"),
                        QStringLiteral("это не текстовый файл (в нём есть нулевые байты)"));
    }
    Document document;
    document.Lines = SplitTextLines(text, path, limits.MaxLines);
    return document;
}

bool IsFb2Name(const QString& name) { return name.endsWith(QStringLiteral(".fb2"), Qt::CaseInsensitive); }

Document ReadArchive(const QByteArray& bytes, const QString& path, const ReadLimits& limits) {
    const ZipArchive archive(bytes, path, limits);
    if (archive.Contains(QStringLiteral("META-INF/container.xml"))) return ReadEpub(archive, path, limits);
    QStringList books;
    for (const QString& name : archive.Names()) {
        if (IsFb2Name(name)) books.append(name);
    }
    if (books.size() > 1) {
        RefuseBook(path, QStringLiteral("в архиве %1 книг FB2, а открыть можно только архив с одной книгой")
                             .arg(books.size()));
    }
    if (books.isEmpty()) RefuseBook(path, QStringLiteral("в архиве нет ни книги FB2, ни книги EPUB"));
    return ReadFb2(archive.Read(books.first()), path, limits);
}

}  // namespace

Container ContainerOf(const QByteArray& bytes) {
    if (bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06")) return Container::Zip;
    const QByteArrayView head = QByteArrayView(bytes).first(std::min(bytes.size(), kRootSearchBytes));
    qsizetype start = head.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < head.size() && (head[start] == ' ' || head[start] == '\t' || head[start] == '\r' || head[start] == '\n')) {
        ++start;
    }
    if (start < head.size() && head[start] == '<' && head.indexOf("<FictionBook") >= 0) return Container::Fb2Xml;
    return Container::Text;
}

Document ReadDocumentBytes(const QByteArray& bytes, const QString& path, const ReadLimits& limits) {
    switch (ContainerOf(bytes)) {
        case Container::Zip: return ReadArchive(bytes, path, limits);
        case Container::Fb2Xml: return ReadFb2(bytes, path, limits);
        case Container::Text: break;
    }
    return ReadPlainText(bytes, path, limits);
}

QString TextFileFilter() {
    return QStringLiteral("Книги и тексты|*.txt;*.fb2;*.fb2.zip;*.epub|Все файлы|*");
}

Document ReadDocument(const QString& path, const ReadLimits& limits) {
    return ReadDocumentBytes(ReadRegularFile(path, limits.MaxFileBytes, QStringLiteral("прочитать текст")), path, limits);
}

}  // namespace vistorel
