// The point figures of the break screen: the orbit, where its points go, and
// their colours.

#include "trainers/HopalongOrbit.h"

#include "platform/Random.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vistorel {
namespace {

// With P = 0 the map is x' = y - s * 10, y' = -x, where s is -1 at x = 0.
TEST(HopalongOrbit, WithoutParameter) {
    HopalongOrbit orbit(0.0);
    const double expected[][2] = {{0, 0}, {10, 0}, {-10, -10}, {0, 10}, {20, 0}, {-10, -20}, {-10, 10}, {20, 10}};
    for (const auto& point : expected) {
        EXPECT_DOUBLE_EQ(orbit.X(), point[0]);
        EXPECT_DOUBLE_EQ(orbit.Y(), point[1]);
        orbit.Next();
    }
}

// Positions: the frame's centre (185, 150) moved by W / 4 and H / 5, x scaled
// by 2 * 370 / 350, rounded with halves to even; unplottable points refused.
TEST(HopalongOrbit, PointPositions) {
    const BreakFigure figure{5.0, 50000, 1283, 1029};
    int px = 0, py = 0;
    ASSERT_TRUE(BreakPointPosition(figure, 0, 0, px, py));
    EXPECT_EQ(px, 185 + 320);
    EXPECT_EQ(py, 150 + 205);
    ASSERT_TRUE(BreakPointPosition(figure, 10, 5, px, py));
    EXPECT_EQ(px, 505 + 21);  // 21.14
    EXPECT_EQ(py, 355 + 10);
    ASSERT_TRUE(BreakPointPosition(figure, 0, 0.25, px, py));  // 355.5 goes to the even 356
    EXPECT_EQ(py, 356);
    ASSERT_TRUE(BreakPointPosition(figure, 0, 0.75, px, py));  // 356.5 goes to the even 356
    EXPECT_EQ(py, 356);
    EXPECT_FALSE(BreakPointPosition(figure, 1e300, 0, px, py));
    EXPECT_FALSE(BreakPointPosition(figure, 0, std::numeric_limits<double>::quiet_NaN(), px, py));
    EXPECT_FALSE(BreakPointPosition(figure, std::numeric_limits<double>::infinity(), 0, px, py));
}

// The first figure: P = 5.0 at base 50000 sets its points in 50200 (hex
// 00C418), one in ten black; the points are those of the orbit. A base below
// 10000 draws only black points; points that are not finite are skipped.
TEST(HopalongOrbit, FigureColours) {
    Random random;
    random.SetFixedSeed(1);
    QImage image(1280, 1024, QImage::Format_RGB32);
    image.fill(Qt::white);
    const BreakFigure first{5.0, 50000, 1280, 1024};
    const QRect changed = PlotBreakFigure(image, first, random);
    EXPECT_FALSE(changed.isEmpty());

    int coloured = 0, black = 0, white = 0;
    HopalongOrbit orbit(5.0);
    for (int i = 0; i < kBreakFigurePoints; ++i, orbit.Next()) {
        int px = 0, py = 0;
        ASSERT_TRUE(BreakPointPosition(first, orbit.X(), orbit.Y(), px, py));
        if (!image.rect().contains(px, py)) continue;
        ASSERT_TRUE(changed.contains(px, py));
        const TColor c = FromRgb(image.pixel(px, py));
        coloured += c == 0x00C418;
        black += c == clBlack;
        white += c == clWhite;
    }
    EXPECT_EQ(white, 0);
    EXPECT_GT(coloured, 0);
    EXPECT_GT(black, 0);
    EXPECT_LT(black, coloured / 4) << "about one point in ten is black";

    image.fill(Qt::white);
    PlotBreakFigure(image, {5.0, 8000, 1280, 1024}, random);
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const TColor c = FromRgb(image.pixel(x, y));
            ASSERT_TRUE(c == clWhite || c == clBlack);
            dark += c == clBlack;
        }
    }
    EXPECT_GT(dark, 100);

    image.fill(Qt::white);
    // Only the starting point of an orbit that turns into NaN is plotted.
    const BreakFigure lost{std::numeric_limits<double>::quiet_NaN(), 50000, 1280, 1024};
    EXPECT_EQ(PlotBreakFigure(image, lost, random), QRect(505, 354, 1, 1));
}

}  // namespace
}  // namespace vistorel
