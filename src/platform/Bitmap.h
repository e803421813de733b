#pragma once
// A picture loaded from a BMP or JPEG file or resource, kept for drawing.

#include <QImage>
#include <QString>

namespace vistorel {

// Pictures larger than this are refused before they are decoded: a small
// file may claim a size that would take gigabytes.
inline constexpr qint64 kMaxPictureSide = 16384;
inline constexpr qint64 kMaxPicturePixels = qint64{64} * 1024 * 1024;

// Why a picture of this size is refused; empty when it is not.
QString PictureSizeProblem(qint64 width, qint64 height);

class Bitmap {
public:
    Bitmap() = default;
    // Loads a BMP or JPEG file (or a ":/" resource). A missing or unreadable
    // file, one that is not a regular file, and a picture above the size
    // limits raise FileError naming the path and the reason; the bitmap then
    // keeps what it held.
    void LoadFromFile(const QString& path);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    bool Empty() const { return image_.isNull(); }
    const QImage& Image() const { return image_; }

private:
    QImage image_;
};

// Resolves an image name of the window definitions ("images\bgrnd.bmp") to a
// path on this system, relative to the given directory.
QString ResolveImageName(const QString& directory, const QString& name);

// The picture scaled to cover an area of `size`, keeping its proportions, and
// cut to it around its centre.
QImage CoverImage(const QImage& image, QSize size);

}  // namespace vistorel
