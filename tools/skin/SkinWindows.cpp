// Window furniture: background tiles, the close cross, the main window's
// control panel and the animated titles of the borderless windows.

#include "SkinPaint.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vistorel::skin {
namespace {

constexpr int kTile = 64;

// A tile of grey levels: base plus a fixed grain, plus whatever pattern adds.
// Patterns are periodic in the tile, and grain is per pixel, so tiles join
// without seams. At a larger scale the pattern keeps its logical pixels and
// the grain is as fine as the device's.
QImage Tile(int base, quint32 seed, int (*pattern)(int x, int y), int scale) {
    QImage img(kTile * scale, kTile * scale, QImage::Format_RGB32);
    img.setDevicePixelRatio(scale);
    QRandomGenerator grain(seed);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const int v = std::clamp(base + pattern(x / scale, y / scale) + grain.bounded(-2, 3), 0, 255);
            img.setPixel(x, y, qRgb(v, v, v));
        }
    }
    return img;
}

// A fine grid every 16 pixels, a touch stronger every 64, dots where lines cross.
int Grid(int x, int y) {
    const bool vx = x % 16 == 0, vy = y % 16 == 0;
    int v = (vx ? 5 : 0) + (vy ? 5 : 0);
    if (x == 0 || y == 0) {
        v += 3;
    }
    return vx && vy ? v + 6 : v;
}

// Diagonal hatching, every 8 pixels.
int Hatch(int x, int y) {
    return (x + y) % 8 == 0 ? 6 : 0;
}

QImage CloseCross(int scale) {
    QImage img = BlackImage(20, 20, scale);
    QPainter p(&img);
    Prepare(p);
    p.setPen(QPen(QColor(0x55, 0x38, 0x20), 1));
    p.setBrush(QColor(0x16, 0x16, 0x16));
    p.drawRoundedRect(QRectF(0.5, 0.5, 19, 19), 4, 4);
    p.setPen(QPen(QColor(kAccent), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(14, 14));
    p.drawLine(QPointF(14, 6), QPointF(6, 14));
    return img;
}

// A line that fades out towards both ends.
void FadingRule(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
    QLinearGradient g(from, to);
    QColor clear = colour;
    clear.setAlpha(0);
    g.setColorAt(0, clear);
    g.setColorAt(0.5, colour);
    g.setColorAt(1, clear);
    p.setPen(QPen(QBrush(g), 1));
    p.drawLine(from, to);
}

}  // namespace

void MakeBackgrounds(Output& out) {
    out.Image(QStringLiteral("bgrnd.bmp"), Tile(7, 0x5eed1u, Grid, out.Scale()));
    out.Image(QStringLiteral("bgr.bmp"), Tile(10, 0x5eed2u, Hatch, out.Scale()));
    out.Image(QStringLiteral("winclose.bmp"), CloseCross(out.Scale()));
}

