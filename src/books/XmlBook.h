#pragma once
// What the FB2 and EPUB readers share: an XML reader that never loads
// anything from outside the file and refuses nesting past the limit, and the
// collection of a book's text into lines.

#include "books/Document.h"
#include "platform/Errors.h"

#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <vector>

namespace vistorel {

// A document that is not well-formed XML; the message names the file, the
// part of the book and, where it can, the tag or reference at fault.
class MalformedBookXml : public FileError {
public:
    using FileError::FileError;
};

// Reads the tokens of one XML document, keeping count of the nesting.
// HTML's named character references (&nbsp;, &Eacute; ...) are resolved
// whatever the document declares, as books use them freely. A document in
// UTF-16 is read with or without a byte-order mark.
class BookXml {
public:
    BookXml(const QByteArray& bytes, const QString& path, const QString& part, const ReadLimits& limits);
    ~BookXml();
    BookXml(const BookXml&) = delete;
    BookXml& operator=(const BookXml&) = delete;

    // The next token; false at the end of the document. A malformed document
    // raises MalformedBookXml; one nested deeper than the limit FileError.
    bool Next();
    QXmlStreamReader& Reader() { return reader_; }
    QStringView Name() const { return reader_.name(); }
    QString Attribute(const char* name) const { return reader_.attributes().value(QLatin1StringView(name)).toString(); }
    int Depth() const { return depth_; }
    // Reads past the rest of the current element.
    void SkipElement();
    // The text of the current element and all inside it, spaces collapsed.
    QString ElementText();

private:
    [[noreturn]] void RefuseMalformed();

    QByteArray bytes_;  // the document, with a byte-order mark put in front when it had none
    QXmlStreamReader reader_;
    QString path_;
    QString part_;
    const ReadLimits& limits_;
    int maxDepth_;
    int depth_ = 0;
    std::vector<qint64> openedAt_;  // the line and name of each open element
    std::vector<QString> openedNames_;
    class HtmlEntities;
    HtmlEntities* entities_ = nullptr;
};

// A UTF-16 document without a byte-order mark, told by its first character
// '<', with the mark put in front, so that the XML reader decodes it.
QByteArray XmlWithByteOrderMark(const QByteArray& bytes);

// The message of a document nested deeper than the limit.
[[noreturn]] void RefuseDeepNesting(const QString& path, const QString& part, int maxDepth);

// The lines of a book as its reader finds them: text is gathered into the
// line under way, spaces collapsed, until a block ends it. Note references
// are left out: the text of a link held (HoldLinkText) and found to be a note
// marker ("1", "[2]", "*"), and bracketed numbers written as words ("[3]",
// "{4}"); a space left before the punctuation that follows goes with them.
class LineCollector {
public:
    LineCollector(const QString& path, int maxLines) : path_(path), maxLines_(maxLines) {}
    void AddText(QStringView text);
    // Ends the line under way; an empty one is dropped.
    void EndLine();
    // The text of a link follows, up to ReleaseLinkText: it is dropped when
    // it reads as a note marker, or when `note` says it is a reference.
    void HoldLinkText();
    void ReleaseLinkText(bool note = false);
    // A note reference was left out here (its text never added).
    void NoteReferenceDropped();
    QStringList TakeLines();

    // What has been collected so far, to go back to when a document is read
    // again in another way.
    struct Mark {
        qsizetype Lines = 0;
        QString Line;
        bool SpacePending = false;
    };
    Mark Here() const { return {lines_.size(), line_, spacePending_}; }
    void Rewind(const Mark& mark);

private:
    void Append(QStringView text);

    QString path_;
    int maxLines_;
    QString line_;
    bool spacePending_ = false;
    bool afterNote_ = false;   // a note reference was just left out
    bool holding_ = false;     // a link's text is held in held_
    QString held_;
    QStringList lines_;
};

// Text with every run of spaces made one space and none at either end.
QString CollapseSpaces(QStringView text);

// Whether the text (spaces collapsed) is a note marker: a number of at most
// three digits, bare or in brackets, up to three superscript digits, or one
// to three asterisks or daggers.
bool IsNoteMarker(QStringView text);

}  // namespace vistorel
