// Windows on real screens: moved and shrunk onto the working area, whole
// device pixels at a fractional scale, and placed near the part of another
// window they belong with.

#include "platform/ScreenFit.h"

#include <gtest/gtest.h>

using namespace vistorel;

// The statistics window with a thin frame does not fit 1024 x 768: it moves
// up and left by as much as it must, keeping its size; a resizable window
// larger than the screen is shrunk to it, a fixed one keeps its size at the
// area's corner; a window on the screen stays where it is.
TEST(ScreenFit, WindowsAreMovedOntoTheAreaAndResizableOnesShrunk) {
    const QRect screen(0, 0, 1024, 768);
    EXPECT_EQ(FitOnArea({120, 80, 942, 701}, screen, true), QRect(82, 67, 942, 701));
    EXPECT_EQ(FitOnArea({100, 200, 1100, 800}, screen, true), QRect(0, 0, 1024, 768));
    EXPECT_EQ(FitOnArea({100, 200, 1100, 800}, screen, false), QRect(0, 0, 1100, 800));
    EXPECT_EQ(FitOnArea({17, 144, 647, 320}, screen, true), QRect(17, 144, 647, 320));
    // Exactly to the edge stays; one past moves by one. A working area that
    // starts beside a panel of the desktop is kept clear of it.
    EXPECT_EQ(FitOnArea({377, 0, 647, 320}, screen, true), QRect(377, 0, 647, 320));
    EXPECT_EQ(FitOnArea({378, 0, 647, 320}, screen, true), QRect(377, 0, 647, 320));
    EXPECT_EQ(FitOnArea({-5, -3, 647, 320}, QRect(48, 0, 976, 768), true), QRect(48, 0, 647, 320));
}

// At 1.5 a 1280 x 1024 screen is 853 x 683 logical pixels, which Qt shows as
// 1280 x 1025 device pixels: one row too many. Whole scales need nothing.
TEST(ScreenFit, AtAFractionalScaleTheAreaCoversNoMoreDevicePixelsThanTheScreen) {
    EXPECT_EQ(WholeDevicePixels({0, 0, 853, 683}, 1.5), QRect(0, 0, 852, 682));
    EXPECT_EQ(WholeDevicePixels({0, 20, 853, 663}, 1.5).topLeft(), QPoint(0, 20));
    EXPECT_EQ(WholeDevicePixels({0, 0, 1280, 1024}, 2.0), QRect(0, 0, 1280, 1024));
    EXPECT_EQ(WholeDevicePixels({0, 0, 1280, 1024}, 1.0), QRect(0, 0, 1280, 1024));
    // 819 logical pixels at 1.25 are 1023.75, shown as 1024: they fit.
    EXPECT_EQ(WholeDevicePixels({0, 0, 819, 819}, 1.25), QRect(0, 0, 819, 819));
}

// The exercise window as designed (17, 144, 647 x 320) and the main window's
// panel: kept where the screen is about the designed size, moved just above
// the panel, centred on it, on a large one.
TEST(ScreenFit, AWindowFarFromItsAnchorIsPlacedJustAboveIt) {
    const QRect designed(17, 144, 647, 320);
    EXPECT_EQ(NearAnchor(designed, {232, 667, 560, 100}), designed);  // 1024 x 768
    EXPECT_EQ(NearAnchor(designed, {120, 460, 560, 100}), designed);  // 800 x 600: 4 pixels over the panel
    EXPECT_EQ(NearAnchor(designed, {1640, 2050, 560, 100}), QRect(1597, 1722, 647, 320));  // 3840 x 2160
    // No farther above the panel than its own height stays; one more moves.
    EXPECT_EQ(NearAnchor(designed, {232, 784, 560, 100}), designed);
    EXPECT_EQ(NearAnchor(designed, {232, 785, 560, 100}).top(), 785 - kAnchorGap - 320);
    // Over the panel by 8 stays, by 9 moves; a panel beside it moves it.
    EXPECT_EQ(NearAnchor(designed, {232, 456, 560, 100}), designed);
    EXPECT_EQ(NearAnchor(designed, {232, 455, 560, 100}).top(), 455 - kAnchorGap - 320);
    EXPECT_EQ(NearAnchor(designed, {664, 500, 560, 100}).left(), 664 + (560 - 647) / 2);
    EXPECT_EQ(NearAnchor(designed, {}), designed);
}
