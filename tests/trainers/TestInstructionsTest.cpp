// The two ring tests explain themselves: an instruction beside the field, not
// over it, with the meaning of the figures; a memory answer box takes one
// digit of the legend and hands on to the next box.

#include "TrainerTestSupport.h"
#include "app/Program.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/MemoryTestWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace vistorel {
namespace {

QRect Area(const Label& label) { return {label.Left(), label.Top(), label.Width(), label.Height()}; }

TEST(TestInstructions, BesideTheFieldWithTheFiguresExplained) {
    test::ProgramUnderTest p;
    IpsTestWindow& ips = *p->ipsTest;
    ips.Show();
    const QRect ipsText = Area(ips.instructionLabel);
    EXPECT_TRUE(ips.instructionLabel.Widget()->isVisible());
    EXPECT_TRUE(ips.instructionLabel.Caption().contains(QStringLiteral("Щёлкните")));
    // Right of the two targets, left of the clock, above the field.
    EXPECT_GE(ipsText.left(), 2 * IpsTestWindow::kCell);
    EXPECT_LT(ipsText.right(), ips.clockLabel.Left());
    EXPECT_LE(ipsText.bottom(), IpsTestWindow::kFieldTop);
    for (const char* figure : {"IPS —", "MI —", "IPI —"}) {
        EXPECT_TRUE(ips.instructionLabel.Widget()->toolTip().contains(QString::fromUtf8(figure))) << figure;
        EXPECT_TRUE(ips.resultLabel.Widget()->toolTip().contains(QString::fromUtf8(figure))) << figure;
    }

    MemoryTestWindow& memory = *p->memoryTest;
    memory.Show();
    const QRect memoryText = Area(memory.instructionLabel);
    EXPECT_TRUE(memory.instructionLabel.Caption().contains(QStringLiteral("ISR")));
    EXPECT_LE(memoryText.bottom(), MemoryTestWindow::kStripTop);
    EXPECT_LE(memoryText.right(), memory.ClientWidth());
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
}

TEST(TestInstructions, MemoryBoxTakesOneDigitAndMovesOn) {
    test::ProgramUnderTest p;
    MemoryTestWindow& w = *p->memoryTest;
    w.Show();
    const auto box = [&](int i) { return w.answerBoxes[static_cast<std::size_t>(i)]; };
    box(0)->setFocus();

    QTest::keyClicks(box(0), QStringLiteral("3"));
    EXPECT_EQ(box(0)->text(), QStringLiteral("3"));
    EXPECT_EQ(w.Widget()->focusWidget(), box(1));
    // Not a number of the legend: refused, the focus stays.
    QTest::keyClicks(box(1), QStringLiteral("9"));
    QTest::keyClicks(box(1), QStringLiteral("0"));
    EXPECT_TRUE(box(1)->text().isEmpty());
    EXPECT_EQ(w.Widget()->focusWidget(), box(1));
    // A second digit does not go into a full box.
    QTest::keyClicks(box(1), QStringLiteral("45"));
    EXPECT_EQ(box(1)->text(), QStringLiteral("4"));
    EXPECT_EQ(w.Widget()->focusWidget(), box(2));
    // The last box keeps the focus.
    box(7)->setFocus();
    QTest::keyClicks(box(7), QStringLiteral("8"));
    EXPECT_EQ(box(7)->text(), QStringLiteral("8"));
    EXPECT_EQ(w.Widget()->focusWidget(), box(7));
}

}  // namespace
}  // namespace vistorel
