#include "books/HtmlContent.h"

#include "books/LenientHtml.h"
#include "books/ReadBudget.h"
#include "books/XmlBook.h"

#include <QStringList>
#include <initializer_list>

namespace vistorel {
namespace {

// Elements whose start or end begins a new line.
bool IsHtmlBlock(QStringView name) {
    static const QStringList kBlocks = {
        QStringLiteral("p"),       QStringLiteral("div"),     QStringLiteral("h1"),      QStringLiteral("h2"),
        QStringLiteral("h3"),      QStringLiteral("h4"),      QStringLiteral("h5"),      QStringLiteral("h6"),
        QStringLiteral("li"),      QStringLiteral("ul"),      QStringLiteral("ol"),      QStringLiteral("dl"),
        QStringLiteral("dt"),      QStringLiteral("dd"),      QStringLiteral("blockquote"), QStringLiteral("pre"),
        QStringLiteral("br"),      QStringLiteral("hr"),      QStringLiteral("tr"),      QStringLiteral("td"),
        QStringLiteral("th"),      QStringLiteral("table"),   QStringLiteral("caption"), QStringLiteral("figcaption"),
        QStringLiteral("figure"),  QStringLiteral("section"), QStringLiteral("article"), QStringLiteral("aside"),
        QStringLiteral("header"),  QStringLiteral("footer"),  QStringLiteral("nav"),     QStringLiteral("address"),
        QStringLiteral("body"),    QStringLiteral("main"),
    };
    return kBlocks.contains(name);
}

// Elements whose contents are never text to read: the ruby's pronunciation
// (<rt>) and the brackets around it for readers without ruby (<rp>) among them.
bool IsDroppedElement(QStringView name) {
    return name == u"head" || name == u"script" || name == u"style" || name == u"svg" || name == u"math" ||
           name == u"object" || name == u"iframe" || name == u"template" || name == u"noscript" || name == u"rt" ||
           name == u"rp" || name == u"rtc";
}

bool HasToken(QStringView list, std::initializer_list<QStringView> tokens) {
    if (list.isEmpty()) return false;
    for (const QStringView token : list.tokenize(u' ', Qt::SkipEmptyParts)) {
        for (const QStringView wanted : tokens) {
            if (token.compare(wanted, Qt::CaseInsensitive) == 0) return true;
        }
    }
    return false;
}

// A note, a list of notes or a reference to one, as EPUB 3 (epub:type),
// DPUB-ARIA (role) and the classes of converters name them.
bool IsNoteElement(const HtmlElement& element) {
    return HasToken(element.EpubType, {u"footnote", u"footnotes", u"endnote", u"endnotes", u"note", u"notes",
                                       u"rearnote", u"rearnotes", u"noteref"}) ||
           HasToken(element.Role, {u"doc-footnote", u"doc-endnote", u"doc-endnotes", u"doc-noteref"}) ||
           HasToken(element.Class, {u"footnote", u"footnotes", u"endnote", u"endnotes", u"footnote-ref", u"noteref"});
}

}  // namespace

void HtmlTextReader::Start(const HtmlElement& element) {
    CheckCancelled(limits_);
    if (++depth_ > maxDepth_) RefuseDeepNesting(path_, part_, maxDepth_);
    if (skippedAt_ > 0) return;
    const QStringView name = element.Name;
    if (IsDroppedElement(name) || name == u"aside" || IsNoteElement(element)) {
        skippedAt_ = depth_;
        if (name == u"a") lines_.NoteReferenceDropped();
        return;
    }
    if (IsHtmlBlock(name)) lines_.EndLine();
    if (name == u"a" && linkAt_ == 0 && element.Href.contains(u'#')) {
        // A link within the book: its text is a note's number, or words.
        lines_.HoldLinkText();
        linkAt_ = depth_;
    }
    if (name == u"pre" && preAt_ == 0) preAt_ = depth_;
}

void HtmlTextReader::End(QStringView name) {
    if (skippedAt_ > 0) {
        if (depth_ == skippedAt_) skippedAt_ = 0;
        --depth_;
        return;
    }
    if (depth_ == linkAt_) {
        lines_.ReleaseLinkText();
        linkAt_ = 0;
    }
    if (IsHtmlBlock(name)) lines_.EndLine();
    if (depth_ == preAt_) preAt_ = 0;
    --depth_;
}

void HtmlTextReader::Text(QStringView text) {
    if (skippedAt_ > 0) return;
    if (preAt_ == 0) {
        lines_.AddText(text);
        return;
    }
    // Preformatted text (verse, say): each of its lines a line.
    bool first = true;
    for (const QStringView line : text.tokenize(u'\n')) {
        if (!first) lines_.EndLine();
        lines_.AddText(line);
        first = false;
    }
}

namespace {

void ReadWellFormed(const QByteArray& bytes, const QString& part, const QString& path, const ReadLimits& limits,
                    HtmlTextReader& text) {
    static const QString kEpubNamespace = QStringLiteral("http://www.idpf.org/2007/ops");
    BookXml xml(bytes, path, part, limits);
    while (xml.Next()) {
        QXmlStreamReader& reader = xml.Reader();
        if (reader.isStartElement()) {
            HtmlElement element;
            element.Name = reader.name();
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute& attribute : attributes) {
                const QStringView name = attribute.name();
                if (name == u"type" && (attribute.namespaceUri() == kEpubNamespace || !attribute.prefix().isEmpty())) {
                    element.EpubType = attribute.value();
                } else if (!attribute.prefix().isEmpty()) {
                    continue;
                } else if (name == u"role") {
                    element.Role = attribute.value();
                } else if (name == u"class") {
                    element.Class = attribute.value();
                } else if (name == u"href") {
                    element.Href = attribute.value();
                }
            }
            text.Start(element);
        } else if (reader.isEndElement()) {
            text.End(reader.name());
        } else if (reader.isCharacters()) {
            text.Text(reader.text());
        }
    }
}

}  // namespace

void ReadContentDocument(const QByteArray& bytes, const QString& part, const QString& path, const ReadLimits& limits,
                         LineCollector& lines, DamagedBytes& damaged) {
    const LineCollector::Mark start = lines.Here();
    try {
        HtmlTextReader text(lines, path, part, limits);
        ReadWellFormed(bytes, part, path, limits, text);
    } catch (const MalformedBookXml&) {
        lines.Rewind(start);
        // Bytes that are no UTF-8 first: with them replaced the document may be sound.
        DamagedBytes found;
        const QByteArray repaired = RepairedUtf8(bytes, part, found);
        if (found.Count > 0) {
            damaged.Add(found);
            try {
                HtmlTextReader text(lines, path, part, limits);
                ReadWellFormed(repaired, part, path, limits, text);
                lines.EndLine();
                return;
            } catch (const MalformedBookXml&) {
                lines.Rewind(start);
            }
        }
        // What was read of it is read again, the HTML way.
        HtmlTextReader text(lines, path, part, limits);
        if (!ReadLenientHtml(repaired, text)) throw;
    }
    lines.EndLine();
}

}  // namespace vistorel
