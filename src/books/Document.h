#pragma once
// Reading a text or a book into lines: plain text in any common Cyrillic
// encoding, FB2 (also packed in a zip archive) and EPUB. The format is told
// by the contents, not by the file name. Every caller that shows a text reads
// it through ReadDocument.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <atomic>

#include "platform/Errors.h"

namespace vistorel {

// The most lines a text may have: the reading position is kept in 16 bits.
inline constexpr int kMaxDocumentLines = 20000;

// The most characters a book may give, its entities expanded: as many as the
// largest file read has bytes, so that only expansion and repetition reach it.
inline constexpr qint64 kMaxBookCharacters = qint64{64} * 1024 * 1024;
// The most attributes one element may have: books use a handful; the XML
// reader compares each with all before it, so thousands cost seconds.
inline constexpr int kMaxAttributes = 2000;
// The most such comparisons in one document (about a second of reading).
inline constexpr qint64 kMaxAttributePairs = qint64{100} * 1000 * 1000;

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
    // Said once to the user when the book is read: damaged bytes replaced.
    QString Notice;
};

// Bounds that keep a damaged or hostile file from exhausting the machine.
struct ReadLimits {
    qint64 MaxFileBytes = qint64{64} * 1024 * 1024;      // the file itself
    qint64 MaxUnpackedBytes = qint64{64} * 1024 * 1024;  // all entries of an archive together
    int MaxEntries = 10000;                              // entries of an archive
    int MaxRatio = 200;                                  // unpacked size per packed byte, per entry
    int MaxDepth = 256;                                  // nesting of XML elements
    int MaxLines = kMaxDocumentLines;
    qint64 MaxCharacters = kMaxBookCharacters;            // what a book gives, all its documents together
    int MaxAttributes = kMaxAttributes;                   // of one element
    qint64 MaxAttributePairs = kMaxAttributePairs;        // attribute comparisons in one document
    // Set from another thread to stop the reading: it then raises ReadCancelled.
    const std::atomic<bool>* Cancel = nullptr;

    // The usual limits, stopped by `cancel` (work off the GUI thread).
    static ReadLimits StoppedBy(const std::atomic<bool>& cancel) {
        ReadLimits limits;
        limits.Cancel = &cancel;
        return limits;
    }
};

// The reading was stopped by the user (ReadLimits::Cancel): nothing to report.
class ReadCancelled : public Cancelled {};

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
    QString Notice;  // as Document::Notice
    bool StoppedAtZero = false;  // a zero character ended it: what follows is no text
};
DocumentHead ReadDocumentHead(const QString& path, qint64 maxBytes, const ReadLimits& limits = {});

// The format the bytes are in, judged by their beginning: this many bytes
// of it (a book's own DTD may come before its root element).
inline constexpr qint64 kFormatSniffBytes = 64 * 1024;
enum class Container { Zip, Fb2Xml, Text };
Container ContainerOf(const QByteArray& bytes);

// The file dialog's filter for texts and books, in the "Name|patterns|..." form.
QString TextFileFilter();

}  // namespace vistorel
