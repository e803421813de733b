#include "platform/Plural.h"

namespace vistorel {

QString Counted(qint64 count, const NounForms& noun) {
    const qint64 lastTwo = (count < 0 ? -count : count) % 100;
    const qint64 last = lastTwo % 10;
    QStringView form = noun.Many;
    if (lastTwo < 11 || lastTwo > 14) {
        if (last == 1) form = noun.One;
        if (last >= 2 && last <= 4) form = noun.Few;
    }
    return QString::number(count) + u' ' + form.toString();
}

}  // namespace vistorel
