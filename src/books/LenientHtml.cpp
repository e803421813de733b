#include "books/LenientHtml.h"

#include "books/HtmlContent.h"
#include "books/HtmlEntities.h"

#include <QRegularExpression>
#include <QString>
#include <climits>
#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <memory>

namespace vistorel {
namespace {

QString FromXmlText(const xmlChar* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

// The encoding the XML declaration names, if the document starts with one.
QByteArray DeclaredEncoding(const QByteArray& bytes) {
    static const QRegularExpression declaration(QStringLiteral("^\\s*<\\?xml[^>]*?encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]{1,40})[\"']"));
    const QString head = QString::fromLatin1(bytes.left(200));
    const QRegularExpressionMatch match = declaration.match(head);
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

const char* EncodingOf(const QByteArray& bytes, QByteArray& declared) {
    // A byte-order mark, or UTF-16's '<' with its zero byte: the parser tells these itself.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
        (bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0'))) {
        return nullptr;
    }
    declared = DeclaredEncoding(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    return declared.isEmpty() ? "UTF-8" : declared.constData();
}

// References the parser left as text: HTML 5's names beyond HTML 4's, and
// the old names written without ';' ("&eacute "), as browsers read them.
QString WithEntitiesResolved(QString text) {
    if (!text.contains(u'&')) return text;
    static const QRegularExpression reference(QStringLiteral("&([A-Za-z][A-Za-z0-9]{1,31})(;?)"));
    QString result;
    qsizetype last = 0;
    QRegularExpressionMatchIterator it = reference.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString characters = HtmlEntity(match.capturedView(1), match.capturedLength(2) == 0);
        if (characters.isNull()) continue;
        result += QStringView(text).mid(last, match.capturedStart() - last);
        result += characters;
        last = match.capturedEnd();
    }
    if (last == 0) return text;
    result += QStringView(text).mid(last);
    return result;
}

struct DocumentFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
struct ContextFree {
    void operator()(htmlParserCtxt* context) const { htmlFreeParserCtxt(context); }
};

void StartHtmlElement(const xmlNode* node, HtmlTextReader& reader) {
    // The parser keeps attribute names as written: "epub:type" with its prefix.
    QString name = FromXmlText(node->name).toLower();
    QString epubType, role, cls, href;
    for (const xmlAttr* attribute = node->properties; attribute != nullptr; attribute = attribute->next) {
        const QString attributeName = FromXmlText(attribute->name).toLower();
        QString* target = attributeName.endsWith(QStringLiteral(":type")) ? &epubType
                          : attributeName == u"role"                        ? &role
                          : attributeName == u"class"                       ? &cls
                          : attributeName == u"href"                        ? &href
                                                                            : nullptr;
        if (target == nullptr) continue;
        for (const xmlNode* value = attribute->children; value != nullptr; value = value->next) {
            if (value->content != nullptr) *target += FromXmlText(value->content);
        }
    }
    reader.Start({name, epubType, role, cls, href});
}

void EndHtmlElement(const xmlNode* node, HtmlTextReader& reader) { reader.End(FromXmlText(node->name).toLower()); }

bool IsDocumentNode(const xmlNode* node) {
    return node == nullptr || node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE;
}

}  // namespace

bool ReadLenientHtml(const QByteArray& bytes, HtmlTextReader& reader) {
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
    const std::unique_ptr<htmlParserCtxt, ContextFree> context(htmlNewParserCtxt());
    if (!context || bytes.size() > INT_MAX) return false;
    QByteArray declared;
    const char* encoding = EncodingOf(bytes, declared);
    const std::unique_ptr<xmlDoc, DocumentFree> document(
        htmlCtxtReadMemory(context.get(), bytes.constData(), static_cast<int>(bytes.size()), nullptr, encoding,
                           HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                               HTML_PARSE_COMPACT));
    if (!document || xmlDocGetRootElement(document.get()) == nullptr) return false;

    // Every node in document order, without recursion: down to the first
    // child, else on to the next sibling, else up, ending the elements left.
    const xmlNode* node = document->children;
    while (node != nullptr) {
        if (node->type == XML_ELEMENT_NODE) {
            StartHtmlElement(node, reader);
            if (node->children != nullptr) {
                node = node->children;
                continue;
            }
            EndHtmlElement(node, reader);
        } else if ((node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) && node->content != nullptr) {
            reader.Text(WithEntitiesResolved(FromXmlText(node->content)));
        }
        while (node != nullptr && node->next == nullptr) {
            node = node->parent;
            if (IsDocumentNode(node)) return true;
            EndHtmlElement(node, reader);
        }
        if (node != nullptr) node = node->next;
    }
    return true;
}

}  // namespace vistorel
