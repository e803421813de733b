#pragma once
// The point figures of the break screen: Martin's hopalong map with one
// parameter P used twice and the constant 100,
//   x' = y - s * sqrt(|P * x - 100|),  y' = P - x,  s = +1 if x > 0, else -1,
// started at (0, 0); a figure is its first 20001 points.

#include "platform/Colour.h"

#include <QImage>
#include <QRect>

namespace vistorel {

class Random;

inline constexpr int kBreakFigurePoints = 20001;

class HopalongOrbit {
public:
    explicit HopalongOrbit(double p) : p_(p) {}
    double X() const { return x_; }
    double Y() const { return y_; }
    void Next();

private:
    double p_;
    double x_ = 0.0;
    double y_ = 0.0;
};

// Where a figure goes in a window of the given outer size, and its colours.
struct BreakFigure {
    double P = 5.0;
    TColor ColorBase = 50000;
    int OuterWidth = 0;
    int OuterHeight = 0;
};

// The screen position of an orbit point: the figure's frame (370 x 300,
// scaled 370/350 across) moved by a quarter of the width and a fifth of the
// height, rounded to the nearest with halves to even. False when a
// coordinate is not finite or does not fit an int.
bool BreakPointPosition(const BreakFigure& figure, double x, double y, int& px, int& py);

// Plots one figure into the image: each point in ColorBase + 200, but black
// for one point in ten (drawn at random) and for all of them while ColorBase
// is below 10000. Points outside the image are skipped. Returns the area
// that changed.
QRect PlotBreakFigure(QImage& image, const BreakFigure& figure, Random& random);

}  // namespace vistorel
