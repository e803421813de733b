// The program's icon for the desktop's menu and task bar: the orange eye of
// the product mark on a dark rounded tile, with lines of text below it in
// the larger sizes. Every size is drawn on its own, so the small ones keep
// their strokes on whole pixels instead of being a blurred copy of a big one.

#include "SkinPaint.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vistorel::skin {
namespace {

// Up to three lines of text under the eye, shorter and dimmer towards the
// bottom; in the larger sizes each line is a few words.
void PaintTextLines(QPainter& p, double s, double top, int rows) {
    const std::vector<std::vector<double>> words = {{0.15, 0.09, 0.20}, {0.21, 0.17}, {0.10, 0.16}};
    const double stroke = std::max(1.0, std::round(s * 0.045));
    const double step = std::round(s * 0.095);
    const double gap = s >= 48 ? s * 0.05 : 0;
    for (int row = 0; row < rows; ++row) {
        const std::vector<double>& line = words[static_cast<std::size_t>(row)];
        double width = gap * static_cast<double>(line.size() - 1);
        for (const double word : line) width += s * word;
        const double y = std::round(top + row * step) + (static_cast<int>(stroke) % 2 == 1 ? 0.5 : 0);
        QColor colour(kAccent);
        colour.setAlphaF(1.0 - 0.22 * row);
        p.setPen(QPen(colour, stroke, Qt::SolidLine, s >= 48 ? Qt::RoundCap : Qt::FlatCap));
        double x = (s - width) / 2;
        for (const double word : line) {
            const double inset = s >= 48 ? stroke / 2 : 0;  // round caps reach past the ends
            p.drawLine(QPointF(x + inset, y), QPointF(x + s * word - inset, y));
            x += s * word + gap;
        }
    }
}

QImage Icon(int size) {
    const double s = size;
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    Prepare(p);

    // The tile: a little margin as the icon themes have it, a dark face that
    // lightens towards the top and an orange rim.
    const double margin = size <= 24 ? 0.5 : std::round(s * 0.06) + 0.5;
    const QRectF tile(margin, margin, s - 2 * margin, s - 2 * margin);
    const double radius = s * 0.19;
    QPainterPath face;
    face.addRoundedRect(tile, radius, radius);
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0, QColor(0x3B, 0x36, 0x31));
    fill.setColorAt(0.55, QColor(0x17, 0x15, 0x13));
    fill.setColorAt(1, QColor(0x08, 0x08, 0x08));
    p.fillPath(face, fill);
    p.setPen(QPen(QColor(size <= 24 ? kAccentDeep : kAccentDim), std::max(1.0, s / 96)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(face);

    // The eye, with a glow in the larger sizes, and the lines it reads.
    const int rows = size >= 48 ? 3 : size >= 32 ? 2 : 0;
    const double eyeWidth = s * (rows > 0 ? 0.66 : 0.74);
    const QPointF eye(s / 2, rows > 0 ? s * 0.37 : s / 2);
    const double stroke = std::max(1.25, s * 0.05);
    QImage layer(size, size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter lp(&layer);
        Prepare(lp);
        PaintEye(lp, eye, eyeWidth, QColor(kAccent), stroke);
    }
    if (size >= 48) DrawGlow(p, layer, QPoint(0, 0), QColor(kAccent), std::max(2, size / 24), 0.6);
    p.drawImage(QPoint(0, 0), layer);
    if (rows > 0) PaintTextLines(p, s, eye.y() + eyeWidth * 0.46 / 2 + s * 0.11, rows);
    return img;
}

}  // namespace

void MakeIcons(Output& out) {
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        out.Icon(QStringLiteral("icon%1.png").arg(size), Icon(size));
    }
}

}  // namespace vistorel::skin
