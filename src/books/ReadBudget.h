#pragma once
// What reading one book may cost, counted across all its documents: the
// characters the XML readers would give (text, annotation, attribute values,
// every entity reference expanded) and the attributes they would compare.
// Each document is measured by a scan of its bytes before it is parsed, so a
// book past the budget is refused before the reader starts building its text.

#include "books/Document.h"

#include <QByteArray>
#include <QHash>
#include <QString>

namespace vistorel {

// What parsing one XML document would cost, found by a scan of its bytes.
struct XmlCost {
    qint64 Characters = 0;  // its characters, entity references expanded
    qint64 Expansion = 0;   // of those, the ones entity references add
    QString Entity;         // the entity that adds the most
    qint64 EntityUses = 0;  // how many times it is referenced
    qint64 EntityLength = 0;
};

// Scans the document. Raises FileError naming path and part when an element
// has more than limits.MaxAttributes attributes, or the attributes of all
// elements together would cost the reader more than limits.MaxAttributePairs
// comparisons; ReadCancelled when limits.Cancel is set.
XmlCost MeasureXml(const QByteArray& bytes, const QString& path, const QString& part, const ReadLimits& limits);

// The characters one book has given so far; refuses the book when they pass
// limits.MaxCharacters.
class ReadBudget {
public:
    ReadBudget(const QString& path, const ReadLimits& limits) : path_(path), limits_(limits) {}
    // Measures the document and charges what it gives.
    XmlCost ChargeXml(const QByteArray& bytes, const QString& part);
    // Charges `characters` more; `cost`, when given, says what added them.
    void Charge(qint64 characters, const XmlCost* cost = nullptr);
    qint64 Spent() const { return spent_; }

private:
    QString path_;
    const ReadLimits& limits_;
    qint64 spent_ = 0;
};

// The message of a book past the character budget; `why`, when given, says
// what made it so large (else the entity in `cost` that did).
[[noreturn]] void RefuseLargeBook(const QString& path, const ReadLimits& limits, const XmlCost* cost,
                                  const QString& why = {});

// Raises ReadCancelled when the reading was cancelled.
void CheckCancelled(const ReadLimits& limits);

// The bytes of an XML document in UTF-8 with every byte that belongs to no
// character replaced by U+FFFD; the document as it is when it is in another
// encoding or has no such byte. `damaged` counts the bytes replaced and the
// line of the first.
struct DamagedBytes {
    qint64 Count = 0;
    qint64 FirstLine = 0;
    QString FirstPart;
    void Add(const DamagedBytes& other);
    // «В книге "…" 3 повреждённых байта (первый — в строке 2): они заменены знаком «�».»; empty when none.
    QString Notice(const QString& path) const;
};
QByteArray RepairedUtf8(const QByteArray& bytes, const QString& part, DamagedBytes& damaged);

}  // namespace vistorel
