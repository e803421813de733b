// The reading speed test window: the text it loads, the clock, start and
// stop with the shared buttons, the result line, and texts it cannot read.

#include "trainers/ReadingSpeedTestWindow.h"

#include "TrainerTestSupport.h"
#include "app/Program.h"
#include "trainers/IpsTestWindow.h"

#include <QCoreApplication>
#include <QCursor>
#include <QPlainTextEdit>
#include <chrono>

namespace vistorel {
namespace {

using Clock = std::chrono::steady_clock;

// A UTF-8 text of 19 lines of 100 Cyrillic letters, an empty line, a line
// of 113 (2013 characters in all, over 4000 bytes) and one more line.
QByteArray PracticeText() {
    QString text;
    for (int i = 0; i < 19; ++i) text += QString(100, u'ж') + QStringLiteral("\r\n");
    text += QStringLiteral("\r\n") + QString(113, u'я') + QStringLiteral("\r\nне загружается\r\n");
    return text.toUtf8();
}

class ReadingSpeedTestWindowTest : public ::testing::Test {
protected:
    ReadingSpeedTestWindowTest()
        : p([](test::StartDirectory& dir) { dir.Write(QStringLiteral("text.txt"), PracticeText()); }) {
        p->SettingsRecord.TextPath.SetText(QStringLiteral("text.txt"));
        QCursor::setPos(-1000, -1000);
        W().Show();
        QCoreApplication::processEvents();
        W().Repaint();
        W().stopwatch.SetSource([this] { return now; });
    }

    ReadingSpeedTestWindow& W() { return *p->readingSpeedTest; }
    QPoint Inside(TestButton button) {
        const HitRect r = W().Buttons().Button(button).Click;
        return {r.Left + 10, r.Top + 10};
    }
    void Press(TestButton button) {
        const QPoint at = Inside(button);
        p.Test.App.Guard([&] { W().FormMouseDown(MouseButton::Left, at.x(), at.y()); });
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) W().OnClockTick();
    }
    // The status line as the user reads it (a long one is shown on two lines).
    QString Status() { return W().statusLabel.Caption().replace(u'\n', u' '); }
    // The status line stays clear of the buttons and inside the window, below the text.
    bool StatusInItsPlace() {
        const Label& status = W().statusLabel;
        return status.Left() + status.Width() < W().Buttons().Button(kTestStart).At.x() &&
               status.Top() > W().textView->geometry().bottom() && status.Top() + status.Height() <= W().ClientHeight();
    }

    test::ProgramUnderTest p;
    Clock::time_point now = Clock::now();
};

// The window as the menu shows it: the clock, the prompt and both buttons
// in the strip below the text box, the clock off.
TEST_F(ReadingSpeedTestWindowTest, ShowsPromptClockAndButtonsBelowTheText) {
    EXPECT_EQ(W().ClientWidth(), 577);
    EXPECT_EQ(W().ClientHeight(), 362);
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("0:0"));
    EXPECT_EQ(Status(), QStringLiteral("Нажмите \"старт\" для начала"));
    EXPECT_FALSE(W().Running());
    const QRect text = W().textView->geometry();
    EXPECT_EQ(text, QRect(0, 32, 577, 297));
    EXPECT_TRUE(W().textView->isReadOnly());
    EXPECT_TRUE(test::Shows(W(), 340, 331, QStringLiteral("test.bmp")));
    EXPECT_TRUE(test::Shows(W(), 430, 331, QStringLiteral("stop.bmp")));
    EXPECT_GT(W().Buttons().Button(kTestStart).At.y(), text.bottom());
}

