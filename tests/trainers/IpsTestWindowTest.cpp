// The IPS test window: a run from start to result, with its frames, the
// presses that are not field clicks, and a repaint in the middle.

#include "trainers/IpsTestWindow.h"

#include "TrainerTestSupport.h"
#include "app/Program.h"

#include <chrono>

namespace vistorel {
namespace {

// Start draws the targets and the field; clicks frame their cells black on
// a target and red elsewhere; presses in the top band or the button strip
// are not field clicks; a repaint draws the run again; stop shows the scores
// of the real time, and before any run shows nothing.
TEST(IpsTestWindow, RunFromStartToResult) {
    test::ProgramUnderTest p;
    IpsTestWindow& w = *p->ipsTest;
    auto now = std::chrono::steady_clock::now();
    w.stopwatch.SetSource([&] { return now; });
    w.Show();
    const auto press = [&](int x, int y) { test::PressAt(p.Test.App, w, x, y); };
    const auto button = [&](TestButton b) {
        const HitRect r = w.Buttons().Button(b).Click;
        press(r.Left + 10, r.Top + 10);
    };
    const auto frame = [&](int c, int r) { return w.Canvas.Pixel(35 * (c - 1) + 10, 35 * r - 2); };

    button(kTestStop);
    EXPECT_TRUE(w.resultLabel.Caption().isEmpty());
    button(kTestStart);
    ASSERT_TRUE(w.IpsActive && w.clockTimer.Enabled());
    QPoint target, other;
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows; ++r) (w.Field.IsTarget(c, r) ? target : other) = QPoint(c, r);
    }
    press((target.x() - 1) * 35 + 17, target.y() * 35 + 18);
    press((other.x() - 1) * 35 + 17, other.y() * 35 + 18);
    press(100, 35);
    press(100, w.BandBottom());
    EXPECT_EQ(w.Field.TargetsLeft, w.Field.TargetsTotal - 1);
    EXPECT_EQ(w.Field.WrongClicks, 1);

    w.Repaint();
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows; ++r) {
            ASSERT_TRUE(test::Shows(w, (c - 1) * 35, r * 35 + 2, test::RingFile(w.Field.Ring(c, r)), 4));
        }
    }
    EXPECT_TRUE(test::Shows(w, 35, 0, test::RingFile(w.Field.TargetB())));
    EXPECT_EQ(frame(target.x(), target.y()), clBlack);
    EXPECT_EQ(frame(other.x(), other.y()), clRed);

    now += std::chrono::seconds(60);
    button(kTestStop);
    EXPECT_FALSE(w.IpsActive || w.clockTimer.Enabled());
    EXPECT_EQ(w.resultLabel.Caption(), IpsResult::From(w.Field, 600).Line());
    EXPECT_EQ(w.resultLabel.Font().Color, clAccent);
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
}

// A stop within the first second shows no figures, on a result line that
// stays clear of the start button and inside the window; showing the window
// again clears it.
TEST(IpsTestWindow, StopWithinTheFirstSecondShowsNoFigures) {
    test::ProgramUnderTest p;
    IpsTestWindow& w = *p->ipsTest;
    auto now = std::chrono::steady_clock::now();
    w.stopwatch.SetSource([&] { return now; });
    w.Show();
    const auto button = [&](TestButton b) {
        const HitRect r = w.Buttons().Button(b).Click;
        test::PressAt(p.Test.App, w, r.Left + 10, r.Top + 10);
    };
    button(kTestStart);
    now += std::chrono::milliseconds(900);
    button(kTestStop);
    const Label& result = w.resultLabel;
    EXPECT_EQ(result.Caption().replace(u'\n', u' '),
              QStringLiteral("Слишком короткий замер: ищите кольца не меньше секунды"));
    EXPECT_LT(result.Left() + result.Width(), w.Buttons().Button(kTestStart).At.x());
    EXPECT_LE(result.Top() + result.Height(), w.ClientHeight());
    w.Hide();
    w.Show();
    EXPECT_TRUE(result.Caption().isEmpty());
    EXPECT_EQ(result.Top(), 360);
}

}  // namespace
}  // namespace vistorel
