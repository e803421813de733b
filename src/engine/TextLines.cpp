#include "engine/TextLines.h"

#include <utility>

namespace vistorel {

const QString& TextLines::Line(int number) const {
    static const QString kNoLine;
    if (number < 1 || number > LineCount || number > Lines.size()) return kNoLine;
    return Lines[number - 1];
}

QString LoadTextLines(TextLines& buffer, const QString& path, const ReadLimits& limits) {
    Document document = ReadDocument(path, limits);
    buffer.Lines = std::move(document.Lines);
    buffer.LineCount = static_cast<std::uint16_t>(buffer.Lines.size());
    return document.Notice;
}

TextHead ReadTextHead(const QString& path, qint64 maxBytes, const ReadLimits& limits) {
    DocumentHead read = ReadDocumentHead(path, maxBytes, limits);
    TextHead head;
    head.Notice = read.Notice;
    head.Text.Lines = std::move(read.Lines);
    head.Text.LineCount = static_cast<std::uint16_t>(head.Text.Lines.size());
    head.StoppedAtNul = read.StoppedAtZero;
    return head;
}

}  // namespace vistorel
