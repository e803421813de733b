#include "books/HtmlEntities.h"

#include <algorithm>
#include <cstring>

namespace vistorel {

QString HtmlEntity(QStringView name, bool withoutSemicolon) {
    // The names are ASCII letters and digits, none longer than 32.
    char key[40];
    if (name.isEmpty() || name.size() >= static_cast<qsizetype>(sizeof key)) return {};
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c == 0 || c > 0x7F) return {};
        key[i] = static_cast<char>(c);
    }
    key[name.size()] = '\0';
    const HtmlEntityEntry* end = kHtmlEntityTable + kHtmlEntityCount;
    const HtmlEntityEntry* found = std::lower_bound(
        kHtmlEntityTable, end, key, [](const HtmlEntityEntry& entry, const char* k) { return std::strcmp(entry.Name, k) < 0; });
    if (found == end || std::strcmp(found->Name, key) != 0 || (withoutSemicolon && !found->Legacy)) return {};
    return QString::fromUtf16(found->Text);
}

}  // namespace vistorel
