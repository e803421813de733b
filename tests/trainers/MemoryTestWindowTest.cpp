// The memory test window: the rings shown for seven ticks, the answer boxes,
// the legend, and the result line.

#include "trainers/MemoryTestWindow.h"

#include "TrainerTestSupport.h"
#include "app/Program.h"

#include <QCoreApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>

namespace vistorel {
namespace {

class MemoryTestWindowTest : public ::testing::Test {
protected:
    MemoryTestWindowTest() {
        QCursor::setPos(-1000, -1000);
        W().Show();
        QCoreApplication::processEvents();
        W().Repaint();
    }

    MemoryTestWindow& W() { return *p->memoryTest; }
    void Press(TestButton button) {
        const HitRect r = W().Buttons().Button(button).Click;
        p.Test.App.Guard([&] { W().FormMouseDown(MouseButton::Left, r.Left + 10, r.Top + 10); });
    }
    ::testing::AssertionResult RingsShown() {
        for (int i = 1; i <= kMemoryRings; ++i) {
            const QPoint at = MemoryTestWindow::RingPlace(i);
            auto shown = test::Shows(W(), at.x(), at.y(), test::RingFile(W().Run.ShownRing(i)));
            if (!shown) return shown;
        }
        return ::testing::AssertionSuccess();
    }
    bool StripBlank() {
        for (int x = 0; x < W().ClientWidth(); x += 3) {
            if (W().Canvas.Pixel(x, 90) != clWhite) return false;
        }
        return true;
    }
    void Type(int box, const QString& text) { W().answerBoxes[static_cast<std::size_t>(box - 1)]->setText(text); }

    test::ProgramUnderTest p;
};

// Start shows eight rings; they stay through a repaint and six ticks, and
// the seventh tick hides them and empties the boxes. A new start during the
// showing counts the seven ticks from itself.
TEST_F(MemoryTestWindowTest, RingsStaySevenTicksFromTheLastStart) {
    EXPECT_TRUE(StripBlank());
    EXPECT_TRUE(test::Shows(W(), 340, W().ClientHeight() - 31, QStringLiteral("test.bmp")));
    for (int i = 1; i <= kMemoryRings; ++i) Type(i, QStringLiteral("5"));
    Press(kTestStart);
    EXPECT_TRUE(W().showTimer.Enabled());
    EXPECT_TRUE(RingsShown());
    EXPECT_EQ(W().answerBoxes[0]->text(), QStringLiteral("5")) << "boxes are emptied when the rings go";

    for (int i = 0; i < 4; ++i) W().OnShowTick();
    Press(kTestStart);
    for (int i = 0; i < 6; ++i) W().OnShowTick();
    W().Repaint();
    EXPECT_TRUE(RingsShown());
    EXPECT_TRUE(W().showTimer.Enabled());

    W().OnShowTick();
    EXPECT_TRUE(StripBlank());
    EXPECT_FALSE(W().showTimer.Enabled());
    for (const QLineEdit* box : W().answerBoxes) EXPECT_TRUE(box->text().isEmpty());
    W().Repaint();
    EXPECT_TRUE(StripBlank());
}

// Stop before any start shows nothing; after a run it scores the boxes and
// shows ISR in orange.
TEST_F(MemoryTestWindowTest, StopScoresTheAnswers) {
    Press(kTestStop);
    EXPECT_TRUE(W().resultLabel.Caption().isEmpty());

    Press(kTestStart);
    for (int i = 0; i < kMemoryShowTicks; ++i) W().OnShowTick();
    for (int i = 1; i <= kMemoryRings; ++i) Type(i, QString::number(W().Run.ShownRing(i)));
    Press(kTestStop);
    EXPECT_EQ(W().resultLabel.Caption(), QStringLiteral("ISR = 9.14 bps"));
    EXPECT_EQ(W().resultLabel.Font().Color, clAccent);
    Type(3, QString());
    Press(kTestStop);
    EXPECT_EQ(W().resultLabel.Caption(), QStringLiteral("ISR = 8.00 bps"));
}

// The legend is on the left, clipped to its place, beside the boxes, and the
// boxes take the answers in order.
TEST_F(MemoryTestWindowTest, LegendAndBoxes) {
    EXPECT_EQ(W().legend->geometry(), QRect(-24, 120, 185, 153));
    ASSERT_FALSE(W().legend->pixmap().isNull());
    EXPECT_EQ(W().legend->pixmap().size(), QSize(231, 154));
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << p.Test.Errors.Messages.join('\n').toStdString();
    for (int i = 0; i < kMemoryRings; ++i) {
        EXPECT_EQ(W().answerBoxes[static_cast<std::size_t>(i)]->geometry(), QRect(176 + 48 * i, 136, 41, 37));
    }
    EXPECT_LT(W().legend->geometry().right(), W().answerBoxes[0]->x());
}

}  // namespace
}  // namespace vistorel
