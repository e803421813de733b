#include "platform/Bitmap.h"

#include "platform/Errors.h"
#include "platform/JpegDecoder.h"

#include <QDir>
#include <QFile>

namespace vistorel {

void Bitmap::LoadFromFile(const QString& path) {
    QFile file(path);
    if (!file.exists()) throw FileError(path, QStringLiteral("load"), QStringLiteral("file not found"));
    if (!file.open(QIODevice::ReadOnly)) throw FileError(path, QStringLiteral("load"), file.errorString());
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) throw FileError(path, QStringLiteral("load"), file.errorString());

    QImage image;
    if (LooksLikeJpeg(data)) {
        QString reason;
        image = DecodeJpeg(data, &reason);
        if (image.isNull()) throw FileError(path, QStringLiteral("load"), reason);
    } else {
        image = QImage::fromData(data, "BMP");
        if (image.isNull()) {
            throw FileError(path, QStringLiteral("load"), QStringLiteral("not a BMP or JPEG picture"));
        }
    }
    image_ = image.convertToFormat(QImage::Format_RGB32);
}

QString ResolveImageName(const QString& directory, const QString& name) {
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(path) || path.startsWith(QLatin1Char(':'))) return path;
    return QDir(directory).filePath(path);
}

}  // namespace vistorel