// Start loads whole lines until 2000 characters (counted in characters, not
// bytes) and runs a clock of ten ticks a second; the result comes from the
// real time between start and stop. Start while running and stop while
// stopped change nothing.
TEST_F(ReadingSpeedTestWindowTest, ReadsTheBeginningAndScoresTheRealTime) {
    Press(kTestStart);
    ASSERT_TRUE(W().Running()) << p.Test.Errors.Messages.join('\n').toStdString();
    EXPECT_EQ(Status(), QStringLiteral("Test in progress"));
    EXPECT_EQ(W().ReadChars, 2013);
    const QString shown = W().textView->toPlainText();
    EXPECT_EQ(shown.count(u'\n'), 20);
    EXPECT_TRUE(shown.endsWith(QString(113, u'я')));
    EXPECT_FALSE(shown.contains(QStringLiteral("не загружается")));

    Ticks(9);
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("0:9"));
    Ticks(1);
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("1:0"));
    Ticks(539);
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("54:9"));
    EXPECT_LE(W().clockLabel.Left() + W().clockLabel.Width(), W().ClientWidth()) << "the clock runs off the window";

    p.Dir.Write(QStringLiteral("text.txt"), QByteArray("short\r\n"));
    Press(kTestStart);  // running: nothing happens
    EXPECT_EQ(W().ReadChars, 2013);
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("54:9"));

    // Ticks came late; the real time says one minute.
    now += std::chrono::milliseconds(60'020);
    Press(kTestStop);
    EXPECT_FALSE(W().Running());
    EXPECT_FALSE(W().clockTimer.Enabled());
    EXPECT_EQ(Status(), QStringLiteral("Ваша скорость чтения 336 слов в минуту (1848 bps)"));
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("60:0"));
    EXPECT_TRUE(StatusInItsPlace());

    now += std::chrono::seconds(30);
    Press(kTestStop);
    EXPECT_EQ(Status(), QStringLiteral("Ваша скорость чтения 336 слов в минуту (1848 bps)"));

    // Showing the window again asks for a new start.
    W().Hide();
    W().Show();
    EXPECT_EQ(Status(), QStringLiteral("Нажмите \"старт\" для начала"));
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << p.Test.Errors.Messages.join('\n').toStdString();
}

// A text that cannot be read (no text chosen, a missing file, an empty
// file) is reported; the clock stays off and the window as it was.
TEST_F(ReadingSpeedTestWindowTest, TextThatCannotBeReadLeavesTheClockOff) {
    p->SettingsRecord.TextPath.SetText(QStringLiteral("missing.txt"));
    Press(kTestStart);
    p->SettingsRecord.TextPath.SetText(QString());
    Press(kTestStart);
    p.Dir.Write(QStringLiteral("empty.txt"), QByteArray("\r\n\r\n"));
    p->SettingsRecord.TextPath.SetText(QStringLiteral("empty.txt"));
    Press(kTestStart);

    ASSERT_EQ(p.Test.Errors.Messages.size(), 3);
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(QStringLiteral("missing.txt")));
    EXPECT_TRUE(p.Test.Errors.Messages[1].contains(QStringLiteral("не выбран")));
    EXPECT_TRUE(p.Test.Errors.Messages[2].contains(QStringLiteral("empty.txt")));
    EXPECT_FALSE(W().Running());
    EXPECT_EQ(Status(), QStringLiteral("Нажмите \"старт\" для начала"));
    EXPECT_TRUE(W().textView->toPlainText().isEmpty());
}

// The start and stop pictures light up under the pointer once per entry,
// with hover flags that the other test windows share.
TEST_F(ReadingSpeedTestWindowTest, ButtonsLightUpWithSharedFlags) {
    const QPoint start = Inside(kTestStart);
    W().FormMouseMove(start.x(), start.y());
    EXPECT_TRUE(test::Shows(W(), 340, 331, QStringLiteral("test1.bmp")));
    EXPECT_TRUE(p->ipsTest->Buttons().Hovered(kTestStart));
    const QPoint stop = Inside(kTestStop);
    W().FormMouseMove(stop.x(), stop.y());
    EXPECT_TRUE(test::Shows(W(), 340, 331, QStringLiteral("test.bmp")));
    EXPECT_TRUE(test::Shows(W(), 430, 331, QStringLiteral("stop1.bmp")));
    EXPECT_FALSE(W().Buttons().Hovered(kTestStart));
    EXPECT_TRUE(W().Buttons().Hovered(kTestStop));
}

}  // namespace
}  // namespace vistorel
