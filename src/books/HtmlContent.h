#pragma once
// The text of an EPUB book's content document (XHTML) as lines of the book.
// Each block (paragraph, heading, list item...) is a line, and each line of
// preformatted text; scripts, styles and the pronunciation of ruby are left
// out, and so are notes: footnotes, endnotes and asides (by their element or
// their epub:type, role or class, as pandoc and calibre write them) and the
// references to them.
//
// A document is read as XML. One that is not well-formed (an unclosed <br>,
// a bare '&') is read again by libxml2's HTML parser, which mends it as
// browsers do, so that one damaged chapter does not cost the whole book.

#include "books/Document.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace vistorel {

class LineCollector;
struct DamagedBytes;

// An element as a parser reports it: its local name in lower case and the
// attributes that tell what it is for.
struct HtmlElement {
    QStringView Name;
    QStringView EpubType;  // epub:type, space-separated
    QStringView Role;
    QStringView Class;
    QStringView Href;
};

// Turns the elements and text of one document, in document order, into the
// lines of the book. Refuses nesting deeper than limits.MaxDepth, and stops
// when the reading is cancelled.
class HtmlTextReader {
public:
    HtmlTextReader(LineCollector& lines, const QString& path, const QString& part, const ReadLimits& limits)
        : lines_(lines), path_(path), part_(part), limits_(limits), maxDepth_(limits.MaxDepth) {}
    void Start(const HtmlElement& element);
    void End(QStringView name);
    void Text(QStringView text);

private:
    LineCollector& lines_;
    const QString& path_;
    const QString& part_;
    const ReadLimits& limits_;
    int maxDepth_;
    int depth_ = 0;
    int skippedAt_ = 0;  // the depth of the element left out with all inside it; 0 when none
    int linkAt_ = 0;     // the depth of the link whose text is held
    int preAt_ = 0;      // the depth of the preformatted block
};

// Reads the content document `part` of the book at path into lines; what it
// gives was measured against the book's budget before (BookEntries).
// Raises FileError when it cannot be read in either way, naming the tag or
// reference at fault where the XML reader found one.
// Bytes that are no UTF-8 in a UTF-8 document are replaced, and counted in
// `damaged`.
void ReadContentDocument(const QByteArray& bytes, const QString& part, const QString& path, const ReadLimits& limits,
                         LineCollector& lines, DamagedBytes& damaged);

}  // namespace vistorel
