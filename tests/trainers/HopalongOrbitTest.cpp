// The point figures of the break screen: the orbit, its positions, its colours.

#include "trainers/HopalongOrbit.h"

#include "platform/Random.h"

#include <gtest/gtest.h>
#include <limits>

namespace vistorel {
namespace {

// With P = 0 the map is x' = y - s * 10, y' = -x, where s is -1 at x = 0.
TEST(HopalongOrbit, WithoutParameter) {
    HopalongOrbit orbit(0.0);
    for (const auto& [x, y] : {std::pair{0, 0}, {10, 0}, {-10, -10}, {0, 10}, {20, 0}, {-10, -20}, {-10, 10}}) {
        EXPECT_DOUBLE_EQ(orbit.X(), x);
        EXPECT_DOUBLE_EQ(orbit.Y(), y);
        orbit.Next();
    }
}

// The first figure, P = 5.0 at base 50000: its points in 50200 (hex 00C418),
// about one in ten black, from (185 + W / 4, 150 + H / 5) on; a base below
// 10000 plots black only; points that are not finite are skipped.
TEST(HopalongOrbit, FigureColoursAndPositions) {
    Random random;
    random.SetFixedSeed(1);
    QImage image(1280, 1024, QImage::Format_RGB32);
    image.fill(Qt::white);
    const BreakFigure first{5.0, 50000, 1283, 1029};
    PlotBreakFigure(image, first, random);
    int coloured = 0, black = 0;
    HopalongOrbit orbit(5.0);
    for (int i = 0; i < kBreakFigurePoints; ++i, orbit.Next()) {
        int px = 0, py = 0;
        ASSERT_TRUE(BreakPointPosition(first, orbit.X(), orbit.Y(), px, py));
        if (i == 0) {
            EXPECT_EQ(QPoint(px, py), QPoint(185 + 320, 150 + 205));
        } else if (i == 1) {
            EXPECT_EQ(QPoint(px, py), QPoint(505 + 21, 355 + 10));  // (10, 5): 21.14 across
        }
        if (!image.rect().contains(px, py)) continue;
        const TColor c = FromRgb(image.pixel(px, py));
        ASSERT_TRUE(c == 0x00C418 || c == clBlack);
        (c == clBlack ? black : coloured)++;
    }
    EXPECT_GT(black, coloured / 20);
    EXPECT_LT(black, coloured / 5);

    image.fill(Qt::white);
    PlotBreakFigure(image, {5.0, 8000, 1280, 1024}, random);
    EXPECT_EQ(FromRgb(image.pixel(505, 354)), clBlack);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) ASSERT_TRUE(image.pixel(x, y) == qRgb(255, 255, 255) || image.pixel(x, y) == qRgb(0, 0, 0));
    }
    const BreakFigure lost{std::numeric_limits<double>::quiet_NaN(), 50000, 1280, 1024};
    EXPECT_EQ(PlotBreakFigure(image, lost, random), QRect(505, 354, 1, 1));
    int px = 0, py = 0;
    EXPECT_FALSE(BreakPointPosition(first, 1e300, 0, px, py));
}

}  // namespace
}  // namespace vistorel
