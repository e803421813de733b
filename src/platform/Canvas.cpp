#include "platform/Canvas.h"

#include "platform/Bitmap.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vistorel {

namespace {

int DeviceEdge(int logical, double ratio) { return static_cast<int>(std::floor(logical * ratio)); }

// Fills the device pixels of a logical rectangle that lies inside the image.
void FillDevice(QImage& image, const QRect& logical, QRgb rgb) {
    const QRect device = DeviceRect(logical, image.devicePixelRatio()).intersected(image.rect());
    for (int y = device.top(); y <= device.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + device.left(), line + device.right() + 1, rgb);
    }
}

}  // namespace

QRect DeviceRect(const QRect& logical, double ratio) {
    if (ratio == 1) return logical;
    const int left = DeviceEdge(logical.left(), ratio);
    const int top = DeviceEdge(logical.top(), ratio);
    return {left, top, DeviceEdge(logical.left() + logical.width(), ratio) - left,
            DeviceEdge(logical.top() + logical.height(), ratio) - top};
}

QRect LogicalRect(const QImage& image) {
    if (image.devicePixelRatio() == 1) return image.rect();
    return {QPoint(0, 0), image.deviceIndependentSize().toSize()};
}

ImageSurface::ImageSurface(int width, int height, TColor fill, double ratio)
    : image_(static_cast<int>(std::max(width, 0) * ratio), static_cast<int>(std::max(height, 0) * ratio),
             QImage::Format_RGB32) {
    image_.setDevicePixelRatio(ratio);
    image_.fill(ToQColor(fill));
}

void Canvas::Fill(const QRect& area, TColor colour) {
    QImage& image = target_.SurfaceImage();
    const QRect clipped = area.intersected(LogicalRect(image));
    if (clipped.isEmpty()) return;
    FillDevice(image, clipped, ToRgb(colour));
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
    const QRect bounds = LogicalRect(image);
    const bool scaled = image.devicePixelRatio() != 1;
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
        if (cx >= 0 && cy >= 0 && cx < bounds.width() && cy < bounds.height()) {
            if (scaled) {
                FillDevice(image, QRect(cx, cy, 1, 1), rgb);
            } else {
                reinterpret_cast<QRgb*>(image.scanLine(cy))[cx] = rgb;
            }
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
    const QRect clipped = touched.intersected(bounds);
    if (!clipped.isEmpty()) target_.SurfaceChanged(clipped);
}

void Canvas::TextOut(int x, int y, const QString& text) {
    const QFont font = Font.ToQFont();
    const QFontMetrics metrics(font);
    const QRect area(x, y, metrics.horizontalAdvance(text), metrics.height());
    if (Brush.Style == BrushStyle::Solid) Fill(area, Brush.Color);
    QImage& image = target_.SurfaceImage();
    // Nothing to paint outside the surface (or on none, in a window shrunk to nothing).
    const QRect clipped = area.intersected(LogicalRect(image));
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
    const QRect clipped = QRect(x, y, bitmap.Width(), bitmap.Height()).intersected(LogicalRect(image));
    if (clipped.isEmpty()) return;
    {
        const QImage& picture = bitmap.ImageFor(image.devicePixelRatio());
        QPainter painter(&image);
        // A picture drawn at another scale than its own is smoothed, not cut
        // into uneven blocks; one at its own scale is copied point for point.
        if (picture.devicePixelRatio() != image.devicePixelRatio()) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
        }
        painter.drawImage(QRect(x, y, bitmap.Width(), bitmap.Height()), picture);
    }
    target_.SurfaceChanged(clipped);
}

TColor Canvas::Pixel(int x, int y) const {
    const QImage& image = target_.SurfaceImage();
    const QRect bounds = LogicalRect(image);
    if (x < 0 || y < 0 || x >= bounds.width() || y >= bounds.height()) return -1;
    const QPoint device = DeviceRect(QRect(x, y, 1, 1), image.devicePixelRatio()).topLeft();
    return FromRgb(image.pixel(device));
}

void Canvas::SetPixel(int x, int y, TColor colour) {
    QImage& image = target_.SurfaceImage();
    const QRect bounds = LogicalRect(image);
    if (x < 0 || y < 0 || x >= bounds.width() || y >= bounds.height()) return;
    if (image.devicePixelRatio() == 1) {
        reinterpret_cast<QRgb*>(image.scanLine(y))[x] = ToRgb(colour);
    } else {
        FillDevice(image, QRect(x, y, 1, 1), ToRgb(colour));
    }
    target_.SurfaceChanged(QRect(x, y, 1, 1));
}

}  // namespace vistorel
