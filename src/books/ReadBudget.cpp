#include "books/ReadBudget.h"

#include "books/XmlBook.h"
#include "books/ZipArchive.h"
#include "platform/Plural.h"

#include <QLocale>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>

namespace vistorel {
namespace {

constexpr qint64 kSaturated = qint64{1} << 50;

qint64 Add(qint64 a, qint64 b) { return std::min(kSaturated, a + b); }
qint64 Multiply(qint64 a, qint64 b) { return b != 0 && a > kSaturated / b ? kSaturated : std::min(kSaturated, a * b); }

// What one general entity expands to: its length and the '=' signs in it
// (each may be an attribute of an element the expansion holds).
struct Expansion {
    qint64 Length = 0;
    qint64 Equals = 0;
};

// The entities the document's DTD declares, read by the XML reader itself
// (which also expands parameter entities there), up to the root element.
QHash<QString, QString> DeclaredEntities(const QByteArray& prolog) {
    QHash<QString, QString> declared;
    if (prolog.isEmpty()) return declared;
    QXmlStreamReader reader(XmlWithByteOrderMark(prolog));
    reader.setEntityExpansionLimit(4096);
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD) {
            for (const QXmlStreamEntityDeclaration& entity : reader.entityDeclarations()) {
                declared.insert(entity.name().toString(), entity.value().toString());
            }
        }
        if (token == QXmlStreamReader::StartElement || token == QXmlStreamReader::Invalid) break;
    }
    return declared;
}

bool IsNameCharacter(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.' || c == ':' || c >= 0x80;
}

// Expansions of the declared entities, those inside their values counted in.
class EntityTable {
public:
    explicit EntityTable(QHash<QString, QString> declared) : declared_(std::move(declared)) {}
    bool Empty() const { return declared_.isEmpty(); }
    bool Declared(const QString& name) const { return declared_.contains(name); }
    const Expansion* Find(const QString& name) {
        if (!declared_.contains(name)) return nullptr;
        return &Expand(name, 0);
    }

private:
    const Expansion& Expand(const QString& name, int depth) {
        const auto known = done_.constFind(name);
        if (known != done_.constEnd()) return *known;
        Expansion expansion;
        const QString value = declared_.value(name);
        // A reference loop or a chain deeper than any real DTD: the reader refuses those.
        if (depth < 64) {
            done_.insert(name, {});  // a reference back to itself counts nothing
            for (qsizetype i = 0; i < value.size(); ++i) {
                const QChar c = value[i];
                if (c == u'=') ++expansion.Equals;
                if (c != u'&') {
                    ++expansion.Length;
                    continue;
                }
                qsizetype end = i + 1;
                while (end < value.size() && IsNameCharacter(value[end].unicode())) ++end;
                const QString inner = value.mid(i + 1, end - i - 1);
                if (end < value.size() && value[end] == u';' && declared_.contains(inner)) {
                    const Expansion& nested = Expand(inner, depth + 1);
                    expansion.Length = Add(expansion.Length, nested.Length);
                    expansion.Equals = Add(expansion.Equals, nested.Equals);
                    i = end;
                } else {
                    ++expansion.Length;
                }
            }
        }
        done_.insert(name, expansion);
        return *done_.constFind(name);
    }

    QHash<QString, QString> declared_;
    QHash<QString, Expansion> done_;
};

// The document's code units: bytes for UTF-8 and the 8-bit encodings, where
// markup is ASCII; 16-bit units for UTF-16.
struct Units8 {
    const unsigned char* p;
    qsizetype n;
    qsizetype size() const { return n; }
    char32_t operator[](qsizetype i) const { return p[i]; }
    // The next '<' from `from` (or '&', when references count), else the end.
    qsizetype NextMarkup(qsizetype from, bool references) const {
        if (!references) {
            const void* found = std::memchr(p + from, '<', static_cast<std::size_t>(n - from));
            return found == nullptr ? n : static_cast<const unsigned char*>(found) - p;
        }
        while (from < n && p[from] != '<' && p[from] != '&') ++from;
        return from;
    }
};
template <bool Big>
struct Units16 {
    const unsigned char* p;
    qsizetype n;
    qsizetype size() const { return n / 2; }
    char32_t operator[](qsizetype i) const {
        return Big ? char32_t(p[2 * i] << 8 | p[2 * i + 1]) : char32_t(p[2 * i + 1] << 8 | p[2 * i]);
    }
    qsizetype NextMarkup(qsizetype from, bool) const {
        while (from < size() && (*this)[from] != '<' && (*this)[from] != '&') ++from;
        return from;
    }
};