void MakeControlPanel(Output& out) {
    // 100 rows: the window places the panel 150 rows above its outer bottom
    // edge, so under a caption bar and a menu bar about 100 rows are seen.
    constexpr int kW = 560, kH = 100;
    // The black band for buttons and controls. Its top row is 10 (the
    // exercise panel's separator starts there), so the rim sits at row 9.
    constexpr int kBandTop = 11, kBandBottom = 84;
    const int scale = out.Scale();
    QImage img = BlackImage(kW, kH, scale);
    QPainter p(&img);
    Prepare(p);

    // The panel: a thin cap above the band and the name plate below it, both
    // dark grey with an orange rim, as if one framed panel had a window cut through.
    QPainterPath panel;
    panel.addRoundedRect(QRectF(0.5, 0.5, kW - 1, kH - 1), 7, 7);
    QPainterPath band;
    // Edges on pixel centres one row clear of the band, so the rim's
    // antialiasing stays out of it.
    band.addRect(QRectF(-1, kBandTop - 1.5, kW + 2, kBandBottom - kBandTop + 3));
    const QPainterPath pieces = panel.subtracted(band);
    QLinearGradient fill(0, 0, 0, kH);
    fill.setColorAt(0, QColor(0x2A, 0x2A, 0x2A));
    fill.setColorAt(0.6, QColor(0x1A, 0x1A, 0x1A));
    fill.setColorAt(1, QColor(0x0E, 0x0E, 0x0E));
    p.fillPath(pieces, fill);
    p.setPen(QPen(QColor(kAccent), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(pieces);
    // The rim's sides run on past the band, so the panel reads as one frame.
    p.drawLine(QPointF(0.5, kBandTop - 2), QPointF(0.5, kBandBottom + 2));
    p.drawLine(QPointF(kW - 0.5, kBandTop - 2), QPointF(kW - 0.5, kBandBottom + 2));

    // Name plate: the product name and the subtitle on one line between fading rules.
    const QRectF plate(0, kBandBottom + 2, kW, kH - kBandBottom - 3);
    const Caption name = MakeCaption(QStringLiteral("Висторель"), SkinFont(12, true, false, 1), scale);
    const Caption sub = MakeCaption(QStringLiteral("тренажёр скорочтения"), SkinFont(10, false, false, 1), scale);
    constexpr int kGap = 10;
    const int nameWidth = LogicalSize(name.ink).width();
    const int subWidth = LogicalSize(sub.ink).width();
    const int total = nameWidth + kGap + subWidth;
    const QRectF nameBox(kW / 2.0 - total / 2.0, plate.top(), nameWidth, plate.height());
    const QRectF subBox(nameBox.right() + kGap, plate.top() + 1, subWidth, plate.height());
    const QRect nameAt = PlaceCaption(name, nameBox);
    DrawGlow(p, name.ink, nameAt.topLeft(), QColor(kAccent), 3, 0.4);
    p.drawImage(nameAt.topLeft(), Colourise(name.ink, [&name](double, double y) {
                    return Mix(QColor(kAccentLight), QColor(kAccentDeep), y / LogicalSize(name.ink).height());
                }));
    DrawCaption(p, sub, subBox, QColor(kMuted));
    const double ruleY = plate.center().y() + 0.5;
    FadingRule(p, QPointF(nameBox.left() - 150, ruleY), QPointF(nameBox.left() - 14, ruleY), QColor(kAccent));
    FadingRule(p, QPointF(subBox.right() + 14, ruleY), QPointF(subBox.right() + 150, ruleY), QColor(kAccent));
    p.end();
    out.Image(QStringLiteral("control.bmp"), img);
}

void MakeTitles(Output& out) {
    struct Title {
        const char* stem;
        const char* text;
    };
    constexpr Title kTitles[] = {
        {"editor", "База текстов"},
        {"new", "Добавить текст"},
        {"options_title", "Настройки"},
    };
    constexpr int kFrames = 11, kW = 300, kH = 30, kLeft = 10;
    constexpr double kBand = 20;  // half width of the sweeping light

    const int scale = out.Scale();
    for (const Title& title : kTitles) {
        const QString text = QString::fromUtf8(title.text);
        const QRectF box(0, 0, kW, kH - 4);
        const QFont font = FitFont({{text, box, QRect(2, 2, kW - 4, kH - 4)}}, 19, 12, true, 1);
        const Caption caption = MakeCaption(text, font, scale);
        QRect at = PlaceCaption(caption, box);
        at.moveLeft(kLeft);
        const QImage& mask = caption.ink;
        const int width = LogicalSize(mask).width();

        for (int frame = 0; frame < kFrames; ++frame) {
            // The light travels from just before the first letter to just past
            // the last; letters it has passed stay lit.
            const double t = frame / double(kFrames - 1);
            const double sweep = -kBand + t * (width + 2 * kBand);
            const auto litAt = [sweep](double x) { return x < sweep ? 1.0 : 0.0; };
            const auto shineAt = [sweep](double x) {
                const double d = (x - sweep) / kBand;
                return std::abs(d) < 1 ? 0.5 * (1 + std::cos(d * std::numbers::pi)) : 0.0;
            };
            QImage img = BlackImage(kW, kH, scale);
            QPainter p(&img);
            Prepare(p);
            const QImage lit = Colourise(mask, [&litAt](double x, double) {
                return litAt(x) > 0 ? QColor(kAccent) : QColor(Qt::transparent);
            });
            DrawGlow(p, lit, at.topLeft(), QColor(kAccent), 5, 0.6);
            p.drawImage(at.topLeft(), Colourise(mask, [&](double x, double) {
                            const QColor base = Mix(QColor(kAccentDim), QColor(kAccent), litAt(x));
                            return Mix(base, QColor(0xFF, 0xF4, 0xE8), shineAt(x));
                        }));
            // A rule under the title fills with light as the sweep goes by.
            const double ruleY = kH - 2.5;
            const double ruleEnd = at.left() + std::clamp(sweep, 0.0, double(width));
            FadingRule(p, QPointF(at.left() - 40, ruleY), QPointF(at.right() + 80, ruleY), QColor(0x4A, 0x30, 0x1A));
            if (ruleEnd > at.left()) {
                QLinearGradient g(at.left(), 0, ruleEnd, 0);
                g.setColorAt(0, QColor(kAccentDeep));
                g.setColorAt(1, frame == kFrames - 1 ? QColor(kAccentDeep) : QColor(0xFF, 0xF4, 0xE8));
                p.setPen(QPen(QBrush(g), 1));
                p.drawLine(QPointF(at.left(), ruleY), QPointF(ruleEnd, ruleY));
            }
            p.end();
            out.Image(QStringLiteral("%1%2.bmp").arg(QString::fromLatin1(title.stem)).arg(frame, 4, 10, QLatin1Char('0')),
                      img);
        }
    }
}

}  // namespace vistorel::skin
