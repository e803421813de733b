// The welcome window: its size and paint, the opening and closing animation
// of its button, and the click that leads to the main window.

#include "dialogs/WelcomeWindow.h"

#include "app/Program.h"
#include "app/MainWindow.h"
#include "dialogs/PreferencesWindow.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

using test::ProgramUnderTest;

QString FrameFile(int n) { return QStringLiteral("start%1.bmp").arg(n, 2, 10, QLatin1Char('0')); }

// Whether the surface shows the picture with its top-left corner at (x, y).
::testing::AssertionResult Shows(Form& form, int x, int y, const QString& file) {
    const QImage picture(QDir(test::ImagesDirectory()).filePath(file));
    if (picture.isNull()) return ::testing::AssertionFailure() << "cannot read " << file.toStdString();
    for (int py = 0; py < picture.height(); ++py) {
        for (int px = 0; px < picture.width(); ++px) {
            if (form.Canvas.Pixel(x + px, y + py) != FromRgb(picture.pixel(px, py))) {
                return ::testing::AssertionFailure() << file.toStdString() << " not shown: differs at " << x + px
                                                     << ", " << y + py;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ShowsFrame(Form& form, int n) { return Shows(form, 150, 251, FrameFile(n)); }

// The welcome window as the program shows it at start.
class WelcomeWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QCursor::setPos(-1000, -1000);
        W().Show();
        QCoreApplication::processEvents();
        W().Repaint();
    }
    WelcomeWindow& W() { return *p->welcomeWindow; }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) W().OnAnimationTick();
    }
    void Enter() { W().FormMouseMove(200, 260); }
    void Leave() { W().FormMouseMove(20, 20); }

    ProgramUnderTest p;
};

// The window has the client size of its definition and paints the logo and
// the first button frame.
TEST_F(WelcomeWindowTest, PaintShowsTheLogoAndTheFirstFrame) {
    EXPECT_EQ(W().ClientWidth(), 401);
    EXPECT_EQ(W().ClientHeight(), 285);
    EXPECT_EQ(W().Width(), 401);
    EXPECT_EQ(W().Height(), 285);
    EXPECT_EQ(W().Left(), 137);
    EXPECT_EQ(W().Top(), 25);
    EXPECT_TRUE(W().Visible());
    EXPECT_TRUE(Shows(W(), 0, 0, QStringLiteral("vistorlogo.bmp")));
    EXPECT_TRUE(ShowsFrame(W(), 1));
    EXPECT_FALSE(ShowsFrame(W(), 2));
    EXPECT_EQ(W().animationTimer.Interval(), 100);
    EXPECT_FALSE(W().animationTimer.Enabled());
    EXPECT_EQ(W().WelcomeFrame, 0);
    EXPECT_FALSE(p->mainWindow->Visible());
}

// Entering the closed button plays frames 1 to 13 and holds the last one;
// leaving plays 12 down to 1 and makes the button ready for the next opening.
TEST_F(WelcomeWindowTest, ButtonOpensOnEnteringAndClosesOnLeaving) {
    W().FormMouseMove(150, 260);  // on the left border: outside
    W().FormMouseMove(200, 250);  // on the top border: outside
    EXPECT_FALSE(W().animationTimer.Enabled());
    EXPECT_EQ(W().Surface()->cursor().shape(), Qt::ArrowCursor);
    Enter();
    EXPECT_TRUE(W().animationTimer.Enabled());
    EXPECT_EQ(W().Surface()->cursor().shape(), Qt::PointingHandCursor);
    for (int n = 1; n <= 13; ++n) {
        Ticks(1);
        ASSERT_EQ(W().WelcomeFrame, n);
        ASSERT_TRUE(ShowsFrame(W(), n));
        ASSERT_EQ(W().animationTimer.Enabled(), n < 13) << "after tick " << n;
    }
    Enter();
    Ticks(3);  // stray ticks change nothing while open
    EXPECT_EQ(W().WelcomeFrame, 13);
    EXPECT_FALSE(W().animationTimer.Enabled());

    Leave();
    EXPECT_TRUE(W().animationTimer.Enabled());
    EXPECT_EQ(W().Surface()->cursor().shape(), Qt::ArrowCursor);
    for (int n = 12; n >= 2; --n) {
        Ticks(1);
        ASSERT_EQ(W().WelcomeFrame, n);
        ASSERT_TRUE(ShowsFrame(W(), n));
        ASSERT_TRUE(W().animationTimer.Enabled());
    }
    Ticks(1);
    EXPECT_TRUE(ShowsFrame(W(), 1));
    EXPECT_EQ(W().WelcomeFrame, 0);
    EXPECT_FALSE(W().animationTimer.Enabled());

    // Ready for the next opening.
    Enter();
    EXPECT_TRUE(W().animationTimer.Enabled());
    Ticks(1);
    EXPECT_EQ(W().WelcomeFrame, 1);
}

