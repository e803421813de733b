#include "engine/TextLines.h"

#include "platform/Errors.h"
#include "platform/FileAccess.h"
#include "platform/TextCodec.h"

#include <utility>

namespace vistorel {
namespace {

constexpr qint64 kMaxTextFileBytes = qint64{64} * 1024 * 1024;

// Reads the whole file, refusing anything that cannot be a text to read.
QByteArray ReadTextFile(const QString& path) {
    const QString action = QStringLiteral("прочитать текст");
    QByteArray bytes = ReadRegularFile(path, kMaxTextFileBytes, action);
    if (bytes.contains('\0')) {
        throw FileError(path, action, QStringLiteral("это не текстовый файл (в нём есть нулевые байты)"));
    }
    return bytes;
}

}  // namespace

const QString& TextLines::Line(int number) const {
    static const QString kNoLine;
    if (number < 1 || number > LineCount || number > Lines.size()) return kNoLine;
    return Lines[number - 1];
}

void LoadTextLines(TextLines& buffer, const QString& path) {
    const QString text = DecodeText(ReadTextFile(path));

    QStringList lines;
    const qsizetype size = text.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && text[end] != u'\n' && text[end] != u'\r') ++end;
        if (lines.size() == kMaxTextLines) {
            throw RangeError(QStringLiteral("В тексте \"%1\" больше %2 строк; программа читает тексты не длиннее %2 строк.").arg(path).arg(kMaxTextLines));
        }
        lines.append(text.mid(start, end - start));
        if (end < size && text[end] == u'\r' && end + 1 < size && text[end + 1] == u'\n') ++end;
        start = end + 1;
    }

    buffer.Lines = std::move(lines);
    buffer.LineCount = static_cast<std::uint16_t>(buffer.Lines.size());
}

}  // namespace vistorel
