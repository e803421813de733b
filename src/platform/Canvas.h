#pragma once
// Drawing on a window's persistent surface with the rules of the platform the
// program was designed for: a 1-pixel pen, a solid or clear brush, rectangles
// that exclude their right and bottom edges, lines that exclude their end
// point, and text drawn on the brush colour unless the brush is clear.
//
// Coordinates are logical pixels, as mouse events report them. On a scaled
// screen the surface has more device pixels (its device pixel ratio): a
// logical pixel is then the block of device pixels it covers, text is drawn
// at the device's resolution and pictures in their sharper versions.

#include "platform/Colour.h"
#include "platform/Font.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

namespace vistorel {

class Bitmap;

// What a canvas draws on: an image (whose device pixel ratio says how many
// device pixels a logical one has) and a way to have changed parts shown.
class SurfaceTarget {
public:
    virtual ~SurfaceTarget() = default;
    virtual QImage& SurfaceImage() = 0;
    // `area` in logical pixels.
    virtual void SurfaceChanged(const QRect& area) = 0;
};

// The device pixels a logical rectangle covers at this ratio: from the first
// that its left and top edges fall in to the last before its right and
// bottom edges, so that neighbouring rectangles neither overlap nor part.
QRect DeviceRect(const QRect& logical, double ratio);
// The logical rectangle of an image, whatever its ratio.
QRect LogicalRect(const QImage& image);

// A surface that is only an image (pictures drawn off screen, tests).
class ImageSurface : public SurfaceTarget {
public:
    // width x height logical pixels at the device pixel ratio.
    ImageSurface(int width, int height, TColor fill = clBlack, double ratio = 1);
    QImage& SurfaceImage() override { return image_; }
    void SurfaceChanged(const QRect&) override {}

private:
    QImage image_;
};

enum class BrushStyle { Solid, Clear };

struct Pen {
    TColor Color = clBlack;
};

struct Brush {
    TColor Color = clWhite;
    BrushStyle Style = BrushStyle::Solid;
};

class Canvas {
public:
    explicit Canvas(SurfaceTarget& target) : target_(target) {}

    vistorel::Pen Pen;
    vistorel::Brush Brush;
    vistorel::Font Font;

    // Outline with the pen and inside with the brush (unless clear); covers
    // x1..x2-1 and y1..y2-1.
    void Rectangle(int x1, int y1, int x2, int y2);
    // Fills x1..x2-1, y1..y2-1 with the brush colour, no outline.
    void FillRect(int x1, int y1, int x2, int y2);
    void MoveTo(int x, int y) { penPos_ = QPoint(x, y); }
    // A line from the pen position to (x, y), the end point excluded.
    void LineTo(int x, int y);
    QPoint PenPos() const { return penPos_; }
    // Text with its top-left corner at (x, y).
    void TextOut(int x, int y, const QString& text);
    // The picture's top-left corner at (x, y), in its version for the
    // surface's ratio where it has one.
    void Draw(int x, int y, const Bitmap& bitmap);

    // The colour of the logical pixel (of the first device pixel it covers).
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor colour);

    // In logical pixels.
    int Width() const { return LogicalRect(target_.SurfaceImage()).width(); }
    int Height() const { return LogicalRect(target_.SurfaceImage()).height(); }

private:
    void Fill(const QRect& area, TColor colour);

    SurfaceTarget& target_;
    QPoint penPos_;
};

}  // namespace vistorel
