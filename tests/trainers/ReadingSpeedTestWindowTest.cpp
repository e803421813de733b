// The reading speed test window: loading, the clock, start and stop, the
// result line, and a text it cannot read.

#include "trainers/ReadingSpeedTestWindow.h"

#include "BookMaker.h"
#include "TrainerTestSupport.h"
#include "app/Program.h"
#include "engine/TextLines.h"

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

// The real time is taken to the nearest tenth (1,250 ms is 1.3 s); a stop
// within the first second shows no figures, on a status line that stays
// clear of the start button.
TEST_F(ReadingSpeedTestWindowTest, ScoresTheTimeToTheNearestTenthFromOneSecondOn) {
    Press(kTestStart);
    now += std::chrono::milliseconds(940);
    Press(kTestStop);
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("0:9"));
    EXPECT_EQ(Status(), QStringLiteral("Слишком короткий замер: читайте не меньше секунды"));
    const Label& status = W().statusLabel;
    EXPECT_LT(status.Left() + status.Width(), W().Buttons().Button(kTestStart).At.x());
    EXPECT_LE(status.Top() + status.Height(), W().ClientHeight());

    Press(kTestStart);
    now += std::chrono::milliseconds(1250);
    Press(kTestStop);
    EXPECT_EQ(W().clockLabel.Caption(), QStringLiteral("1:3"));
    EXPECT_EQ(Status(), QStringLiteral("Ваша скорость чтения 15485 слов в минуту (85168 bps)"));
}

// Only the beginning the test shows is read: a text of one unbroken line
// (a base64 blob, say) gives the text box no more than the head, not a line
// that takes minutes to wrap; a text of more lines than an exercise takes, or
// with NUL bytes after its first 2000 characters, is tested; NUL bytes
// within them are refused.
TEST_F(ReadingSpeedTestWindowTest, ReadsOnlyTheBeginningOfAnyText) {
    p.Dir.Write(QStringLiteral("line.txt"), QByteArray(100'000, 'a'));
    p->SettingsRecord.TextPath.SetText(QStringLiteral("line.txt"));
    Press(kTestStart);
    ASSERT_TRUE(W().Running());
    EXPECT_EQ(W().ReadChars, kTextHeadBytes);
    EXPECT_EQ(W().textView->toPlainText(), QString(kTextHeadBytes, u'a'));
    Press(kTestStop);

    QByteArray lines;
    for (int i = 0; i < kMaxTextLines + 1; ++i) lines += "строка\n";
    p.Dir.Write(QStringLiteral("lines.txt"), lines + QByteArray(10, '\0'));
    p->SettingsRecord.TextPath.SetText(QStringLiteral("lines.txt"));
    Press(kTestStart);
    EXPECT_TRUE(W().Running());
    EXPECT_EQ(W().ReadChars, 2004);  // 334 lines of six letters
    Press(kTestStop);

    p.Dir.Write(QStringLiteral("nul.txt"), QByteArray(1999, 'b') + QByteArray(1, '\0') + QByteArray(5000, 'c'));
    p->SettingsRecord.TextPath.SetText(QStringLiteral("nul.txt"));
    Press(kTestStart);
    EXPECT_FALSE(W().Running());
    ASSERT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(QStringLiteral("нулевые байты")));
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

// A book's beginning is read off the GUI thread: the clock starts when it
// has been read; a book past the budget is one message and no clock.
TEST_F(ReadingSpeedTestWindowTest, ABookIsReadOffTheGuiThread) {
    p.Dir.Write(QStringLiteral("story.epub"), bookmaker::Epub(bookmaker::StoryBook(3, 4)));
    p.Dir.Write(QStringLiteral("attributes.fb2"), bookmaker::ManyAttributesFb2(50000));
    W().textLoad.QuickMs = 0;
    p->SettingsRecord.TextPath.SetText(QStringLiteral("story.epub"));
    Press(kTestStart);
    EXPECT_TRUE(W().textLoad.Running());
    EXPECT_FALSE(W().Running());
    W().textLoad.Finish();
    EXPECT_TRUE(W().Running());
    EXPECT_TRUE(W().textView->toPlainText().startsWith(QStringLiteral("Глава 1\nСтарый смотритель")));
    Press(kTestStop);

    p->SettingsRecord.TextPath.SetText(QStringLiteral("attributes.fb2"));
    Press(kTestStart);
    Press(kTestStart);
    W().textLoad.Finish();
    ASSERT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(QStringLiteral("больше 2000 атрибутов")));
    EXPECT_FALSE(W().Running());
}

}  // namespace
}  // namespace vistorel
