#pragma once
// A picture loaded from a BMP or JPEG file or resource, kept for drawing.

#include <QImage>
#include <QString>

namespace vistorel {

class Bitmap {
public:
    Bitmap() = default;
    // Loads a BMP or JPEG file (or a ":/" resource). A missing or unreadable
    // file raises FileError naming the path and the reason; the bitmap then
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

}  // namespace vistorel
