#pragma once
// The lines of the current text, numbered from 1, and the reading position
// that the word reader, the line display and the bookmarks share.

#include "books/Document.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace vistorel {

inline constexpr int kMaxTextLines = kMaxDocumentLines;

struct TextLines {
    QStringList Lines;               // Lines[0] is line 1; read through Line()
    std::uint16_t LineCount = 0;
    std::uint16_t CurrentLine = 0;   // 1..LineCount; 0 = nothing read yet

    // Line 1..LineCount; any other number gives an empty string.
    const QString& Line(int number) const;
};

// Replaces the lines with those of the text or book at path (a relative path
// is taken relative to the working directory), read by ReadDocument: a plain
// text's lines end at CR LF, LF or a lone CR, without the break; a last line
// without a break counts, blank lines count, an empty file has none; a book
// gives a line per paragraph. CurrentLine is left alone.
// Throws FileError (cannot be opened or read, larger than 64 MiB, not a text,
// a damaged book or one past the limits) or RangeError (more than
// kMaxTextLines lines), ReadCancelled when limits.Cancel is set; the buffer
// is then unchanged. Returns what the reader had to say of the book
// (Document::Notice).
QString LoadTextLines(TextLines& buffer, const QString& path, const ReadLimits& limits = {});

// How much of a text the windows that show only its beginning read: over
// 2000 characters in any encoding (8192 in Windows-1251, 4096 Russian
// letters in UTF-8), and never a line longer than that, however large the
// file: a text box wraps one unbroken line of 8192 characters in about 20 ms,
// of 32768 in about 150.
inline constexpr qint64 kTextHeadBytes = 8 * 1024;

// The beginning of a text file, for a window that shows only that.
struct TextHead {
    TextLines Text;          // its lines, split as LoadTextLines splits them
    QString Notice;          // as LoadTextLines returns it
    bool StoppedAtNul = false;  // a NUL byte ended it: what follows is no text
};

// Reads at most maxBytes bytes from the start of the text file at path and
// decodes them as LoadTextLines does; the text ends at the first NUL
// character. A line that runs past the bytes read ends where they end (never
// within a character). Of a book, its first lines up to maxBytes characters.
// Throws FileError when the file cannot be opened or read, or the book is
// damaged; the size of a plain text and the rest of it do not matter.
TextHead ReadTextHead(const QString& path, qint64 maxBytes = kTextHeadBytes, const ReadLimits& limits = {});

}  // namespace vistorel
