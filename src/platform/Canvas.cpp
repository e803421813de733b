#include "platform/Canvas.h"

#include "platform/Bitmap.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace vistorel {

ImageSurface::ImageSurface(int width, int height, TColor fill)
    : image_(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32) {
    image_.fill(ToQColor(fill));
}

void Canvas::Fill(const QRect& area, TColor colour) {
    QImage& image = target_.SurfaceImage();
    const QRect clipped = area.intersected(image.rect());
    if (clipped.isEmpty()) return;
    const QRgb rgb = ToRgb(colour);
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + clipped.left(), line + clipped.right() + 1, rgb);
    }
    target_.SurfaceChanged(clipped);
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    if (Brush.Style == BrushStyle::Solid) Fill(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)), Brush.Color);
    Fill(QRect(QPoint(x1, y1), QPoint(x2 - 1, y1)), Pen.Color);
    Fill(QRect(QPoint(x1, y2 - 1), QPoint(x2 - 1, y2 - 1)), Pen.Color);
    Fill(QRect(QPoint(x1, y1), QPoint(x1, y2 - 1)), Pen.Color);
    Fill(QRect(QPoint(x2 - 1, y1), QPoint(x2 - 1, y2 - 1)), Pen.Color);
}

void Canvas::FillRect(int x1, int y1, int x2, int y2) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    Fill(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)), Brush.Color);
}

void Canvas::LineTo(int x, int y) {
    QImage& image = target_.SurfaceImage();
    const QRgb rgb = ToRgb(Pen.Color);
    int cx = penPos_.x();
    int cy = penPos_.y();
    const int dx = std::abs(x - cx);
    const int dy = -std::abs(y - cy);
    const int sx = cx < x ? 1 : -1;
    const int sy = cy < y ? 1 : -1;
    int error = dx + dy;
    QRect touched(penPos_, penPos_);
    // Bresenham, stopping before the end point.
    while (cx != x || cy != y) {
        if (cx >= 0 && cy >= 0 && cx < image.width() && cy < image.height()) {
            reinterpret_cast<QRgb*>(image.scanLine(cy))[cx] = rgb;
        }
        touched |= QRect(cx, cy, 1, 1);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            cx += sx;
        }
        if (twice <= dx) {
            error += dx;
            cy += sy;
        }
    }
    penPos_ = QPoint(x, y);
    const QRect clipped = touched.intersected(image.rect());
    if (!clipped.isEmpty()) target_.SurfaceChanged(clipped);
}

void Canvas::TextOut(int x, int y, const QString& text) {
    const QFont font = Font.ToQFont();
    const QFontMetrics metrics(font);
    const QRect area(x, y, metrics.horizontalAdvance(text), metrics.height());
    if (Brush.Style == BrushStyle::Solid) Fill(area, Brush.Color);
    QImage& image = target_.SurfaceImage();
    // Nothing to paint outside the surface (or on none, in a window shrunk to nothing).
    const QRect clipped = area.intersected(image.rect());
    if (clipped.isEmpty()) return;
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(ToQColor(Font.Color));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
    target_.SurfaceChanged(clipped);
}

void Canvas::Draw(int x, int y, const Bitmap& bitmap) {
    if (bitmap.Empty()) return;
    QImage& image = target_.SurfaceImage();
    const QRect clipped = QRect(x, y, bitmap.Width(), bitmap.Height()).intersected(image.rect());
    if (clipped.isEmpty()) return;
    {
        QPainter painter(&image);
        painter.drawImage(x, y, bitmap.Image());
    }
    target_.SurfaceChanged(clipped);
}

TColor Canvas::Pixel(int x, int y) const {
    const QImage& image = target_.SurfaceImage();
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return -1;
    return FromRgb(image.pixel(x, y));
}

void Canvas::SetPixel(int x, int y, TColor colour) {
    QImage& image = target_.SurfaceImage();
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
    reinterpret_cast<QRgb*>(image.scanLine(y))[x] = ToRgb(colour);
    target_.SurfaceChanged(QRect(x, y, 1, 1));
}

}  // namespace vistorel
