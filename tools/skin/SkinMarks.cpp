// The product mark on the welcome window and the about picture, the legend
// of the eight directions and the broken rings of the acuity test.

#include "SkinPaint.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace vistorel::skin {
namespace {

// Rows of dashes, like lines of text flying past on either side of the eye.
void PaintReadingLines(QPainter& p, QPointF eye, double eyeWidth) {
    constexpr double kLengths[] = {46, 70, 58, 34};
    for (int side : {-1, 1}) {
        for (int row = 0; row < 4; ++row) {
            const double y = eye.y() + (row - 1.5) * 9;
            const double inner = eye.x() + side * (eyeWidth / 2 + 14 - std::abs(row - 1.5) * 4);
            const double outer = inner + side * kLengths[side < 0 ? 3 - row : row];
            QLinearGradient g(inner, 0, outer, 0);
            g.setColorAt(0, QColor(kAccent));
            g.setColorAt(1, QColor(0x40, 0x28, 0x14));
            QPen pen(QBrush(g), 2.4, Qt::CustomDashLine, Qt::FlatCap);
            pen.setDashPattern({4.5, 1.8});  // in pen widths: words and spaces
            p.setPen(pen);
            p.drawLine(QPointF(inner, y), QPointF(outer, y));
        }
    }
}

// The product name in an orange that deepens downwards, with a soft glow.
QRect PaintName(QPainter& p, const QString& text, const QRectF& box, int pixelSize, double glow) {
    const Caption name = MakeCaption(text, SkinFont(pixelSize, true, false, pixelSize / 24.0), ScaleOf(p));
    const QRect at = PlaceCaption(name, box);
    DrawGlow(p, name.ink, at.topLeft(), QColor(kAccent), pixelSize / 4, glow);
    p.drawImage(at.topLeft(), Colourise(name.ink, [&name](double, double y) {
                    return Mix(QColor(kAccentLight), QColor(kAccentDeep), y / LogicalSize(name.ink).height());
                }));
    return at;
}

// The eye of the mark drawn with a glow, on its own layer first.
void PaintGlowingEye(QPainter& p, QPointF c, double w, double stroke) {
    const int side = static_cast<int>(w) + 20;
    QImage layer = ClearImage(side, side, ScaleOf(p));
    {
        QPainter lp(&layer);
        Prepare(lp);
        PaintEye(lp, QPointF(side / 2.0, side / 2.0), w, QColor(kAccent), stroke);
    }
    const QPoint at = (c - QPointF(side / 2.0, side / 2.0)).toPoint();
    DrawGlow(p, layer, at, QColor(kAccent), 8, 0.7);
    p.drawImage(at, layer);
}

QImage Ring(int direction, int scale) {
    constexpr int kSide = 32;
    constexpr double kOuter = 14, kStroke = 4, kGap = 6;
    QImage img = BlackImage(kSide, kSide, scale);
    img.fill(Qt::white);
    QPainter p(&img);
    Prepare(p);
    p.translate(kSide / 2.0, kSide / 2.0);
    QPainterPath ring;
    ring.addEllipse(QPointF(0, 0), kOuter, kOuter);
    ring.addEllipse(QPointF(0, 0), kOuter - kStroke, kOuter - kStroke);
    // The gap: parallel sides, as wide as asked, cut from the centre outwards;
    // directions run clockwise from the top in steps of 45 degrees.
    QPainterPath gap;
    gap.addRect(QRectF(-kGap / 2, -kOuter - 2, kGap, kOuter + 2));
    QTransform turn;
    turn.rotate(45.0 * (direction - 1));
    p.fillPath(ring.subtracted(turn.map(gap)), Qt::black);
    return img;
}

}  // namespace

void MakeLogo(Output& out) {
    constexpr int kW = 401, kH = 250;
    const int scale = out.Scale();
    QImage img = BlackImage(kW, kH, scale);
    QPainter p(&img);
    Prepare(p);
    const QPointF eye(kW / 2.0, 64);
    PaintReadingLines(p, eye, 112);
    PaintGlowingEye(p, eye, 112, 3.2);
    const QRect name = PaintName(p, QStringLiteral("Висторель"), QRectF(0, 112, kW, 70), 54, 0.6);
    const QRectF subBox(0, name.bottom() + 14, kW, 20);
    const Caption sub = MakeCaption(QStringLiteral("тренажёр скорочтения"), SkinFont(15, false, false, 2), scale);
    DrawCaption(p, sub, subBox, QColor(kPaper));
    const QRect subAt = PlaceCaption(sub, subBox);
    p.setPen(QPen(QColor(kAccent), 1));
    const double y = subAt.center().y() + 0.5;
    p.drawLine(QPointF(name.left(), y), QPointF(subAt.left() - 12, y));
    p.drawLine(QPointF(subAt.right() + 12, y), QPointF(name.right(), y));
    p.end();
    out.Image(QStringLiteral("vistorlogo.bmp"), img);
}

