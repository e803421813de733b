#pragma once
// A picture loaded from a BMP or JPEG file or resource, kept for drawing.

#include <QImage>
#include <QString>

namespace vistorel {

// One limit for every picture, BMP or JPEG, checked from its header before
// it is decoded: a small file may claim a size that would take gigabytes.
// 24 million points (a 6000 x 4000 photograph) keep the cost of any picture
// (its file, the decoder's buffers and the image) under about 256 MB.
inline constexpr qint64 kMaxPictureSide = 16384;
inline constexpr qint64 kMaxPicturePixels = 24'000'000;

// Whether a picture of this size is taken.
bool PictureSizeFits(qint64 width, qint64 height);
// Why a picture of this size is refused, naming the limit; empty when it is not.
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
