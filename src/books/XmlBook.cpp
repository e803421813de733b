#include "books/XmlBook.h"

#include "books/HtmlEntities.h"
#include "books/PlainText.h"
#include "books/ReadBudget.h"
#include "books/ZipArchive.h"
#include "platform/Errors.h"

#include <QRegularExpression>
#include <QXmlStreamEntityResolver>

namespace vistorel {

class BookXml::HtmlEntities : public QXmlStreamEntityResolver {
public:
    QString resolveUndeclaredEntity(const QString& name) override {
        QString text = HtmlEntity(name);
        if (text.isNull()) unknown = name;
        return text;
    }
    QString unknown;  // the last name that HTML does not know either
};

QByteArray XmlWithByteOrderMark(const QByteArray& bytes) {
    if (bytes.size() >= 4 && bytes[0] == '\0' && bytes[1] == '<' && bytes[2] == '\0') return "\xFE\xFF" + bytes;
    if (bytes.size() >= 4 && bytes[0] == '<' && bytes[1] == '\0' && bytes[3] == '\0') return "\xFF\xFE" + bytes;
    return bytes;
}

BookXml::BookXml(const QByteArray& bytes, const QString& path, const QString& part, const ReadLimits& limits)
    : bytes_(XmlWithByteOrderMark(bytes)), reader_(bytes_), path_(path), part_(part), limits_(limits), maxDepth_(limits.MaxDepth) {
    // Entities declared in the document itself expand to a bounded size; a
    // DTD or any other outside file is never loaded.
    reader_.setEntityExpansionLimit(4096);
    entities_ = new HtmlEntities;
    reader_.setEntityResolver(entities_);
}

BookXml::~BookXml() {
    reader_.setEntityResolver(nullptr);
    delete entities_;
}

void RefuseDeepNesting(const QString& path, const QString& part, int maxDepth) {
    RefuseBook(path, QStringLiteral("%1: элементы вложены глубже %2 уровней — так бывает только у "
                                    "повреждённых файлов")
                         .arg(part)
                         .arg(maxDepth));
}

void BookXml::RefuseMalformed() {
    QString what;
    if (!entities_->unknown.isEmpty()) {
        what = QStringLiteral(": неизвестная ссылка на знак &%1;").arg(entities_->unknown);
    } else if (!openedAt_.empty() && reader_.error() == QXmlStreamReader::NotWellFormedError &&
               reader_.qualifiedName() == openedNames_.back()) {
        // The reader stopped at the end tag of another element.
        what = QStringLiteral(": элемент <%1> из строки %2 не закрыт").arg(openedNames_.back()).arg(openedAt_.back());
    }
    throw MalformedBookXml(path_, QStringLiteral("открыть книгу"),
                           QStringLiteral("%1: ошибка разметки в строке %2, позиции %3%4")
                               .arg(part_)
                               .arg(reader_.lineNumber())
                               .arg(reader_.columnNumber())
                               .arg(what));
}

bool BookXml::Next() {
    if (reader_.atEnd()) {
        if (reader_.hasError()) RefuseMalformed();
        return false;
    }
    CheckCancelled(limits_);
    const QXmlStreamReader::TokenType token = reader_.readNext();
    if (token == QXmlStreamReader::StartElement) {
        if (++depth_ > maxDepth_) RefuseDeepNesting(path_, part_, maxDepth_);
        openedAt_.push_back(reader_.lineNumber());
        openedNames_.push_back(reader_.qualifiedName().toString());
    } else if (token == QXmlStreamReader::EndElement) {
        --depth_;
        openedAt_.pop_back();
        openedNames_.pop_back();
    } else if (token == QXmlStreamReader::EntityReference) {
        // Undeclared and unknown to HTML: a document with an outside DTD
        // would lose the text silently.
        RefuseMalformed();
    } else if (token == QXmlStreamReader::Invalid) {
        RefuseMalformed();
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

bool IsNoteMarker(QStringView text) {
    static const QRegularExpression marker(QStringLiteral("^(?:[\\[{(]?\\d{1,3}[\\]})]?|[\u00B9\u00B2\u00B3\u2070-\u2079]{1,3}|[*\u2020\u2021]{1,3})$"));
    return marker.match(text).hasMatch();
}

namespace {

// Bracketed numbers written as words of the text: "сильное[1]", "[2]".
const QRegularExpression& WrittenNoteReference() {
    static const QRegularExpression reference(QStringLiteral("\\s?[\\[{]\\d{1,3}[\\]}]"));
    return reference;
}

bool StartsWithClosingPunctuation(QStringView text) {
    for (const QChar c : text) {
        if (c.isSpace()) continue;
        return c == u',' || c == u'.' || c == u';' || c == u':' || c == u'!' || c == u'?' || c == u')' ||
               c == u'\u00BB' || c == u'\u2026';
    }
    return false;
}

}  // namespace

void LineCollector::AddText(QStringView text) {
    if (holding_) {
        held_ += text;
        return;
    }
    Append(text);
}

void LineCollector::Append(QStringView text) {
    if (afterNote_ && !text.isEmpty()) {
        // "слово [1], дальше": the space before the reference goes with it.
        if (StartsWithClosingPunctuation(text)) spacePending_ = false;
        if (!CollapseSpaces(text).isEmpty()) afterNote_ = false;
    }
    AppendCollapsedSpaces(line_, spacePending_, text);
}

void LineCollector::HoldLinkText() {
    if (holding_) return;  // a link inside a link: held as one
    holding_ = true;
    held_.clear();
}

void LineCollector::ReleaseLinkText(bool note) {
    if (!holding_) return;
    holding_ = false;
    if (note || IsNoteMarker(CollapseSpaces(held_))) {
        NoteReferenceDropped();
    } else {
        Append(held_);
    }
    held_.clear();
}

void LineCollector::NoteReferenceDropped() { afterNote_ = true; }

void LineCollector::EndLine() {
    // A block inside a link ends the link's text as it stands.
    if (holding_) {
        holding_ = false;
        Append(held_);
        held_.clear();
    }
    spacePending_ = false;
    afterNote_ = false;
    if (line_.isEmpty()) return;
    if (line_.contains(u'[') || line_.contains(u'{')) {
        line_.remove(WrittenNoteReference());
        line_ = CollapseSpaces(line_);
        if (line_.isEmpty()) return;
    }
    if (lines_.size() >= maxLines_) throw RangeError(TooManyLinesMessage(path_, maxLines_));
    lines_.append(line_);
    line_.clear();
}

void LineCollector::Rewind(const Mark& mark) {
    while (lines_.size() > mark.Lines) lines_.removeLast();
    line_ = mark.Line;
    spacePending_ = mark.SpacePending;
    afterNote_ = false;
    holding_ = false;
    held_.clear();
}

QStringList LineCollector::TakeLines() {
    EndLine();
    return std::move(lines_);
}

}  // namespace vistorel