// Neither leaving during the opening nor entering during the closing
// interrupts the animation; the button closes at the next move outside.
TEST_F(WelcomeWindowTest, AnimationIsNotInterrupted) {
    Enter();
    Ticks(5);
    Leave();
    EXPECT_EQ(W().WelcomeFrame, 5);
    EXPECT_TRUE(W().animationTimer.Enabled());
    Ticks(8);
    EXPECT_EQ(W().WelcomeFrame, 13);
    EXPECT_TRUE(ShowsFrame(W(), 13));
    EXPECT_FALSE(W().animationTimer.Enabled());
    Ticks(1);
    EXPECT_EQ(W().WelcomeFrame, 13);

    Leave();
    Ticks(4);
    EXPECT_EQ(W().WelcomeFrame, 9);
    Enter();
    EXPECT_TRUE(W().animationTimer.Enabled());
    Ticks(7);
    EXPECT_EQ(W().WelcomeFrame, 2);
    Ticks(1);
    EXPECT_EQ(W().WelcomeFrame, 0);
    EXPECT_FALSE(W().animationTimer.Enabled());
}

// A repaint while the button is open shows frame 1 until the next step.
TEST_F(WelcomeWindowTest, RepaintWhileOpenShowsTheFirstFrame) {
    Enter();
    Ticks(13);
    ASSERT_TRUE(ShowsFrame(W(), 13));
    W().Repaint();
    EXPECT_TRUE(ShowsFrame(W(), 1));
    EXPECT_TRUE(Shows(W(), 0, 0, QStringLiteral("vistorlogo.bmp")));
    EXPECT_EQ(W().WelcomeFrame, 13);
    Leave();
    Ticks(1);
    EXPECT_TRUE(ShowsFrame(W(), 12));
}

// A click inside the button hides the welcome window and shows the main
// window maximised, whatever the animation position; a click on the
// rectangle's border or outside it does nothing.
TEST(WelcomeClick, OpensTheMainWindowAtAnyAnimationPosition) {
    const std::function<void(WelcomeWindow&)> positions[] = {
        [](WelcomeWindow&) {},                                                                    // closed
        [](WelcomeWindow& w) { w.FormMouseMove(200, 260); for (int i = 0; i < 6; ++i) w.OnAnimationTick(); },  // opening
        [](WelcomeWindow& w) { w.FormMouseMove(200, 260); for (int i = 0; i < 13; ++i) w.OnAnimationTick(); },  // open
        [](WelcomeWindow& w) {                                                                    // closing
            w.FormMouseMove(200, 260);
            for (int i = 0; i < 13; ++i) w.OnAnimationTick();
            w.FormMouseMove(10, 10);
            for (int i = 0; i < 4; ++i) w.OnAnimationTick();
        },
    };
    int position = 0;
    for (const auto& prepare : positions) {
        SCOPED_TRACE(position++);
        ProgramUnderTest p;
        QCursor::setPos(-1000, -1000);
        WelcomeWindow& welcome = *p->welcomeWindow;
        welcome.Show();
        prepare(welcome);
        for (const QPoint at : {QPoint(150, 260), QPoint(250, 260), QPoint(200, 250), QPoint(200, 285), QPoint(10, 10),
                                QPoint(200, 100)}) {
            welcome.FormMouseDown(MouseButton::Right, at.x(), at.y());
            ASSERT_TRUE(welcome.Visible()) << at.x() << ", " << at.y();
            ASSERT_FALSE(p->mainWindow->Visible()) << at.x() << ", " << at.y();
        }
        // A press of any button, as the window system delivers it to the client area.
        QTest::mousePress(welcome.Surface(), Qt::RightButton, {}, QPoint(249, 284));
        EXPECT_FALSE(welcome.Visible());
        EXPECT_TRUE(p->mainWindow->Visible());
        EXPECT_TRUE(p->mainWindow->Maximized());
        EXPECT_EQ(p->mainWindow->Width(), 1280);
        EXPECT_EQ(p->mainWindow->Height(), 1024);
        EXPECT_EQ(p->mainWindow->PanelX, 360);
        EXPECT_EQ(p->mainWindow->PanelY, 903);
        EXPECT_FALSE(p.Test.App.Terminated());
        EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
    }
}

