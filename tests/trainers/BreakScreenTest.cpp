// The break screen from the menu command to its closing.

#include "trainers/BreakScreen.h"

#include "app/Program.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

// The break starts maximised with P = 5.0 and base 50000 and draws; each
// tick takes a new P and a base 2000 higher, 0 after 80000; closing stops
// the figures and a new break starts over.
TEST(BreakScreen, FiguresFromStartToClose) {
    test::ProgramUnderTest p;
    BreakScreen& screen = *p->breakScreen;
    screen.StartBreak();
    EXPECT_TRUE(screen.Visible() && screen.Maximized() && screen.figureTimer.Enabled());
    EXPECT_EQ(screen.BreakParameter, 5.0);
    EXPECT_EQ(screen.BreakColorBase, 50000);
    const QImage& surface = screen.SurfaceImage();
    const auto* pixels = reinterpret_cast<const QRgb*>(surface.constBits());
    EXPECT_GT(std::count(pixels, pixels + surface.width() * surface.height(), ToRgb(0x00C418)), 1000);

    screen.OnFigureTick();
    const double p1 = screen.BreakParameter;
    screen.BreakColorBase = 78000;
    screen.OnFigureTick();
    EXPECT_NE(screen.BreakParameter, p1);
    EXPECT_EQ(screen.BreakColorBase, 80000);
    screen.OnFigureTick();
    EXPECT_EQ(screen.BreakColorBase, 0);

    screen.Close();
    EXPECT_FALSE(screen.Visible() || screen.figureTimer.Enabled());
    screen.StartBreak();
    EXPECT_EQ(screen.BreakColorBase, 50000);
    screen.Close();
}

}  // namespace
}  // namespace vistorel
