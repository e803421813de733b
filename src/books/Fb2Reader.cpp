#include "books/BookReaders.h"

#include "books/ReadBudget.h"
#include "books/XmlBook.h"

#include <QStringList>

namespace vistorel {
namespace {

bool IsFb2Block(QStringView name) {
    return name == u"p" || name == u"v" || name == u"subtitle" || name == u"text-author" || name == u"td" ||
           name == u"th";
}

// A body of notes or comments holds what the text refers to, not the text.
bool IsNotesBody(const BookXml& xml) {
    const QString name = xml.Attribute("name");
    return name == u"notes" || name == u"comments";
}

QString AuthorName(BookXml& xml) {
    const int depth = xml.Depth();
    QStringList parts[3];  // first, middle, last
    QString nickname;
    while (xml.Depth() >= depth && xml.Next()) {
        if (!xml.Reader().isStartElement()) continue;
        const QStringView name = xml.Name();
        if (name == u"first-name") parts[0].append(xml.ElementText());
        else if (name == u"middle-name") parts[1].append(xml.ElementText());
        else if (name == u"last-name") parts[2].append(xml.ElementText());
        else if (name == u"nickname") nickname = xml.ElementText();
    }
    QStringList words;
    for (const QStringList& part : parts) words += part;
    words.removeAll(QString());
    return words.isEmpty() ? nickname : words.join(u' ');
}

void ReadTitleInfo(BookXml& xml, BookInfo& info) {
    const int depth = xml.Depth();
    QStringList authors;
    while (xml.Depth() >= depth && xml.Next()) {
        if (!xml.Reader().isStartElement()) continue;
        const QStringView name = xml.Name();
        if (name == u"book-title") {
            info.Title = xml.ElementText();
        } else if (name == u"author") {
            const QString author = AuthorName(xml);
            if (!author.isEmpty()) authors.append(author);
        } else if (name == u"annotation") {
            QStringList paragraphs;
            const int inner = xml.Depth();
            while (xml.Depth() >= inner && xml.Next()) {
                if (xml.Reader().isStartElement() && IsFb2Block(xml.Name())) paragraphs.append(xml.ElementText());
            }
            paragraphs.removeAll(QString());
            info.Annotation = paragraphs.join(u'\n');
        } else {
            // genre, keywords, date, language...: not shown.
            xml.SkipElement();
        }
    }
    info.Author = authors.join(QStringLiteral(", "));
}

// The address of a link, whatever prefix its XLink namespace has.
QStringView LinkTarget(const QXmlStreamAttributes& attributes) {
    for (const QXmlStreamAttribute& attribute : attributes) {
        if (attribute.name() == u"href") return attribute.value();
    }
    return {};
}

// The text of one main body; a block's inline markup (emphasis...) keeps its
// words, and references to notes are left out.
void ReadBody(BookXml& xml, LineCollector& lines) {
    const int depth = xml.Depth();
    int blockDepth = 0;  // the depth of the block under way, 0 outside one
    int linkDepth = 0;   // the depth of the link whose text is held
    while (xml.Depth() >= depth && xml.Next()) {
        QXmlStreamReader& reader = xml.Reader();
        if (reader.isStartElement()) {
            const QStringView name = xml.Name();
            if (name == u"binary" || name == u"image") {
                xml.SkipElement();
            } else if (blockDepth == 0 && IsFb2Block(name)) {
                blockDepth = xml.Depth();
            } else if (name == u"a" && blockDepth > 0 && linkDepth == 0) {
                const QXmlStreamAttributes attributes = reader.attributes();
                if (attributes.value(QLatin1StringView("type")) == u"note") {
                    xml.SkipElement();
                    lines.NoteReferenceDropped();
                } else if (LinkTarget(attributes).startsWith(u'#')) {
                    lines.HoldLinkText();
                    linkDepth = xml.Depth();
                }
            }
        } else if (reader.isEndElement()) {
            if (linkDepth > 0 && xml.Depth() < linkDepth) {
                lines.ReleaseLinkText();
                linkDepth = 0;
            }
            if (blockDepth > 0 && xml.Depth() < blockDepth) {
                lines.EndLine();
                blockDepth = 0;
            }
        } else if (reader.isCharacters() && blockDepth > 0) {
            lines.AddText(reader.text());
        }
    }
}

Document ReadFb2Document(const QByteArray& bytes, const QString& path, const QString& part, const ReadLimits& limits) {
    Document document;
    document.Format = DocumentFormat::Fb2;
    BookXml xml(bytes, path, part, limits);
    LineCollector lines(path, limits.MaxLines);
    while (xml.Next()) {
        if (!xml.Reader().isStartElement()) continue;
        const QStringView name = xml.Name();
        if (name == u"title-info" && document.Info.Title.isEmpty()) {
            ReadTitleInfo(xml, document.Info);
        } else if (name == u"body") {
            if (IsNotesBody(xml)) {
                xml.SkipElement();
            } else {
                ReadBody(xml, lines);
            }
        } else if (name == u"binary" || name == u"src-title-info" || name == u"document-info" ||
                   name == u"publish-info") {
            xml.SkipElement();
        }
    }
    document.Lines = lines.TakeLines();
    return document;
}

}  // namespace

Document ReadFb2(const QByteArray& bytes, const QString& path, const ReadLimits& limits) {
    const QString part = QStringLiteral("книга FB2");
    ReadBudget(path, limits).ChargeXml(bytes, part);
    try {
        return ReadFb2Document(bytes, path, part, limits);
    } catch (const MalformedBookXml&) {
        // Bytes that are no UTF-8 stop the XML reader: the book is read
        // again with them replaced, and says so. Checked only here, as a
        // sound book costs nothing more.
        DamagedBytes damaged;
        const QByteArray repaired = RepairedUtf8(bytes, QString(), damaged);
        if (damaged.Count == 0) throw;
        Document document = ReadFb2Document(repaired, path, part, limits);
        document.Notice = damaged.Notice(path);
        return document;
    }
}

}  // namespace vistorel