// Entering through the welcome window gives the preferences window its
// captions; the level list is refilled and filling selects the level again.
TEST(WelcomeClick, SetsThePreferencesCaptions) {
    ProgramUnderTest p;
    p->SettingsRecord.Level = 2;
    p->welcomeWindow->Show();
    p->welcomeWindow->FormMouseDown(MouseButton::Left, 200, 260);
    PreferencesWindow& preferences = *p->preferencesWindow;
    EXPECT_EQ(preferences.fontHeading.Caption(), QStringLiteral("Шрифт"));
    EXPECT_EQ(preferences.levelHeading.Caption(), QStringLiteral("Сложность"));
    EXPECT_EQ(preferences.backColorHeading.Caption(), QStringLiteral("Фон"));
    EXPECT_EQ(preferences.customSizeButton->text(), QStringLiteral("Выбор пользователем"));
    EXPECT_EQ(preferences.smartDividerBox->text(), QStringLiteral("Умный делитель строк"));
    EXPECT_TRUE(preferences.usePictureBox->text().isEmpty());
    EXPECT_EQ(preferences.sampleLabel->text(), QStringLiteral("ПРИМЕР ТЕКСТА"));
    ASSERT_EQ(preferences.levelList->count(), 4);
    EXPECT_EQ(preferences.levelList->item(0)->text(), QStringLiteral("Для начинающих "));
    EXPECT_EQ(preferences.levelList->item(3)->text(), QStringLiteral("Режим просмотра"));
    // The captions fit the window's width.
    EXPECT_LE(preferences.customSizeButton->x() + preferences.customSizeButton->sizeHint().width(), 385);
    preferences.FillPreferences();
    EXPECT_EQ(preferences.levelList->currentRow(), 2);
}

}  // namespace
}  // namespace vistorel

namespace vistorel {
namespace {

// A picture that fails does not stop the window's set-up: the other pictures
// still load, the launcher is still written, and the failure is reported once.
TEST(WelcomeWindowStart, OneMissingPictureStopsNothingElse) {
    ProgramUnderTest p(
        [](test::StartDirectory& dir) {
            QDir(dir.Path()).remove(QStringLiteral("images"));
            QDir(dir.Path()).mkdir(QStringLiteral("images"));
            for (const QString& name : QDir(test::ImagesDirectory()).entryList(QDir::Files)) {
                if (name == FrameFile(1)) continue;
                QFile::link(QDir(test::ImagesDirectory()).filePath(name), dir.File(QStringLiteral("images/") + name));
            }
        });
    ASSERT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(FrameFile(1))) << qPrintable(p.Test.Errors.Messages[0]);
    EXPECT_EQ(p.Dir.Read(QStringLiteral("Vistor.bat")), QByteArray("@echo off\r\nVistor.exe\r\n"));
    WelcomeWindow& w = *p->welcomeWindow;
    w.Show();
    w.Repaint();
    EXPECT_TRUE(Shows(w, 0, 0, QStringLiteral("vistorlogo.bmp")));
    w.FormMouseMove(200, 260);
    for (int i = 0; i < 13; ++i) w.OnAnimationTick();
    EXPECT_TRUE(ShowsFrame(w, 13));
}

}  // namespace
}  // namespace vistorel
