#pragma once
// HTML's named character references (&Eacute;, &oelig;, &nbsp; ...), every
// one of the WHATWG list, for XHTML documents that use them without
// declaring them. The table is generated at build time (tools/entities).

#include <QString>
#include <QStringView>

namespace vistorel {

struct HtmlEntityEntry {
    const char* Name;      // without '&' and ';'
    const char16_t* Text;  // the characters it stands for
    bool Legacy;           // also known without the ';'
};
// Sorted by name, byte by byte.
extern const HtmlEntityEntry kHtmlEntityTable[];
extern const int kHtmlEntityCount;

// The characters of the reference named (without '&' and ';', letter case
// counting); a null string when HTML has no such name. With
// withoutSemicolon, only the names HTML knows in that form count.
QString HtmlEntity(QStringView name, bool withoutSemicolon = false);

}  // namespace vistorel
