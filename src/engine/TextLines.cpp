#include "engine/TextLines.h"

#include "books/Document.h"

#include <utility>

namespace vistorel {

const QString& TextLines::Line(int number) const {
    static const QString kNoLine;
    if (number < 1 || number > LineCount || number > Lines.size()) return kNoLine;
    return Lines[number - 1];
}

void LoadTextLines(TextLines& buffer, const QString& path) {
    Document document = ReadDocument(path);
    buffer.Lines = std::move(document.Lines);
    buffer.LineCount = static_cast<std::uint16_t>(buffer.Lines.size());
}

}  // namespace vistorel
