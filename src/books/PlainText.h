#pragma once
// Plain texts: their encoding told from the bytes, and their lines.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vistorel {

enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Windows1251, Koi8R, Cp866 };

// UTF-8, UTF-16 LE or BE (by byte-order mark, or by the zero high bytes of a
// text without one); then UTF-8 when the bytes read as UTF-8 but for a few
// damaged ones; then what the encoding detector finds among KOI8-R and CP866
// when the text reads as Russian that way; Windows-1251 otherwise.
TextEncoding DetectTextEncoding(const QByteArray& bytes);

// The bytes decoded in their encoding, a byte-order mark dropped.
QString DecodePlainText(const QByteArray& bytes);
// The bytes decoded in the encoding given, a byte-order mark dropped.
QString DecodeAs(const QByteArray& bytes, TextEncoding encoding);

// Lines end at CR LF, LF or a lone CR; a last line without a break counts,
// an empty text has none. Tabs and other spaces become plain spaces.
// More than maxLines lines raise RangeError naming path.
QStringList SplitTextLines(const QString& text, const QString& path, int maxLines);

// The message for a text past the line limit.
QString TooManyLinesMessage(const QString& path, int maxLines);

}  // namespace vistorel