template <class Units>
bool UnitsStartWith(const Units& text, qsizetype at, const char* what) {
    for (qsizetype k = 0; what[k] != 0; ++k) {
        if (at + k >= text.size() || text[at + k] != static_cast<unsigned char>(what[k])) return false;
    }
    return true;
}

// The position after the next `end`, or the end of the text.
template <class Units>
qsizetype UnitsAfter(const Units& text, qsizetype from, const char* end) {
    const char32_t first = static_cast<unsigned char>(end[0]);
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] == first && UnitsStartWith(text, i, end)) return i + static_cast<qsizetype>(std::strlen(end));
    }
    return text.size();
}

// Past a declaration (<!DOCTYPE ... [ ... ]>): its internal subset and
// quoted values included. The references there are the DTD's own.
template <class Units>
qsizetype AfterDeclaration(const Units& text, qsizetype from) {
    int brackets = 0;
    char32_t quote = 0;
    for (qsizetype i = from; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            --brackets;
        } else if (c == '>' && brackets <= 0) {
            return i + 1;
        } else if (c == '<' && brackets > 0 && UnitsStartWith(text, i, "<!--")) {
            i = UnitsAfter(text, i + 4, "-->") - 1;
        }
    }
    return text.size();
}

// The end of the document's DOCTYPE declaration, in units; 0 when the
// document has none before its root element. Only there can entities be
// declared: no DTD from outside the file is ever loaded.
template <class Units>
qsizetype DoctypeEnd(const Units& text) {
    for (qsizetype i = text.NextMarkup(0, false); i + 1 < text.size(); i = text.NextMarkup(i + 1, false)) {
        if (UnitsStartWith(text, i, "<!DOCTYPE")) return AfterDeclaration(text, i + 9);
        const char32_t next = text[i + 1];
        if (next != '?' && next != '!') return 0;  // the root element: no DOCTYPE before it
    }
    return 0;
}

class Scanner {
public:
    Scanner(const QString& path, const QString& part, const ReadLimits& limits, EntityTable& entities)
        : path_(path), part_(part), limits_(limits), entities_(entities) {}

    template <class Units>
    XmlCost Scan(const Units& text) {
        const qsizetype n = text.size();
        cost_.Characters = n;
        qsizetype i = 0;
        qint64 steps = 0;
        const bool references = !entities_.Empty();
        while (i < n) {
            if (++steps % (1 << 12) == 0) CheckCancelled(limits_);
            i = text.NextMarkup(i, references);
            if (i >= n) break;
            const char32_t c = text[i];
            if (c == '&') {
                i = Reference(text, i);
            } else if (c != '<' || i + 1 >= n) {
                ++i;
            } else if (UnitsStartWith(text, i, "<!--")) {
                i = UnitsAfter(text, i + 4, "-->");
            } else if (UnitsStartWith(text, i, "<![CDATA[")) {
                i = UnitsAfter(text, i + 9, "]]>");
            } else if (text[i + 1] == '?') {
                i = UnitsAfter(text, i + 2, "?>");
            } else if (text[i + 1] == '!') {
                i = AfterDeclaration(text, i + 2);
            } else if (text[i + 1] == '/') {
                i = UnitsAfter(text, i + 2, ">");
            } else {
                i = StartTag(text, i);
            }
        }
        // Each entity's expansion, and its uses, in the total.
        qint64 most = -1;
        for (auto it = uses_.constBegin(); it != uses_.constEnd(); ++it) {
            const Expansion* expansion = entities_.Find(it.key());
            const qint64 added = Multiply(expansion->Length, it.value());
            cost_.Expansion = Add(cost_.Expansion, added);
            if (added > most) {
                most = added;
                cost_.Entity = it.key();
                cost_.EntityUses = it.value();
                cost_.EntityLength = expansion->Length;
            }
            // The attributes an expansion may bring, as if all on one element.
            const qint64 equals = expansion->Equals;
            if (equals > limits_.MaxAttributes) TooManyAttributes(QStringLiteral("&%1;").arg(it.key()), -1);
            pairs_ = Add(pairs_, Multiply(Multiply(equals, equals) / 2, it.value()));
        }
        if (pairs_ > limits_.MaxAttributePairs) {
            RefuseBook(path_, QStringLiteral("%1: у элементов так много атрибутов, что читать их пришлось бы "
                                             "слишком долго — так бывает только у повреждённых или поддельных файлов")
                                  .arg(part_));
        }
        cost_.Characters = Add(cost_.Characters, cost_.Expansion);
        return cost_;
    }

private:
    // A reference &name; counted when a declared entity is its target.
    template <class Units>
    qsizetype Reference(const Units& text, qsizetype at) {
        if (entities_.Empty()) return at + 1;
        qsizetype end = at + 1;
        while (end < text.size() && end - at <= 64 && IsNameCharacter(text[end])) ++end;
        if (end >= text.size() || text[end] != ';' || end == at + 1) return at + 1;
        QString name;
        for (qsizetype k = at + 1; k < end; ++k) name += QStringView(QChar::fromUcs4(text[k]));
        if (entities_.Declared(name)) ++uses_[name];
        return end + 1;
    }

