#pragma once
// Text encodings: record strings are Windows-1251 bytes; text files read from
// disk are UTF-8 when they carry a BOM or are (almost all) valid UTF-8, else
// Windows-1251.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vistorel {

QString FromCp1251(QByteArrayView bytes);
// Characters without a Windows-1251 code become '?'.
QByteArray ToCp1251(QStringView text);
// True when every character has a Windows-1251 code (nothing would become '?').
bool FitsCp1251(QStringView text);
// The first character without a Windows-1251 code (a character outside the
// basic plane whole), or an empty string when there is none.
QString FirstOutsideCp1251(QStringView text);
// The text made to fit Windows-1251, for what the program fills in itself
// (a book's title and annotation): the characters it has stay; letters with
// accents become their base letters (É → E), ligatures and other
// compatibility forms are spelled out (ﬁ → fi, œ → oe), combining marks are
// dropped, spaces, dashes and quotes of other kinds become the plain ones,
// and what has no near character (Greek, Chinese, emoji) is left out, the
// spaces around it not doubled.
QString FittedToCp1251(QStringView text);
// Raises Error when the text has a character without a Windows-1251 code; the
// message begins with `field` (what holds the text, «Название») and names the
// first such character, so the user knows what to change.
void RequireCp1251(QStringView text, const QString& field);

// Valid multi-byte UTF-8 sequences and bytes that belong to none.
struct Utf8Census {
    qsizetype Sequences = 0;
    qsizetype Invalid = 0;
    bool Stopped = false;  // the count stopped early: the bytes cannot read as UTF-8
};
// With stopWhenNotUtf8, counting stops as soon as the rest of the bytes could
// no longer make the whole read as UTF-8.
Utf8Census CountUtf8(QByteArrayView bytes, bool stopWhenNotUtf8 = false);

// True when the bytes are UTF-8 but for a few damaged bytes: the rule by
// which a text file without a BOM is read as UTF-8.
bool ReadsAsUtf8(QByteArrayView bytes);

// Decodes the contents of a text file: UTF-8 (BOM dropped) when the bytes
// start with a UTF-8 BOM or are UTF-8 but for a few damaged bytes (shown as
// U+FFFD), Windows-1251 otherwise.
QString DecodeText(const QByteArray& bytes);

}  // namespace vistorel
