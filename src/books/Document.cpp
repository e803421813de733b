#include "books/Document.h"

#include "books/BookReaders.h"
#include "books/PlainText.h"
#include "books/ZipArchive.h"
#include "platform/Errors.h"
#include "platform/FileAccess.h"

#include <QStringDecoder>
#include <algorithm>
#include <climits>

namespace vistorel {
namespace {

// How far into a file its XML root is looked for: past the declaration,
// comments, a processing instruction or two and a DTD of its own.
constexpr qsizetype kRootSearchBytes = kFormatSniffBytes;

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

// Bytes cut off at an arbitrary place may end inside a character: its first
// bytes are dropped, so that the cut reads as no damage.
void DropCutCharacter(QByteArray& bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE) {
        bytes.truncate(bytes.size() / 2 * 2);
        if (bytes.size() < 2) return;
        const auto high = static_cast<unsigned char>(encoding == TextEncoding::Utf16LE ? bytes[bytes.size() - 1] : bytes[bytes.size() - 2]);
        if (high >= 0xD8 && high <= 0xDB) bytes.chop(2);  // the first half of a pair
        return;
    }
    if (encoding != TextEncoding::Utf8) return;
    for (qsizetype i = bytes.size() - 1; i >= 0 && i >= bytes.size() - 4; --i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const qsizetype length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (bytes.size() - i < length) bytes.truncate(i);
        return;
    }
}

}  // namespace

DocumentHead ReadDocumentHead(const QString& path, qint64 maxBytes, const ReadLimits& limits) {
    // One byte more than the head tells whether the file goes on after it.
    FileRead read = TryReadRegularFile(path, std::max<qint64>(maxBytes + 1, kFormatSniffBytes), OverLimit::Cut);
    if (read.Outcome != FileRead::Status::Read) throw FileError(path, QStringLiteral("прочитать текст"), read.Reason);
    DocumentHead head;
    if (ContainerOf(read.Bytes) != Container::Text) {
        qint64 characters = 0;
        const Document document = ReadDocument(path, limits);
        head.Notice = document.Notice;
        const QStringList& lines = document.Lines;
        for (const QString& line : lines) {
            if (characters >= maxBytes) break;
            head.Lines.append(line.left(maxBytes - characters));
            characters += head.Lines.last().size();
        }
        return head;
    }
    QByteArray& bytes = read.Bytes;
    const TextEncoding encoding = DetectTextEncoding(bytes);
    if (bytes.size() > maxBytes) {
        bytes.truncate(maxBytes);
        DropCutCharacter(bytes, encoding);
    }
    QString text = DecodeAs(bytes, encoding);
    const qsizetype zero = text.indexOf(QChar(0));
    if (zero >= 0) {
        text.truncate(zero);
        head.StoppedAtZero = true;
    }
    // Lines past what the buffer can number are not part of the head.
    head.Lines = SplitTextLines(text, path, INT_MAX).mid(0, limits.MaxLines);
    return head;
}

namespace {

// The beginning of an XML document as text: UTF-16 (little or big endian)
// when a byte-order mark or the zero byte of its first character says so,
// else the bytes as they are (every encoding an FB2 declares is ASCII there).
QString XmlHead(QByteArrayView head) {
    const bool little = head.startsWith("\xFF\xFE") || (head.size() >= 2 && head[0] != '\0' && head[1] == '\0');
    const bool big = head.startsWith("\xFE\xFF") || (head.size() >= 2 && head[0] == '\0' && head[1] != '\0');
    if (little || big) {
        const QByteArrayView even = head.first(head.size() / 2 * 2);
        QStringDecoder decoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(even);
        if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
        return text;
    }
    return QString::fromLatin1(head.startsWith("\xEF\xBB\xBF") ? head.sliced(3) : head);
}

}  // namespace

Container ContainerOf(const QByteArray& bytes) {
    if (bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06")) return Container::Zip;
    const QString head = XmlHead(QByteArrayView(bytes).first(std::min(bytes.size(), kRootSearchBytes)));
    const qsizetype start = std::find_if_not(head.begin(), head.end(), [](QChar c) {
                                return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
                            }) - head.begin();
    if (start < head.size() && head[start] == u'<' && head.indexOf(QStringLiteral("<FictionBook")) >= 0) {
        return Container::Fb2Xml;
    }
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
