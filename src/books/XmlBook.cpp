#include "books/XmlBook.h"

#include "books/PlainText.h"
#include "books/ZipArchive.h"
#include "platform/Errors.h"

#include <QHash>
#include <QXmlStreamEntityResolver>

namespace vistorel {
namespace {

// The character references of HTML that books use; anything else unknown is
// an error of the document.
const QHash<QString, QString>& HtmlEntityTable() {
    static const QHash<QString, QString> table = [] {
        const std::pair<const char*, char16_t> entries[] = {
            {"nbsp", 0x00A0},   {"shy", 0x00AD},    {"mdash", 0x2014},  {"ndash", 0x2013},  {"minus", 0x2212},
            {"laquo", 0x00AB},  {"raquo", 0x00BB},  {"bdquo", 0x201E},  {"ldquo", 0x201C},  {"rdquo", 0x201D},
            {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"sbquo", 0x201A},  {"lsaquo", 0x2039}, {"rsaquo", 0x203A},
            {"hellip", 0x2026}, {"middot", 0x00B7}, {"bull", 0x2022},   {"copy", 0x00A9},   {"reg", 0x00AE},
            {"trade", 0x2122},  {"deg", 0x00B0},    {"sect", 0x00A7},   {"para", 0x00B6},   {"times", 0x00D7},
            {"divide", 0x00F7}, {"plusmn", 0x00B1}, {"euro", 0x20AC},   {"prime", 0x2032},  {"Prime", 0x2033},
            {"thinsp", 0x2009}, {"ensp", 0x2002},   {"emsp", 0x2003},   {"zwnj", 0x200C},   {"zwj", 0x200D},
            {"numero", 0x2116}, {"frac12", 0x00BD}, {"frac14", 0x00BC}, {"frac34", 0x00BE}, {"sup1", 0x00B9},
            {"sup2", 0x00B2},   {"sup3", 0x00B3},   {"acute", 0x00B4},  {"uml", 0x00A8},    {"iexcl", 0x00A1},
            {"iquest", 0x00BF}, {"cent", 0x00A2},   {"pound", 0x00A3},  {"yen", 0x00A5},    {"dagger", 0x2020},
            {"Dagger", 0x2021}, {"permil", 0x2030}, {"larr", 0x2190},   {"rarr", 0x2192},   {"uarr", 0x2191},
            {"darr", 0x2193},   {"hArr", 0x21D4},   {"harr", 0x2194},   {"infin", 0x221E},  {"ne", 0x2260},
            {"le", 0x2264},     {"ge", 0x2265},     {"asymp", 0x2248},  {"eacute", 0x00E9}, {"egrave", 0x00E8},
            {"agrave", 0x00E0}, {"aacute", 0x00E1}, {"ouml", 0x00F6},   {"uuml", 0x00FC},   {"auml", 0x00E4},
            {"szlig", 0x00DF},  {"ccedil", 0x00E7}, {"ecirc", 0x00EA},  {"oacute", 0x00F3}, {"iacute", 0x00ED},
        };
        QHash<QString, QString> built;
        for (const auto& [name, code] : entries) built.insert(QString::fromLatin1(name), QString(QChar(code)));
        return built;
    }();
    return table;
}

}  // namespace

class BookXml::HtmlEntities : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString& name) override { return HtmlEntityTable().value(name); }
};

BookXml::BookXml(const QByteArray& bytes, const QString& path, const QString& part, const ReadLimits& limits,
                 bool withHtmlEntities)
    : reader_(bytes), path_(path), part_(part), maxDepth_(limits.MaxDepth) {
    // Entities declared in the document itself expand to a bounded size; a
    // DTD or any other outside file is never loaded.
    reader_.setEntityExpansionLimit(4096);
    if (withHtmlEntities) {
        entities_ = new HtmlEntities;
        reader_.setEntityResolver(entities_);
    }
}

BookXml::~BookXml() {
    reader_.setEntityResolver(nullptr);
    delete entities_;
}

bool BookXml::Next() {
    if (reader_.atEnd()) return false;
    const QXmlStreamReader::TokenType token = reader_.readNext();
    if (token == QXmlStreamReader::StartElement) {
        if (++depth_ > maxDepth_) {
            RefuseBook(path_, QStringLiteral("%1: элементы вложены глубже %2 уровней — так бывает только у "
                                             "повреждённых файлов")
                                  .arg(part_)
                                  .arg(maxDepth_));
        }
    } else if (token == QXmlStreamReader::EndElement) {
        --depth_;
    } else if (token == QXmlStreamReader::Invalid) {
        RefuseBook(path_, QStringLiteral("%1: ошибка разметки в строке %2, позиции %3")
                              .arg(part_)
                              .arg(reader_.lineNumber())
                              .arg(reader_.columnNumber()));
    } else if (token == QXmlStreamReader::EndDocument) {
        return false;
    }
    return true;
}

void BookXml::SkipElement() {
    const int depth = depth_;
    while (depth_ >= depth && Next()) {
    }
}

QString BookXml::ElementText() {
    const int depth = depth_;
    QString text;
    while (depth_ >= depth && Next()) {
        if (reader_.isCharacters()) text += reader_.text();
        // Blocks inside keep their words apart.
        if (reader_.isStartElement() || reader_.isEndElement()) text += u' ';
    }
    return CollapseSpaces(text);
}

// Text after `line` with every run of spaces made one space and none at the
// line's start; spaces at the end stay pending until text follows them.
static void AppendCollapsedSpaces(QString& line, bool& spacePending, QStringView text) {
    for (const QChar c : text) {
        if (c.isSpace()) {
            spacePending = !line.isEmpty();
        } else {
            if (spacePending) line += u' ';
            line += c;
            spacePending = false;
        }
    }
}

QString CollapseSpaces(QStringView text) {
    QString result;
    result.reserve(text.size());
    bool space = false;
    AppendCollapsedSpaces(result, space, text);
    return result;
}

void LineCollector::AddText(QStringView text) { AppendCollapsedSpaces(line_, spacePending_, text); }

void LineCollector::EndLine() {
    spacePending_ = false;
    if (line_.isEmpty()) return;
    if (lines_.size() >= maxLines_) throw RangeError(TooManyLinesMessage(path_, maxLines_));
    lines_.append(line_);
    line_.clear();
}

QStringList LineCollector::TakeLines() {
    EndLine();
    return std::move(lines_);
}

}  // namespace vistorel