void MakeAboutPicture(Output& out) {
    constexpr int kW = 400, kH = 316, kVisible = 249;
    const int scale = out.Scale();
    QImage img = BlackImage(kW, kH, scale);
    QPainter p(&img);
    Prepare(p);
    QRadialGradient glow(QPointF(kW / 2.0, 90), 260);
    glow.setColorAt(0, QColor(0x26, 0x20, 0x1B));
    glow.setColorAt(0.6, QColor(0x0F, 0x0E, 0x0D));
    glow.setColorAt(1, QColor(0x05, 0x05, 0x05));
    p.fillRect(img.rect(), glow);

    // A thin orange frame around the visible part, corners only.
    p.setPen(QPen(QColor(kAccentDim), 1));
    const QRectF frame(8.5, 8.5, kW - 17, kVisible - 17);
    constexpr double kArm = 22;
    for (const QPointF corner : {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()}) {
        const double dx = corner.x() < kW / 2.0 ? kArm : -kArm;
        const double dy = corner.y() < kVisible / 2.0 ? kArm : -kArm;
        p.drawLine(corner, corner + QPointF(dx, 0));
        p.drawLine(corner, corner + QPointF(0, dy));
    }

    PaintGlowingEye(p, QPointF(kW / 2.0, 54), 76, 2.6);
    const QRect name = PaintName(p, QStringLiteral("Висторель"), QRectF(0, 86, kW, 56), 44, 0.55);
    const QRectF versionBox(0, name.bottom() + 8, kW, 22);
    DrawCaption(p, MakeCaption(QStringLiteral("Vistorel 4.0"), SkinFont(17, true, false, 1), scale), versionBox,
                QColor(kPaper));
    const double ruleY = versionBox.bottom() + 10.5;
    QLinearGradient rule(60, 0, kW - 60, 0);
    rule.setColorAt(0, QColor(0, 0, 0, 0));
    rule.setColorAt(0.5, QColor(kAccent));
    rule.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(QPen(QBrush(rule), 1));
    p.drawLine(QPointF(60, ruleY), QPointF(kW - 60, ruleY));
    const QString slogan = QStringLiteral("Читайте быстрее — понимайте больше");
    const QRectF sloganBox(0, ruleY + 8, kW, 22);
    const QFont sloganFont = FitFont({{slogan, sloganBox, QRect(24, 0, kW - 48, kVisible - 20)}}, 15, 11, false);
    DrawCaption(p, MakeCaption(slogan, sloganFont, scale), sloganBox, QColor(kMuted));
    p.end();
    out.Picture(QStringLiteral("about.bmp"), img);
}

void MakeLegend(Output& out) {
    constexpr int kW = 231, kH = 154;
    constexpr double kCircle = 40, kLine = 52, kDigits = 64;
    const int scale = out.Scale();
    QImage img = BlackImage(kW, kH, scale);
    QPainter p(&img);
    Prepare(p);
    const QPointF c(kW / 2.0, kH / 2.0);
    p.setPen(QPen(QColor(kAccent), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, kCircle, kCircle);
    for (int n = 1; n <= 8; ++n) {
        // Clockwise from the top: 1 up, 3 right, 5 down, 7 left.
        const double a = (n - 1) * std::numbers::pi / 4;
        const QPointF dir(std::sin(a), -std::cos(a));
        if (n <= 4) {
            p.setPen(QPen(QColor(kAccent), 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(c - dir * kLine, c + dir * kLine);
        }
        const QPointF at = c + dir * kDigits;
        const QString digit = QString::number(n);
        const QRectF box(at.x() - 10, at.y() - 10, 20, 20);
        const QFont fitted = FitFont({{digit, box, QRect(2, 2, kW - 4, kH - 4)}}, 14, 10);
        DrawCaption(p, MakeCaption(digit, fitted, scale), box, Qt::white);
    }
    p.end();
    out.Picture(QStringLiteral("legend.jpg"), img);
}

void MakeRings(Output& out) {
    for (int n = 1; n <= 8; ++n) {
        out.Image(QStringLiteral("Ring%1.bmp").arg(n), Ring(n, out.Scale()));
    }
}

}  // namespace vistorel::skin
