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
    //
    // For screens whose device pixel ratio is above 1 (that of the running
    // program's screens when not given) the same picture with twice as many
    // pixels each way is loaded too, when it stands beside the file as
    // "name@2x.ext"; one that is missing, broken or not exactly twice the
    // size is left out, and the picture is shown scaled up.
    void LoadFromFile(const QString& path);
    void LoadFromFile(const QString& path, double deviceRatio);

    // In logical pixels: the size of the picture in the file named.
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    bool Empty() const { return image_.isNull(); }
    // The picture in the file named, a point per logical pixel.
    const QImage& Image() const { return image_; }
    // Whether the sharper version was loaded.
    bool HasSharp() const { return !sharp_.isNull(); }
    // What to draw on a surface of this device pixel ratio: the sharper
    // version (its ratio 2) above 1, where there is one, else the picture.
    const QImage& ImageFor(double deviceRatio) const { return deviceRatio > 1 && HasSharp() ? sharp_ : image_; }

private:
    QImage image_;
    QImage sharp_;
};

// "images/begin.bmp" -> "images/begin@2x.bmp".
QString SharpPicturePath(const QString& path);

// Resolves an image name of the window definitions ("images\bgrnd.bmp") to a
// path on this system, relative to the given directory.
QString ResolveImageName(const QString& directory, const QString& name);

// The picture scaled to cover an area of `size`, keeping its proportions, and
// cut to it around its centre.
QImage CoverImage(const QImage& image, QSize size);

}  // namespace vistorel
