#include "skin/ImageButton.h"

#include "skin/PictureLoader.h"

namespace vistorel {

void LoadButtonImages(const PictureLoader& pictures, ButtonImages& images, const char* normal, const char* hover) {
    pictures.LoadImageOrReport(images.Normal, QString::fromLatin1(normal));
    pictures.LoadImageOrReport(images.Hover, QString::fromLatin1(hover));
}

bool TrackHover(Canvas& canvas, bool inside, bool& hovered, QPoint at, const ButtonImages& images) {
    if (inside) {
        if (hovered) return false;
        canvas.Draw(at.x(), at.y(), images.Hover);
        hovered = true;
        return true;
    }
    if (!hovered) return false;
    canvas.Draw(at.x(), at.y(), images.Normal);
    hovered = false;
    return true;
}

void ImageButton::DrawNormal(Canvas& canvas) const { canvas.Draw(At.x(), At.y(), Images->Normal); }

bool ImageButton::Track(Canvas& canvas, int x, int y, bool& hovered) const {
    return TrackHover(canvas, Hover.Contains(x, y), hovered, At, *Images);
}

}  // namespace vistorel
