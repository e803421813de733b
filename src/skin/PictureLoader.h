#pragma once
// Where the skinned windows get their pictures: by their names in the window
// definitions ("images\bgrnd.bmp"), with a picture that cannot be loaded
// reported and left empty so that the window goes on with its others.

#include <QString>

namespace vistorel {

class Bitmap;

class PictureLoader {
public:
    virtual void LoadImageOrReport(Bitmap& bitmap, const QString& name) const = 0;

protected:
    PictureLoader() = default;
    PictureLoader(const PictureLoader&) = default;
    PictureLoader& operator=(const PictureLoader&) = default;
    ~PictureLoader() = default;
};

}  // namespace vistorel
