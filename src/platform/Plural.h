#pragma once
// A count followed by its noun in the form Russian gives it after that
// number: "1 слово", "2 слова", "5 слов", "21 слово", "12 слов".

#include <QString>
#include <QStringView>

namespace vistorel {

// The noun's three forms: after 1 (and 21, 31 ...), after 2 to 4 (and 22 ...),
// and after 5 to 20, 0 and the rest.
struct NounForms {
    QStringView One;
    QStringView Few;
    QStringView Many;
};

// "count noun", the count in decimal.
QString Counted(qint64 count, const NounForms& noun);

}  // namespace vistorel
