#include "app/ImageButton.h"

namespace vistorel {

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

}  // namespace vistorel
