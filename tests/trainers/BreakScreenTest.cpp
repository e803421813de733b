// The break screen: started from the menu command, a new figure every tick
// with the colour cycle, stopped by closing.

#include "trainers/BreakScreen.h"

#include "app/Program.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

int CountColour(Form& form, TColor colour) {
    int count = 0;
    for (int y = 0; y < form.ClientHeight(); ++y) {
        for (int x = 0; x < form.ClientWidth(); ++x) count += form.Canvas.Pixel(x, y) == colour;
    }
    return count;
}

// The break starts maximised with the figure of P = 5.0 in 50200; each tick
// draws a figure of its own random P with the colour base 2000 higher, back
// to 0 after 80000. Closing stops the figures; a new break starts over.
TEST(BreakScreen, FiguresFromStartToClose) {
    test::ProgramUnderTest p;
    BreakScreen& screen = *p->breakScreen;
    screen.StartBreak();
    QCoreApplication::processEvents();
    EXPECT_TRUE(screen.Visible());
    EXPECT_TRUE(screen.Maximized());
    EXPECT_TRUE(screen.figureTimer.Enabled());
    EXPECT_EQ(screen.figureTimer.Interval(), 10);
    EXPECT_EQ(screen.BreakParameter, 5.0);
    EXPECT_EQ(screen.BreakColorBase, 50000);
    screen.Repaint();
    screen.DrawBreakFigure();
    EXPECT_GT(CountColour(screen, 0x00C418), 500);

    screen.OnFigureTick();
    const double first = screen.BreakParameter;
    EXPECT_EQ(screen.BreakColorBase, 52000);
    EXPECT_GT(CountColour(screen, 52200), 0);
    screen.OnFigureTick();
    EXPECT_NE(screen.BreakParameter, first) << "every tick a figure of its own";
    EXPECT_GE(screen.BreakParameter, 0.0);
    EXPECT_LT(screen.BreakParameter, 100.0);

    screen.BreakColorBase = 78000;
    screen.OnFigureTick();
    EXPECT_EQ(screen.BreakColorBase, 80000);
    screen.OnFigureTick();
    EXPECT_EQ(screen.BreakColorBase, 0);
    screen.OnFigureTick();
    EXPECT_EQ(screen.BreakColorBase, 2000);

    screen.Close();
    EXPECT_FALSE(screen.Visible());
    EXPECT_FALSE(screen.figureTimer.Enabled());
    EXPECT_FALSE(p.Test.App.Terminated());

    screen.StartBreak();
    EXPECT_TRUE(screen.Visible());
    EXPECT_TRUE(screen.figureTimer.Enabled());
    EXPECT_EQ(screen.BreakParameter, 5.0);
    EXPECT_EQ(screen.BreakColorBase, 50000);
    screen.Close();
}

}  // namespace
}  // namespace vistorel
