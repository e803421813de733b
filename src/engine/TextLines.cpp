#include "engine/TextLines.h"

#include "platform/Errors.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <utility>

namespace vistorel {
namespace {

constexpr qint64 kMaxTextFileBytes = qint64{64} * 1024 * 1024;

QString TooLarge() { return QStringLiteral("the file is larger than 64 MiB"); }

// Reads the whole file, refusing anything that cannot be a text to read.
QByteArray ReadTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw FileError(path, file.errorString());
    if (file.size() > kMaxTextFileBytes) throw FileError(path, TooLarge());
    // A device that reports no size is read one byte past the limit at most;
    // the check after the read also catches a file that grew meanwhile.
    QByteArray bytes = file.isSequential() ? file.read(kMaxTextFileBytes + 1) : file.readAll();
    if (file.error() != QFileDevice::NoError) throw FileError(path, file.errorString());
    if (bytes.size() > kMaxTextFileBytes) throw FileError(path, TooLarge());
    if (bytes.contains('\0')) throw FileError(path, QStringLiteral("not a text file"));
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
            throw RangeError(QStringLiteral("\"%1\" has more than %2 lines").arg(path).arg(kMaxTextLines));
        }
        lines.append(text.mid(start, end - start));
        if (end < size && text[end] == u'\r' && end + 1 < size && text[end + 1] == u'\n') ++end;
        start = end + 1;
    }

    buffer.Lines = std::move(lines);
    buffer.LineCount = static_cast<std::uint16_t>(buffer.Lines.size());
}

}  // namespace vistorel
