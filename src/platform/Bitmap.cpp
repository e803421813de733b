#include "platform/Bitmap.h"

#include "platform/Errors.h"
#include "platform/FileAccess.h"
#include "platform/JpegDecoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QtEndian>

#include <algorithm>
#include <utility>

namespace vistorel {
namespace {

// A BMP of the largest size at 32 bits per point, with room for its headers.
constexpr qint64 kMaxPictureFileBytes = kMaxPicturePixels * 4 + 1024 * 1024;
// A JPEG file is held in memory while it is decoded, beside the decoder's
// buffers (up to 6 bytes a point for a progressive picture) and the image
// (4 bytes a point): a real photograph of the largest size takes a few MB.
constexpr qint64 kMaxJpegFileBytes = qint64{24} * 1024 * 1024;

QString Action() { return QStringLiteral("загрузить картинку"); }

QByteArray ReadPicture(const QString& path) {
    if (!path.startsWith(QLatin1Char(':'))) return ReadRegularFile(path, kMaxPictureFileBytes, Action());
    // A picture compiled into the program.
    QFile resource(path);
    if (!resource.open(QIODevice::ReadOnly)) throw FileError(path, Action(), ReasonOf(ENOENT));
    return resource.readAll();
}

// What the header of a BMP file says, read before anything is decoded.
struct BmpHeader {
    qint64 Width = 0;
    qint64 Height = 0;
    qint64 PixelBytesEnd = 0;  // where the file must go on to, at least, to hold every point
};

bool ReadBmpHeader(const QByteArray& data, BmpHeader* header) {
    if (data.size() < 26 || !data.startsWith("BM")) return false;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const auto at16 = [&](qsizetype offset) -> qint64 {
        return offset + 2 <= data.size() ? qFromLittleEndian<quint16>(bytes + offset) : 0;
    };
    const auto at32 = [&](qsizetype offset) -> qint64 {
        return offset + 4 <= data.size() ? qFromLittleEndian<quint32>(bytes + offset) : 0;
    };
    const qint64 pixelsAt = at32(10);
    qint64 bits = 0;
    qint64 compression = 0;
    qint64 imageBytes = 0;
    if (at32(14) == 12) {  // the old OS/2 header: 16-bit sizes
        header->Width = at16(18);
        header->Height = at16(20);
        bits = at16(24);
    } else {
        header->Width = qFromLittleEndian<qint32>(bytes + 18);
        header->Height = qFromLittleEndian<qint32>(bytes + 22);
        if (header->Height < 0) header->Height = -header->Height;  // rows stored top to bottom
        bits = at16(28);
        compression = at32(30);
        imageBytes = at32(34);
    }
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;  // plain or bit fields
    if (compression == 1 || compression == 2) {  // run-length coded: as long as the header says
        header->PixelBytesEnd = pixelsAt + std::max<qint64>(imageBytes, 1);
    } else if (uncompressed && PictureSizeFits(header->Width, header->Height)) {  // rows of whole 32-bit words
        header->PixelBytesEnd = pixelsAt + (header->Width * bits + 31) / 32 * 4 * header->Height;
    }
    return true;
}

// The picture in the file or resource, decoded; the file's bytes are gone
// once it is.
QImage DecodePicture(const QString& path) {
    const QByteArray data = ReadPicture(path);
    if (LooksLikeJpeg(data)) {
        if (data.size() > kMaxJpegFileBytes) {
            throw FileError(path, Action(), QStringLiteral("файл JPEG слишком велик (больше %1 МБ)")
                                                .arg(kMaxJpegFileBytes / (1024 * 1024)));
        }
        QString reason;
        QImage image = DecodeJpeg(data, &reason);
        if (image.isNull()) throw FileError(path, Action(), reason);
        return image;
    }
    BmpHeader header;
    if (!ReadBmpHeader(data, &header)) throw FileError(path, Action(), QStringLiteral("это не картинка BMP или JPEG"));
    const QString problem = PictureSizeProblem(header.Width, header.Height);
    if (!problem.isEmpty()) throw FileError(path, Action(), problem);
    // Qt would fill the points missing from a file cut short with black.
    if (data.size() < header.PixelBytesEnd) {
        throw FileError(path, Action(), QStringLiteral("файл BMP обрезан: в нём меньше точек, чем указано в его заголовке"));
    }
    QImage image = QImage::fromData(data, "BMP");
    if (image.isNull()) throw FileError(path, Action(), QStringLiteral("файл BMP повреждён или не поддерживается"));
    return image;
}

}  // namespace

bool PictureSizeFits(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

QString PictureSizeProblem(qint64 width, qint64 height) {
    if (width <= 0 || height <= 0) return QStringLiteral("в файле указан неверный размер картинки");
    if (PictureSizeFits(width, height)) return {};
    return QStringLiteral("картинка слишком велика (%1 × %2 точек): программа берёт картинки не больше "
                          "%3 млн точек и не больше %4 точек по стороне")
        .arg(width)
        .arg(height)
        .arg(kMaxPicturePixels / 1'000'000)
        .arg(kMaxPictureSide);
}

void Bitmap::LoadFromFile(const QString& path) {
    const auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    LoadFromFile(path, gui != nullptr ? gui->devicePixelRatio() : 1.0);
}

void Bitmap::LoadFromFile(const QString& path, double deviceRatio) {
    // Converted in place where the format allows, not copied.
    QImage image = DecodePicture(path).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) throw FileError(path, Action(), ReasonOf(ENOMEM));
    QImage sharp;
    const QString sharpPath = SharpPicturePath(path);
    if (deviceRatio > 1 && QFileInfo::exists(sharpPath)) {
        try {
            sharp = DecodePicture(sharpPath).convertToFormat(QImage::Format_RGB32);
        } catch (const Error&) {
            sharp = QImage();  // the picture itself serves, scaled up
        }
        if (sharp.size() != image.size() * 2) sharp = QImage();
        sharp.setDevicePixelRatio(2);
    }
    image_ = std::move(image);
    sharp_ = std::move(sharp);
}

QString SharpPicturePath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash + 1) return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
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
