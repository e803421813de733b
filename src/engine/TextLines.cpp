#include "engine/TextLines.h"

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

TextHead ReadTextHead(const QString& path, qint64 maxBytes) {
    DocumentHead read = ReadDocumentHead(path, maxBytes);
    TextHead head;
    head.Text.Lines = std::move(read.Lines);
    head.Text.LineCount = static_cast<std::uint16_t>(head.Text.Lines.size());
    head.StoppedAtNul = read.StoppedAtZero;
    return head;
}

}  // namespace vistorel
