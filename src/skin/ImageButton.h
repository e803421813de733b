#pragma once
// Image buttons: a picture drawn at a fixed place, a second picture drawn in
// its place while the pointer is over it, and an action on mouse-down inside
// its rectangle. Rectangles have exclusive bounds on all four sides.

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

#include <QPoint>
#include <QString>

namespace vistorel {

class PictureLoader;

struct HitRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool Contains(int x, int y) const { return x > Left && x < Right && y > Top && y < Bottom; }
    HitRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
};

// The normal and hover pictures of one button.
struct ButtonImages {
    Bitmap Normal;
    Bitmap Hover;
};

// Loads a button's two pictures by their names in the images folder; a
// picture that cannot be loaded is reported and left empty.
void LoadButtonImages(const PictureLoader& pictures, ButtonImages& images, const char* normal, const char* hover);

// The hover rule: on entering, the hover picture is drawn once and the flag
// set; on leaving, the normal picture is drawn once and the flag cleared.
// Returns true when something was drawn.
bool TrackHover(Canvas& canvas, bool inside, bool& hovered, QPoint at, const ButtonImages& images);

// One button of a window's table: where its pictures go, where the pointer
// lights it and where a click runs it. The pictures and the hover flag may
// belong to another window (several windows share them), so both are
// referenced, not owned.
struct ImageButton {
    const ButtonImages* Images = nullptr;
    QPoint At;
    HitRect Hover;
    HitRect Click;  // usually the same as Hover

    void DrawNormal(Canvas& canvas) const;
    // The hover rule for a pointer at (x, y).
    bool Track(Canvas& canvas, int x, int y, bool& hovered) const;
    bool Clicked(int x, int y) const { return Click.Contains(x, y); }
};

}  // namespace vistorel
