#pragma once
// Reading a text or a book into lines: plain text in any common Cyrillic
// encoding, FB2 (also packed in a zip archive) and EPUB. The format is told
// by the contents, not by the file name. Every caller that shows a text reads
// it through ReadDocument.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace vistorel {

// The most lines a text may have: the reading position is kept in 16 bits.
inline constexpr int kMaxDocumentLines = 20000;

enum class DocumentFormat { PlainText, Fb2, Epub };

// What a book says about itself; empty for plain texts.
struct BookInfo {
    QString Title;
    QString Author;      // the authors, separated by commas
    QString Annotation;  // paragraphs separated by '\n'
};

struct Document {
    DocumentFormat Format = DocumentFormat::PlainText;
    QStringList Lines;  // for books one paragraph, title line or verse a line
    BookInfo Info;
};

// Bounds that keep a damaged or hostile file from exhausting the machine.
struct ReadLimits {
    qint64 MaxFileBytes = qint64{64} * 1024 * 1024;      // the file itself
    qint64 MaxUnpackedBytes = qint64{64} * 1024 * 1024;  // all entries of an archive together
    int MaxEntries = 10000;                              // entries of an archive
    int MaxRatio = 200;                                  // unpacked size per packed byte, per entry
    int MaxDepth = 256;                                  // nesting of XML elements
    int MaxLines = kMaxDocumentLines;
};

// Reads the regular file at path. Raises FileError (cannot be read, not a
// text, a damaged or oversized book or archive) or RangeError (more lines
// than limits.MaxLines), with a message naming the file.
Document ReadDocument(const QString& path, const ReadLimits& limits = {});
// The same for bytes already read; path names the file in messages.
Document ReadDocumentBytes(const QByteArray& bytes, const QString& path, const ReadLimits& limits = {});

// The beginning of a text or book, for a window that shows only that: of a
// plain text the first maxBytes bytes in its encoding (a character cut at
// the end dropped), ending at the first zero character; of a book its first
// lines up to maxBytes characters, the last one cut there. Raises FileError
// when the file cannot be read or the book is damaged; the size of a plain
// text and whatever follows its beginning do not matter.
struct DocumentHead {
    QStringList Lines;
    bool StoppedAtZero = false;  // a zero character ended it: what follows is no text
};
DocumentHead ReadDocumentHead(const QString& path, qint64 maxBytes, const ReadLimits& limits = {});

// The format the bytes are in, judged by their beginning.
enum class Container { Zip, Fb2Xml, Text };
Container ContainerOf(const QByteArray& bytes);

// The file dialog's filter for texts and books, in the "Name|patterns|..." form.
QString TextFileFilter();

}  // namespace vistorel
