#include "trainers/HopalongOrbit.h"

#include "platform/Canvas.h"
#include "platform/Random.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace vistorel {
namespace {

constexpr double kScaleX = 370.0 / 350.0;
constexpr double kScaleY = 1.0;
constexpr int kCentreX = 185;
constexpr int kCentreY = 150;

// Nearest integer, halves to even (the default rounding mode); false when
// the value is not finite or outside int.
bool ToPixel(double value, int& pixel) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= static_cast<double>(INT_MIN) && rounded <= static_cast<double>(INT_MAX))) return false;
    pixel = static_cast<int>(rounded);
    return true;
}

}  // namespace

void HopalongOrbit::Next() {
    const double s = x_ > 0 ? 1.0 : -1.0;
    const double x = y_ - s * std::sqrt(std::fabs(p_ * x_ - 100.0));
    y_ = p_ - x_;
    x_ = x;
}

bool BreakPointPosition(const BreakFigure& figure, double x, double y, int& px, int& py) {
    return ToPixel(2 * kScaleX * x + kCentreX + figure.OuterWidth / 4, px) &&
           ToPixel(2 * kScaleY * y + kCentreY + figure.OuterHeight / 5, py);
}

QRect PlotBreakFigure(QImage& image, const BreakFigure& figure, Random& random) {
    if (image.depth() != 32) return {};
    const QRgb colour = ToRgb(figure.ColorBase + 200);
    const QRgb black = ToRgb(clBlack);
    const bool allBlack = figure.ColorBase < 10000;
    // Points are logical pixels: on a scaled screen each covers its block of
    // device pixels.
    const double ratio = image.devicePixelRatio();
    const int width = LogicalRect(image).width();
    const int height = LogicalRect(image).height();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const auto plot = [&](int px, int py, QRgb rgb) {
        if (ratio == 1) {
            reinterpret_cast<QRgb*>(bits + py * stride)[px] = rgb;
            return;
        }
        const QRect block = DeviceRect(QRect(px, py, 1, 1), ratio).intersected(image.rect());
        for (int y = block.top(); y <= block.bottom(); ++y) {
            std::fill_n(reinterpret_cast<QRgb*>(bits + y * stride) + block.left(), block.width(), rgb);
        }
    };
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;

    // One draw of nine random decimal digits serves nine points: the same
    // uniform choice of 0..9 per point at a ninth of the generator's cost.
    int digits = 0, digitsLeft = 0;
    HopalongOrbit orbit(figure.P);
    for (int i = 0; i < kBreakFigurePoints; ++i) {
        if (digitsLeft == 0) {
            digits = random.Next(1000000000);
            digitsLeft = 9;
        }
        const bool dark = digits % 10 == 5 || allBlack;
        digits /= 10;
        --digitsLeft;
        int px = 0, py = 0;
        if (BreakPointPosition(figure, orbit.X(), orbit.Y(), px, py) && px >= 0 && py >= 0 && px < width &&
            py < height) {
            plot(px, py, dark ? black : colour);
            if (px < left) left = px;
            if (px > right) right = px;
            if (py < top) top = py;
            if (py > bottom) bottom = py;
        }
        orbit.Next();
    }
    if (left > right) return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace vistorel