    // A start tag: its attributes counted, the references in their values too.
    template <class Units>
    qsizetype StartTag(const Units& text, qsizetype at) {
        qint64 attributes = 0;
        char32_t quote = 0;
        qsizetype i = at + 1;
        for (; i < text.size(); ++i) {
            const char32_t c = text[i];
            if (quote != 0) {
                if (c == quote) quote = 0;
                else if (c == '&') i = Reference(text, i) - 1;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '=') {
                ++attributes;
            } else if (c == '>' || c == '<') {
                break;
            }
        }
        if (attributes > limits_.MaxAttributes) {
            QString name;
            for (qsizetype k = at + 1; k < text.size() && k < at + 40 && IsNameCharacter(text[k]); ++k) {
                name += QStringView(QChar::fromUcs4(text[k]));
            }
            qint64 line = 1;
            for (qsizetype k = 0; k < at; ++k) line += text[k] == '\n' ? 1 : 0;
            TooManyAttributes(QStringLiteral("<%1>").arg(name), line);
        }
        pairs_ = Add(pairs_, attributes * (attributes - 1) / 2);
        return i < text.size() && text[i] == '>' ? i + 1 : i;
    }

    [[noreturn]] void TooManyAttributes(const QString& element, qint64 line) const {
        const QString where = line > 0 ? QStringLiteral(" в строке %1").arg(line) : QString();
        RefuseBook(path_, QStringLiteral("%1: у элемента %2%3 больше %4 атрибутов — так бывает только у "
                                         "повреждённых или поддельных файлов")
                              .arg(part_, element, where)
                              .arg(limits_.MaxAttributes));
    }

    const QString& path_;
    const QString& part_;
    const ReadLimits& limits_;
    EntityTable& entities_;
    XmlCost cost_;
    qint64 pairs_ = 0;
    QHash<QString, qint64> uses_;
};

}  // namespace

void CheckCancelled(const ReadLimits& limits) {
    if (limits.Cancel != nullptr && limits.Cancel->load(std::memory_order_relaxed)) throw ReadCancelled();
}

namespace {

template <class Units>
XmlCost Measure(const QByteArray& bytes, const Units& units, int width, const QString& path, const QString& part,
                const ReadLimits& limits) {
    EntityTable entities(DeclaredEntities(bytes.left(DoctypeEnd(units) * width)));
    Scanner scanner(path, part, limits, entities);
    return scanner.Scan(units);
}

}  // namespace

XmlCost MeasureXml(const QByteArray& bytes, const QString& path, const QString& part, const ReadLimits& limits) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    // UTF-16 by its byte-order mark or the zero byte of its first character '<'.
    const bool big = bytes.startsWith("\xFE\xFF") || (n >= 2 && p[0] == 0 && p[1] != 0);
    const bool little = !big && (bytes.startsWith("\xFF\xFE") || (n >= 2 && p[0] != 0 && p[1] == 0));
    if (big) return Measure(bytes, Units16<true>{p, n}, 2, path, part, limits);
    if (little) return Measure(bytes, Units16<false>{p, n}, 2, path, part, limits);
    return Measure(bytes, Units8{p, n}, 1, path, part, limits);
}

