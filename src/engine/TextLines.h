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
// a damaged book) or RangeError (more than kMaxTextLines lines); the buffer
// is then unchanged.
void LoadTextLines(TextLines& buffer, const QString& path);

}  // namespace vistorel
