// The reading speed test window: loading, the clock, start and stop, the
// result line, and a text it cannot read.

#include "trainers/ReadingSpeedTestWindow.h"

#include "TrainerTestSupport.h"
#include "app/Program.h"

#include <QPlainTextEdit>
#include <chrono>

namespace vistorel {
namespace {

class ReadingSpeedTestWindowTest : public ::testing::Test {
protected:
    ReadingSpeedTestWindowTest() {
        // 2013 Cyrillic letters in UTF-8 (over 4000 bytes) before a last line.
        QString text = QString(1900, u'ж') + QStringLiteral("\r\n\r\n") + QString(113, u'я') + QStringLiteral("\r\nещё");
        p.Dir.Write(QStringLiteral("text.txt"), text.toUtf8());
        p->SettingsRecord.TextPath.SetText(QStringLiteral("text.txt"));
        W().Show();
        W().stopwatch.SetSource([this] { return now; });
    }
    ReadingSpeedTestWindow& W() { return *p->readingSpeedTest; }
    void Press(TestButton button) {
        const HitRect r = W().Buttons().Button(button).Click;
        test::PressAt(p.Test.App, W(), r.Left + 10, r.Top + 10);
    }
    QString Status() { return W().statusLabel.Caption().replace(u'\n', u' '); }

    test::ProgramUnderTest p;
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
};

// Start loads the beginning, counted in characters; the clock counts ten
// ticks a second; the result comes from the real time, stays clear of the
// buttons; start while running and stop while stopped change nothing.
TEST_F(ReadingSpeedTestWindowTest, ReadsTheBeginningAndScoresTheRealTime) {
    Press(kTestStart);
    ASSERT_TRUE(W().Running());
    EXPECT_EQ(Status(), QStringLiteral("Test in progress"));
    EXPECT_EQ(W().ReadChars, 2013);
    EXPECT_FALSE(W().textView->toPlainText().contains(QStringLiteral("ещё")));
    for (int i = 0; i < 9; ++i) W().OnClockTick();
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("0:9"));
    for (int i = 0; i < 540; ++i) W().OnClockTick();
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("54:9"));
    EXPECT_LE(W().clockLabel.Left() + W().clockLabel.Width(), W().ClientWidth());

    p.Dir.Write(QStringLiteral("text.txt"), QByteArray("short"));
    Press(kTestStart);
    EXPECT_EQ(W().ReadChars, 2013);

    now += std::chrono::milliseconds(60'020);  // the ticks came late
    Press(kTestStop);
    EXPECT_FALSE(W().clockTimer.Enabled());
    EXPECT_EQ(Status(), QStringLiteral("Ваша скорость чтения 336 слов в минуту (1848 bps)"));
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("60:0"));
    const Label& status = W().statusLabel;
    EXPECT_LT(status.Left() + status.Width(), W().Buttons().Button(kTestStart).At.x());
    EXPECT_LE(status.Top() + status.Height(), W().ClientHeight());
    now += std::chrono::seconds(30);
    Press(kTestStop);
    EXPECT_EQ(Status(), QStringLiteral("Ваша скорость чтения 336 слов в минуту (1848 bps)"));
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
}

// A missing file, or no text chosen, is reported and leaves the clock off.
TEST_F(ReadingSpeedTestWindowTest, TextThatCannotBeReadLeavesTheClockOff) {
    p->SettingsRecord.TextPath.SetText(QStringLiteral("missing.txt"));
    Press(kTestStart);
    p->SettingsRecord.TextPath.SetText(QString());
    Press(kTestStart);
    ASSERT_EQ(p.Test.Errors.Messages.size(), 2);
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(QStringLiteral("missing.txt")));
    EXPECT_FALSE(W().Running());
    EXPECT_EQ(Status(), QStringLiteral("Нажмите \"старт\" для начала"));
}

}  // namespace
}  // namespace vistorel
