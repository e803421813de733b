// The IPS test window: targets and field on start, clicks with their frames,
// the clock, the result line, and a repaint in the middle of a run.

#include "trainers/IpsTestWindow.h"

#include "TrainerTestSupport.h"
#include "app/Program.h"

#include <QCoreApplication>
#include <QCursor>
#include <chrono>

namespace vistorel {
namespace {

class IpsTestWindowTest : public ::testing::Test {
protected:
    IpsTestWindowTest() {
        QCursor::setPos(-1000, -1000);
        W().Show();
        QCoreApplication::processEvents();
        W().Repaint();
        W().stopwatch.SetSource([this] { return now; });
    }

    IpsTestWindow& W() { return *p->ipsTest; }
    void Press(int x, int y) { p.Test.App.Guard([&] { W().FormMouseDown(MouseButton::Left, x, y); }); }
    void Press(TestButton button) {
        const HitRect r = W().Buttons().Button(button).Click;
        Press(r.Left + 10, r.Top + 10);
    }
    // The middle of a cell, as the user clicks it.
    void PressCell(int column, int row) { Press((column - 1) * 35 + 17, row * 35 + 18); }
    // A pixel of the top edge of a cell's frame.
    TColor FrameCorner(int column, int row) { return W().Canvas.Pixel(35 * (column - 1) + 10, 35 * row - 2); }
    // The rings of the field and of the targets (their edges aside, where frames may lie).
    ::testing::AssertionResult FieldShown() {
        const IpsField& f = W().Field;
        for (int c = 1; c <= kIpsColumns; ++c) {
            for (int r = 1; r <= kIpsRows; ++r) {
                auto shown = test::Shows(W(), (c - 1) * 35, r * 35 + 2, test::RingFile(f.Ring(c, r)), 4);
                if (!shown) return shown << " (cell " << c << ", " << r << ")";
            }
        }
        auto a = test::Shows(W(), 0, 0, test::RingFile(f.TargetA()));
        return a ? test::Shows(W(), 35, 0, test::RingFile(f.TargetB())) : a;
    }
    // A target cell and a cell that is not one.
    std::pair<QPoint, QPoint> TargetAndOther() {
        QPoint target, other;
        for (int c = 1; c <= kIpsColumns; ++c) {
            for (int r = 1; r <= kIpsRows; ++r) (W().Field.IsTarget(c, r) ? target : other) = QPoint(c, r);
        }
        return {target, other};
    }

    test::ProgramUnderTest p;
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
};

// Start draws the two targets and the field of rings and starts the clock;
// a click frames its cell, black on a target and red elsewhere, and counts
// once; presses in the top band or the button strip are not field clicks,
// and a press right of the rings is a wrong click. Stop shows the scores of
// the real time in orange, and shows them again when pressed again.
TEST_F(IpsTestWindowTest, RunFromStartToResult) {
    EXPECT_TRUE(W().resultLabel.Caption().isEmpty());
    EXPECT_EQ(W().Canvas.Pixel(300, 200), clWhite);
    Press(kTestStart);
    ASSERT_TRUE(W().IpsActive);
    EXPECT_TRUE(W().clockTimer.Enabled());
    EXPECT_TRUE(FieldShown());

    const auto [target, other] = TargetAndOther();
    PressCell(target.x(), target.y());
    PressCell(target.x(), target.y());
    PressCell(other.x(), other.y());
    Press(630, 100);  // right of column 18
    EXPECT_EQ(FrameCorner(target.x(), target.y()), clBlack);
    EXPECT_EQ(FrameCorner(other.x(), other.y()), clRed);
    EXPECT_EQ(W().Canvas.Pixel(35 * 18 - 3 + 1, 35 * 2 - 2), clRed);

    Press(100, 35);                    // the top band
    Press(100, W().BandBottom());      // the button strip
    Press(100, W().BandBottom() - 1);  // below row 9, inside the band: a wrong click
    EXPECT_EQ(W().Field.TargetsLeft, W().Field.TargetsTotal - 1);
    EXPECT_EQ(W().Field.WrongClicks, 3);

    for (int i = 0; i < 25; ++i) W().OnClockTick();
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("2:5"));
    now += std::chrono::milliseconds(60'000);
    Press(kTestStop);
    EXPECT_FALSE(W().IpsActive);
    EXPECT_FALSE(W().clockTimer.Enabled());
    const QString line = IpsResult::From(W().Field, 600).Line();
    EXPECT_EQ(W().resultLabel.Caption(), line);
    EXPECT_EQ(W().resultLabel.Font().Color, clAccent);
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("60:0"));

    // No clicks count after stop; a second stop shows the same scores.
    PressCell(other.x(), 1);
    now += std::chrono::seconds(5);
    Press(kTestStop);
    EXPECT_EQ(W().resultLabel.Caption(), line);
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
}

// A repaint during a run draws the targets, the rings and the frames again
// from the run's state instead of leaving a white field.
TEST_F(IpsTestWindowTest, RepaintDuringARunRedrawsTheField) {
    Press(kTestStart);
    const auto [target, other] = TargetAndOther();
    PressCell(target.x(), target.y());
    PressCell(other.x(), other.y());
    W().Repaint();
    EXPECT_TRUE(FieldShown());
    EXPECT_EQ(FrameCorner(target.x(), target.y()), clBlack);
    EXPECT_EQ(FrameCorner(other.x(), other.y()), clRed);
    EXPECT_TRUE(test::Shows(W(), 340, W().BandBottom(), QStringLiteral("test.bmp")));
}

// Start during a run deals a new field and sets every count and the clock
// back to 0; the clock keeps running. Stop before any run shows nothing.
// Targets that are the same ring show it in both places.
TEST_F(IpsTestWindowTest, StartAgainStopBeforeAndEqualTargets) {
    Press(kTestStop);
    EXPECT_TRUE(W().resultLabel.Caption().isEmpty());

    Press(kTestStart);
    const auto [target, other] = TargetAndOther();
    PressCell(target.x(), target.y());
    PressCell(other.x(), other.y());
    for (int i = 0; i < 37; ++i) W().OnClockTick();
    Press(kTestStart);
    EXPECT_TRUE(W().clockTimer.Enabled());
    EXPECT_EQ(W().Field.WrongClicks, 0);
    EXPECT_EQ(W().Field.TargetsLeft, W().Field.TargetsTotal);
    EXPECT_TRUE(W().Field.MarkedCells().empty());
    W().OnClockTick();
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("0:1"));
    EXPECT_TRUE(FieldShown());

    unsigned seed = 1;
    do {
        p.Test.App.Random().SetFixedSeed(seed++);
        Press(kTestStart);
    } while (W().Field.TargetA() != W().Field.TargetB());
    EXPECT_TRUE(test::Shows(W(), 0, 0, test::RingFile(W().Field.TargetA())));
    EXPECT_TRUE(test::Shows(W(), 35, 0, test::RingFile(W().Field.TargetA())));
}

}  // namespace
}  // namespace vistorel
