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

// Splits a text at CR LF, LF and lone CRs into at most maxLines lines;
// false when there are more.
bool SplitLines(const QString& text, int maxLines, QStringList* lines) {
    lines->clear();
    const qsizetype size = text.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && text[end] != u'\n' && text[end] != u'\r') ++end;
        if (lines->size() == maxLines) return false;
        lines->append(text.mid(start, end - start));
        if (end < size && text[end] == u'\r' && end + 1 < size && text[end + 1] == u'\n') ++end;
        start = end + 1;
    }
    return true;
}

// Bytes cut off at an arbitrary place may end inside a UTF-8 sequence: its
// first bytes are dropped, so that the cut does not read as damage (and a
// text of a few letters in UTF-8 as Windows-1251). A Windows-1251 text loses
// at most one letter at the cut.
void DropCutSequence(QByteArray& bytes) {
    const auto byteAt = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    for (qsizetype i = bytes.size() - 1; i >= 0 && i >= bytes.size() - 4; --i) {
        const unsigned char b = byteAt(i);
        if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const qsizetype length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (bytes.size() - i < length) bytes.truncate(i);
        return;
    }
}

}  // namespace

const QString& TextLines::Line(int number) const {
    static const QString kNoLine;
    if (number < 1 || number > LineCount || number > Lines.size()) return kNoLine;
    return Lines[number - 1];
}

void LoadTextLines(TextLines& buffer, const QString& path) {
    QStringList lines;
    if (!SplitLines(DecodeText(ReadTextFile(path)), kMaxTextLines, &lines)) {
        throw RangeError(QStringLiteral("В тексте \"%1\" больше %2 строк; программа читает тексты не длиннее %2 строк.").arg(path).arg(kMaxTextLines));
    }
    buffer.Lines = std::move(lines);
    buffer.LineCount = static_cast<std::uint16_t>(buffer.Lines.size());
}

TextHead ReadTextHead(const QString& path, qint64 maxBytes) {
    // One byte more than the head tells whether the file goes on after it.
    FileRead read = TryReadRegularFile(path, maxBytes + 1, OverLimit::Cut);
    if (read.Outcome != FileRead::Status::Read) {
        throw FileError(path, QStringLiteral("прочитать текст"), read.Reason);
    }
    QByteArray& bytes = read.Bytes;
    TextHead head;
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0 && nul < maxBytes) {
        bytes.truncate(nul);
        head.StoppedAtNul = true;
    }
    if (bytes.size() > maxBytes) {
        bytes.truncate(maxBytes);
        DropCutSequence(bytes);
    }
    // Lines past what the buffer can number are not part of the head.
    SplitLines(DecodeText(bytes), kMaxTextLines, &head.Text.Lines);
    head.Text.LineCount = static_cast<std::uint16_t>(head.Text.Lines.size());
    return head;
}

}  // namespace vistorel
