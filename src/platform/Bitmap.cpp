#include "platform/Bitmap.h"

#include "platform/Errors.h"
#include "platform/FileAccess.h"
#include "platform/JpegDecoder.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

namespace vistorel {
namespace {

constexpr qint64 kMaxPictureFileBytes = qint64{256} * 1024 * 1024;

QString Action() { return QStringLiteral("загрузить картинку"); }

QByteArray ReadPicture(const QString& path) {
    if (!path.startsWith(QLatin1Char(':'))) return ReadRegularFile(path, kMaxPictureFileBytes, Action());
    // A picture compiled into the program.
    QFile resource(path);
    if (!resource.open(QIODevice::ReadOnly)) throw FileError(path, Action(), ReasonOf(ENOENT));
    return resource.readAll();
}

// The size a BMP file claims, read from its header before anything is decoded.
bool BmpSize(const QByteArray& data, qint64* width, qint64* height) {
    if (data.size() < 26 || !data.startsWith("BM")) return false;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const quint32 header = qFromLittleEndian<quint32>(bytes + 14);
    if (header == 12) {  // the old OS/2 header: 16-bit sizes
        *width = qFromLittleEndian<quint16>(bytes + 18);
        *height = qFromLittleEndian<quint16>(bytes + 20);
    } else {
        *width = qFromLittleEndian<qint32>(bytes + 18);
        *height = qFromLittleEndian<qint32>(bytes + 22);
        if (*height < 0) *height = -*height;  // rows stored top to bottom
    }
    return true;
}

}  // namespace

QString PictureSizeProblem(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0) return QStringLiteral("в файле указан неверный размер картинки");
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
        return QStringLiteral("картинка слишком велика (%1 × %2 точек; допустимо не более %3 точек по стороне "
                              "и %4 мегапикселей)")
            .arg(width)
            .arg(height)
            .arg(kMaxPictureSide)
            .arg(kMaxPicturePixels / (1024 * 1024));
    }
    return {};
}

void Bitmap::LoadFromFile(const QString& path) {
    const QByteArray data = ReadPicture(path);
    QImage image;
    if (LooksLikeJpeg(data)) {
        QString reason;
        image = DecodeJpeg(data, &reason);
        if (image.isNull()) throw FileError(path, Action(), reason);
    } else {
        qint64 width = 0;
        qint64 height = 0;
        if (!BmpSize(data, &width, &height)) {
            throw FileError(path, Action(), QStringLiteral("это не картинка BMP или JPEG"));
        }
        const QString problem = PictureSizeProblem(width, height);
        if (!problem.isEmpty()) throw FileError(path, Action(), problem);
        image = QImage::fromData(data, "BMP");
        if (image.isNull()) throw FileError(path, Action(), QStringLiteral("файл BMP повреждён или не поддерживается"));
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) throw FileError(path, Action(), ReasonOf(ENOMEM));
    image_ = image;
}

QString ResolveImageName(const QString& directory, const QString& name) {
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QDir::isAbsolutePath(path) || path.startsWith(QLatin1Char(':'))) return path;
    return QDir(directory).filePath(path);
}

QImage CoverImage(const QImage& image, QSize size) {
    const QImage scaled = image.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return scaled.copy((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2, size.width(),
                       size.height());
}

}  // namespace vistorel
