#include "platform/ScreenFit.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>

namespace vistorel {
namespace {

// One side of the rectangle: its start and length moved into [start, start + room).
void FitSide(int& start, int& length, int areaStart, int room, bool resizable) {
    if (resizable) length = std::min(length, room);
    start = std::max(areaStart, std::min(start, areaStart + room - length));
}

// The most logical pixels whose device pixels (as Qt rounds them) fit in
// those that `logical` may stand for: at least (logical - 0.5) * ratio.
int WholeLength(int logical, double ratio) {
    const int deviceAtLeast = static_cast<int>(std::ceil((logical - 0.5) * ratio));
    int length = logical;
    while (length > 0 && qRound(length * ratio) > deviceAtLeast) --length;
    return length;
}

}  // namespace

QRect FitOnArea(const QRect& frame, const QRect& area, bool resizable) {
    int left = frame.left();
    int top = frame.top();
    int width = frame.width();
    int height = frame.height();
    FitSide(left, width, area.left(), area.width(), resizable);
    FitSide(top, height, area.top(), area.height(), resizable);
    return {left, top, width, height};
}

QRect WholeDevicePixels(const QRect& logical, double ratio) {
    if (ratio <= 0 || ratio == std::floor(ratio)) return logical;
    return {logical.left(), logical.top(), WholeLength(logical.width(), ratio), WholeLength(logical.height(), ratio)};
}

QRect NearAnchor(const QRect& window, const QRect& anchor) {
    constexpr int kOverlap = 8;
    const int gap = anchor.top() - (window.top() + window.height());
    const bool beside = window.left() < anchor.left() + anchor.width() && window.left() + window.width() > anchor.left();
    if (anchor.isEmpty() || (beside && gap >= -kOverlap && gap <= window.height())) return window;
    QRect placed = window;
    placed.moveTopLeft({anchor.left() + (anchor.width() - window.width()) / 2, anchor.top() - kAnchorGap - window.height()});
    return placed;
}

}  // namespace vistorel
