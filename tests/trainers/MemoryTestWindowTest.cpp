// The memory test window: rings shown and hidden, the boxes, the result.

#include "trainers/MemoryTestWindow.h"

#include "TrainerTestSupport.h"
#include "app/Program.h"

#include <QLabel>
#include <QLineEdit>

namespace vistorel {
namespace {

// Stop before any start shows nothing. Start shows eight rings, which a
// repaint draws again; the seventh tick from the last start hides them and
// empties the boxes; stop scores the answers typed.
TEST(MemoryTestWindow, RunFromStartToResult) {
    test::ProgramUnderTest p;
    MemoryTestWindow& w = *p->memoryTest;
    w.Show();
    const auto button = [&](TestButton b) {
        const HitRect r = w.Buttons().Button(b).Click;
        test::PressAt(p.Test.App, w, r.Left + 10, r.Top + 10);
    };
    const auto ringsShown = [&] {
        for (int i = 1; i <= kMemoryRings; ++i) {
            const QPoint at = MemoryTestWindow::RingPlace(i);
            if (!test::Shows(w, at.x(), at.y(), test::RingFile(w.Run.ShownRing(i)))) return false;
        }
        return true;
    };

    button(kTestStop);
    EXPECT_TRUE(w.resultLabel.Caption().isEmpty());
    w.answerBoxes[0]->setText(QStringLiteral("5"));
    button(kTestStart);
    for (int i = 0; i < 4; ++i) w.OnShowTick();
    button(kTestStart);  // the seven ticks count from here
    for (int i = 0; i < 6; ++i) w.OnShowTick();
    w.Repaint();
    EXPECT_TRUE(ringsShown());
    EXPECT_EQ(w.answerBoxes[0]->text(), QStringLiteral("5"));
    w.OnShowTick();
    EXPECT_FALSE(ringsShown());
    EXPECT_EQ(w.Canvas.Pixel(300, 90), clWhite);
    EXPECT_FALSE(w.showTimer.Enabled());
    EXPECT_TRUE(w.answerBoxes[0]->text().isEmpty());

    for (int i = 1; i <= kMemoryRings; ++i) w.answerBoxes[i - 1]->setText(QString::number(w.Run.ShownRing(i)));
    button(kTestStop);
    EXPECT_EQ(w.resultLabel.Caption(), QStringLiteral("ISR = 9.14 bps"));
    EXPECT_FALSE(w.legend->pixmap().isNull());
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
}

}  // namespace
}  // namespace vistorel
