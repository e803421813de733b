#pragma once
// What the FB2 and EPUB readers share: an XML reader that never loads
// anything from outside the file and refuses nesting past the limit, and the
// collection of a book's text into lines.

#include "books/Document.h"

#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

namespace vistorel {

// Reads the tokens of one XML document, keeping count of the nesting.
class BookXml {
public:
    // HTML's named character references (&nbsp;, &mdash; ...) are resolved
    // when withHtmlEntities is set, as XHTML documents use them freely.
    BookXml(const QByteArray& bytes, const QString& path, const QString& part, const ReadLimits& limits,
            bool withHtmlEntities = false);
    ~BookXml();
    BookXml(const BookXml&) = delete;
    BookXml& operator=(const BookXml&) = delete;

    // The next token; false at the end of the document. A malformed document
    // or one nested deeper than the limit raises FileError.
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
    QXmlStreamReader reader_;
    QString path_;
    QString part_;
    int maxDepth_;
    int depth_ = 0;
    class HtmlEntities;
    HtmlEntities* entities_ = nullptr;
};

// The lines of a book as its reader finds them: text is gathered into the
// line under way, spaces collapsed, until a block ends it.
class LineCollector {
public:
    LineCollector(const QString& path, int maxLines) : path_(path), maxLines_(maxLines) {}
    void AddText(QStringView text);
    // Ends the line under way; an empty one is dropped.
    void EndLine();
    QStringList TakeLines();

private:
    QString path_;
    int maxLines_;
    QString line_;
    bool spacePending_ = false;
    QStringList lines_;
};

// Text with every run of spaces made one space and none at either end.
QString CollapseSpaces(QStringView text);

}  // namespace vistorel