XmlCost ReadBudget::ChargeXml(const QByteArray& bytes, const QString& part) {
    CheckCancelled(limits_);
    const XmlCost cost = MeasureXml(bytes, path_, part, limits_);
    Charge(cost.Characters, &cost);
    return cost;
}

void ReadBudget::Charge(qint64 characters, const XmlCost* cost) {
    spent_ = Add(spent_, characters);
    if (spent_ > limits_.MaxCharacters) RefuseLargeBook(path_, limits_, cost);
}

void RefuseLargeBook(const QString& path, const ReadLimits& limits, const XmlCost* cost, const QString& reason) {
    const QLocale russian(QLocale::Russian);
    const qint64 millions = limits.MaxCharacters / (1000 * 1000);
    const QString budget = millions > 0 ? QStringLiteral("%1 млн знаков").arg(millions)
                                        : Counted(limits.MaxCharacters, {u"знака", u"знаков", u"знаков"});
    QString why = reason;
    if (why.isEmpty() && cost != nullptr && cost->EntityUses > 0 && cost->Expansion * 2 > cost->Characters) {
        why = QStringLiteral("сущность «&%1;» в %2 повторяется в ней %3 %4")
                  .arg(cost->Entity, Counted(cost->EntityLength, {u"знак", u"знака", u"знаков"}),
                       russian.toString(cost->EntityUses), Counted(cost->EntityUses, {u"раз", u"раза", u"раз"}).section(u' ', 1));
    }
    throw FileError(path, FileError::WholeMessage,
                    QStringLiteral("Книга слишком велика: в \"%1\" больше %2 текста%3 — столько программа не читает.")
                        .arg(path, budget, why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
}

void DamagedBytes::Add(const DamagedBytes& other) {
    if (other.Count == 0) return;
    if (Count == 0) {
        FirstLine = other.FirstLine;
        FirstPart = other.FirstPart;
    }
    Count += other.Count;
}

QString DamagedBytes::Notice(const QString& path) const {
    if (Count == 0) return {};
    const QString where = FirstPart.isEmpty() ? QStringLiteral("в строке %1").arg(FirstLine)
                                              : QStringLiteral("в строке %1 файла %2").arg(FirstLine).arg(FirstPart);
    return QStringLiteral("В книге \"%1\" %2 (%3 — %4): %5 знаком «\uFFFD», книга читается дальше.")
        .arg(path, Counted(Count, {u"повреждённый байт", u"повреждённых байта", u"повреждённых байтов"}),
             Count == 1 ? QStringLiteral("он") : QStringLiteral("первый"), where,
             Count == 1 ? QStringLiteral("он заменён") : QStringLiteral("они заменены"));
}

QByteArray RepairedUtf8(const QByteArray& bytes, const QString& part, DamagedBytes& damaged) {
    if (bytes.isValidUtf8()) return bytes;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    // UTF-16 and the encodings a declaration names are the XML reader's to decode.
    if (bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xFF\xFE") || (bytes.size() >= 2 && (p[0] == 0 || p[1] == 0))) {
        return bytes;
    }
    static const QRegularExpression declaration(QStringLiteral("^\\s*<\\?xml[^>]*?encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]{1,40})[\"']"));
    const QRegularExpressionMatch match = declaration.match(QString::fromLatin1(bytes.left(200).mid(bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0)));
    if (match.hasMatch() && match.captured(1).compare(QStringLiteral("utf-8"), Qt::CaseInsensitive) != 0 &&
        match.captured(1).compare(QStringLiteral("utf8"), Qt::CaseInsensitive) != 0) {
        return bytes;
    }
    const QString text = QString::fromUtf8(bytes);
    const qsizetype first = text.indexOf(QChar(QChar::ReplacementCharacter));
    DamagedBytes found;
    found.Count = std::max<qint64>(1, text.count(QChar(QChar::ReplacementCharacter)) - bytes.count("\xEF\xBF\xBD"));
    found.FirstLine = 1 + QStringView(text).first(std::max<qsizetype>(first, 0)).count(u'\n');
    found.FirstPart = part;
    damaged.Add(found);
    return text.toUtf8();
}

}  // namespace vistorel
