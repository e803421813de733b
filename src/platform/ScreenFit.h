#pragma once
// Where windows go on a real screen: onto it when they would stand off it,
// in whole device pixels at any scale, and near the part of another window
// they belong to.

#include <QRect>

namespace vistorel {

// The frame rectangle moved onto the area, as little as it takes; a resizable
// one larger than the area is first made as small as the area.
QRect FitOnArea(const QRect& frame, const QRect& area, bool resizable);

// The screen's working area, in logical pixels, cut down where the scale
// ratio rounds (1.5: 1024 device rows are 682.67 logical ones, which Qt calls
// 683 and shows as 1025): a window of the result's size covers no more device
// pixels than the screen has.
QRect WholeDevicePixels(const QRect& logical, double ratio);

// The window as designed, or, when that leaves it far from the anchor (the
// part of another window it belongs with), centred above the anchor with a
// small gap. Far means: not beside the anchor horizontally, more than its own
// height above it, or over it by more than a few pixels.
QRect NearAnchor(const QRect& window, const QRect& anchor);

// The gap the window keeps above the anchor it is moved to.
inline constexpr int kAnchorGap = 8;

}  // namespace vistorel
