// The main window: its painting, the hover images of the control panel, the
// click dispatch with exclusive rectangles, and the exit button.

#include "app/MainWindow.h"

#include "app/Program.h"
#include "dialogs/PreferencesWindow.h"
#include "dialogs/WelcomeWindow.h"
#include "dialogs/AboutWindow.h"
#include "engine/ExerciseWindow.h"
#include "library/TextManagerWindow.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QWidget>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

using test::ProgramUnderTest;

constexpr TColor kMarker = 0x123456;

QImage Picture(const QString& file) { return QImage(QDir(test::ImagesDirectory()).filePath(file)); }

TColor PicturePixel(const QString& file, int x, int y) { return FromRgb(Picture(file).pixel(x, y)); }

// Whether the surface shows the picture with its top-left corner at (x, y);
// the parts outside the surface are not compared.
::testing::AssertionResult Shows(Form& form, int x, int y, const QString& file) {
    const QImage picture = Picture(file);
    if (picture.isNull()) return ::testing::AssertionFailure() << "cannot read " << file.toStdString();
    for (int py = 0; py < picture.height(); ++py) {
        for (int px = 0; px < picture.width(); ++px) {
            const int sx = x + px;
            const int sy = y + py;
            if (sx < 0 || sy < 0 || sx >= form.ClientWidth() || sy >= form.ClientHeight()) continue;
            if (form.Canvas.Pixel(sx, sy) != FromRgb(picture.pixel(px, py))) {
                return ::testing::AssertionFailure() << file.toStdString() << " not shown at " << x << ", " << y
                                                     << ": differs at " << sx << ", " << sy;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// Records the windows as they are shown, by caption.
class ShowRecorder : public QObject {
public:
    void Watch(Form& form) { form.Widget()->installEventFilter(this); }
    QStringList Shown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) Shown.append(static_cast<QWidget*>(watched)->windowTitle());
        return false;
    }
};

// The main window shown maximised on the 1280 x 1024 test screen.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QCursor::setPos(-1000, -1000);
        Main().ShowMaximized();
        QCoreApplication::processEvents();
        Main().Repaint();
        ASSERT_EQ(Main().ClientWidth(), 1280);
        // The outer height includes the menu bar above the surface.
        ASSERT_EQ(Main().Height(), 1024);
        ASSERT_EQ(Main().ClientHeight(), 1024 - Main().menu.Bar()->height());
    }

    MainWindow& Main() { return *p->mainWindow; }
    int X(int dx) { return Main().PanelX + dx; }
    int Y(int dy) { return Main().PanelY + dy; }
    // Pointer and clicks at positions relative to the control panel.
    void Move(int dx, int dy) { Main().FormMouseMove(X(dx), Y(dy)); }
    void Click(int dx, int dy) {
        p.Test.App.Guard([&] { Main().FormMouseDown(MouseButton::Left, X(dx), Y(dy)); });
        p.Test.App.Guard([&] { Main().FormMouseUp(MouseButton::Left, X(dx), Y(dy)); });
    }
    bool ShowsAt(int dx, int dy, const char* file) { return Shows(Main(), X(dx), Y(dy), QString::fromLatin1(file)); }

    ProgramUnderTest p;
};

// A paint tiles the background over the whole window, puts the control panel
// at the bottom centre with the normal images of the idle buttons, and blanks
// the exercise area.
TEST_F(MainWindowTest, PaintShowsTilesControlPanelAndIdleButtons) {
    EXPECT_TRUE(Main().Maximized());
    EXPECT_EQ(Main().Width(), 1280);
    EXPECT_EQ(Main().Height(), 1024);
    EXPECT_EQ(Main().PanelX, 360);
    EXPECT_EQ(Main().PanelY, 903);

    const QString tile = QStringLiteral("bgrnd.bmp");
    EXPECT_EQ(Main().Canvas.Pixel(0, 0), PicturePixel(tile, 0, 0));
    EXPECT_EQ(Main().Canvas.Pixel(64 + 3, 5), PicturePixel(tile, 3, 5));
    EXPECT_EQ(Main().Canvas.Pixel(1279, 0), PicturePixel(tile, 1279 % 64, 0));
    const int bottom = Main().ClientHeight() - 1;
    EXPECT_EQ(Main().Canvas.Pixel(1279, bottom), PicturePixel(tile, 63, bottom % 64));
    EXPECT_EQ(Main().Canvas.Pixel(5, bottom), PicturePixel(tile, 5, bottom % 64));

    // The whole panel picture is on the surface, also below the menu bar.
    const QString control = QStringLiteral("control.bmp");
    for (const QPoint at : {QPoint(0, 0), QPoint(559, 99), QPoint(5, 5), QPoint(200, 95), QPoint(540, 90)}) {
        EXPECT_EQ(Main().Canvas.Pixel(X(at.x()), Y(at.y())), PicturePixel(control, at.x(), at.y())) << at.x() << ", " << at.y();
    }
    EXPECT_TRUE(ShowsAt(8, 16, "begin.bmp"));
    EXPECT_TRUE(ShowsAt(92, 16, "options.bmp"));
    EXPECT_TRUE(ShowsAt(172, 16, "exit.bmp"));
    EXPECT_TRUE(ShowsAt(8, 46, "about.bmp"));
    EXPECT_TRUE(ShowsAt(86, 46, "select.bmp"));

    // The exercise area is blank: no exercise buttons, no speed bar.
    for (int dy = 18; dy < 70; dy += 7) {
        for (int dx = 259; dx < 530; dx += 9) ASSERT_EQ(Main().Canvas.Pixel(X(dx), Y(dy)), clBlack) << dx << ", " << dy;
    }
}

// Each image is drawn once on entering a button and once on leaving it, not
// at every move.
TEST_F(MainWindowTest, HoverDrawsOnceOnEnteringAndOnceOnLeaving) {
    ASSERT_FALSE(ShowsAt(8, 16, "begin1.bmp"));
    Move(20, 20);
    EXPECT_TRUE(Main().Hovered(kStart));
    EXPECT_TRUE(ShowsAt(8, 16, "begin1.bmp"));
    EXPECT_TRUE(ShowsAt(92, 16, "options.bmp"));

    Main().Canvas.SetPixel(X(50), Y(30), kMarker);
    Move(60, 40);
    Move(9, 17);
    Move(91, 45);
    EXPECT_TRUE(Main().Hovered(kStart));
    EXPECT_EQ(Main().Canvas.Pixel(X(50), Y(30)), kMarker) << "the hover image was drawn again";

    Move(120, 30);  // over Preferences
    EXPECT_FALSE(Main().Hovered(kStart));
    EXPECT_TRUE(Main().Hovered(kPreferences));
    EXPECT_TRUE(ShowsAt(8, 16, "begin.bmp"));
    EXPECT_TRUE(ShowsAt(92, 16, "options1.bmp"));

    Move(400, 130);  // off every button
    EXPECT_FALSE(Main().Hovered(kPreferences));
    EXPECT_TRUE(ShowsAt(92, 16, "options.bmp"));
    Main().Canvas.SetPixel(X(50), Y(30), kMarker);
    Main().Canvas.SetPixel(X(120), Y(30), kMarker);
    Move(401, 131);
    Move(0, 0);
    EXPECT_EQ(Main().Canvas.Pixel(X(50), Y(30)), kMarker) << "the normal image was drawn again";
    EXPECT_EQ(Main().Canvas.Pixel(X(120), Y(30)), kMarker) << "the normal image was drawn again";
}

// While an exercise runs only the exercise buttons light up, and every move
// inside Quit redraws the items beside it (Next, the separator, the speed bar
// frame but not the bar inside it); leaving Quit redraws them once more.
TEST_F(MainWindowTest, QuitRedrawsItsNeighboursAtEveryMove) {
    p->ExerciseActive = true;
    Main().Repaint();
    ASSERT_TRUE(ShowsAt(345, 18, "next.bmp"));
    ASSERT_TRUE(ShowsAt(405, 18, "quit.bmp"));
    ASSERT_EQ(Main().Canvas.Pixel(X(460), Y(50)), clAccent);
    ASSERT_EQ(Main().Canvas.Pixel(X(500), Y(20)), clAccent);
    const auto mark = [this] {
        for (const QPoint at : {QPoint(370, 28), QPoint(460, 50), QPoint(500, 20), QPoint(500, 27), QPoint(420, 25)}) {
            Main().Canvas.SetPixel(X(at.x()), Y(at.y()), kMarker);
        }
    };
    const auto redrawn = [this] {
        return ShowsAt(345, 18, "next.bmp") && Main().Canvas.Pixel(X(460), Y(50)) == clAccent &&
               Main().Canvas.Pixel(X(500), Y(20)) == clAccent;
    };

    mark();
    Move(430, 28);
    EXPECT_TRUE(Main().Hovered(kQuit));
    EXPECT_TRUE(ShowsAt(405, 18, "quit1.bmp"));
    EXPECT_TRUE(redrawn());
    EXPECT_EQ(Main().Canvas.Pixel(X(500), Y(27)), kMarker) << "the speed bar is not the frame's to redraw";

    mark();
    Move(431, 29);
    EXPECT_TRUE(redrawn()) << "a move inside Quit redraws its neighbours every time";
    EXPECT_EQ(Main().Canvas.Pixel(X(420), Y(25)), kMarker) << "the hover image was drawn again";

    mark();
    Move(300, 120);
    EXPECT_FALSE(Main().Hovered(kQuit));
    EXPECT_TRUE(ShowsAt(405, 18, "quit.bmp"));
    EXPECT_TRUE(redrawn());

    mark();
    Move(301, 121);
    EXPECT_EQ(Main().Canvas.Pixel(X(370), Y(28)), kMarker);
    EXPECT_EQ(Main().Canvas.Pixel(X(460), Y(50)), kMarker);

    Move(405, 64);
    EXPECT_TRUE(Main().Hovered(kJump));
    EXPECT_TRUE(ShowsAt(380, 48, "jump1.bmp"));
    Move(50, 30);
    EXPECT_FALSE(Main().Hovered(kJump));
    EXPECT_FALSE(Main().Hovered(kStart));
    EXPECT_TRUE(ShowsAt(8, 16, "begin.bmp"));
}

// A repaint while the pointer rests on a button shows the normal image and
// keeps the flag: the hover image comes back only after leaving and re-entering.
TEST_F(MainWindowTest, RepaintWhileHoveredShowsTheNormalImageAndKeepsTheFlag) {
    Move(200, 30);  // Exit
    ASSERT_TRUE(ShowsAt(172, 16, "exit1.bmp"));
    Main().Repaint();
    EXPECT_TRUE(Main().Hovered(kExit));
    EXPECT_TRUE(ShowsAt(172, 16, "exit.bmp"));
    Move(201, 31);
    EXPECT_TRUE(ShowsAt(172, 16, "exit.bmp"));
    Move(300, 130);
    EXPECT_FALSE(Main().Hovered(kExit));
    Move(200, 30);
    EXPECT_TRUE(ShowsAt(172, 16, "exit1.bmp"));
}

// Rectangles exclude all four bounds: a click on a border does nothing, one
// pixel inside runs the action.
TEST_F(MainWindowTest, ClickRectanglesExcludeTheirBorders) {
    for (const QPoint at : {QPoint(8, 30), QPoint(50, 16), QPoint(92, 30), QPoint(50, 46), QPoint(172, 30),
                            QPoint(255, 30), QPoint(130, 16), QPoint(200, 46), QPoint(8, 60), QPoint(172, 60),
                            QPoint(50, 76), QPoint(130, 76)}) {
        Click(at.x(), at.y());
        EXPECT_FALSE(p->ExerciseActive) << at.x() << ", " << at.y();
        EXPECT_FALSE(p->preferencesWindow->Visible()) << at.x() << ", " << at.y();
        EXPECT_FALSE(p->aboutWindow->Visible()) << at.x() << ", " << at.y();
        EXPECT_FALSE(p->textManager->Visible()) << at.x() << ", " << at.y();
        EXPECT_FALSE(p.Test.App.Terminated()) << at.x() << ", " << at.y();
    }
    Main().FormMouseMove(X(8), Y(30));
    EXPECT_FALSE(Main().Hovered(kStart));
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());

    // One pixel inside: the start runs (and reports that no text is chosen).
    Click(9, 30);
    EXPECT_EQ(p.Test.Errors.Messages.size(), 1);
}

// About and Texts overlap for 86 < x < 92: a pointer there lights both, and a
// click there shows the text manager, then the about window.
TEST_F(MainWindowTest, AboutAndTextsOverlap) {
    Move(89, 60);
    EXPECT_TRUE(Main().Hovered(kAbout));
    EXPECT_TRUE(Main().Hovered(kTexts));
    EXPECT_TRUE(ShowsAt(8, 46, "about1.bmp"));
    EXPECT_TRUE(ShowsAt(86, 46, "select1.bmp"));
    Move(87, 47);
    EXPECT_TRUE(Main().Hovered(kAbout) && Main().Hovered(kTexts));
    Move(92, 60);
    EXPECT_FALSE(Main().Hovered(kAbout));
    EXPECT_TRUE(Main().Hovered(kTexts));
    EXPECT_TRUE(ShowsAt(8, 46, "about.bmp"));

    ShowRecorder recorder;
    recorder.Watch(*p->aboutWindow);
    recorder.Watch(*p->textManager);
    Click(89, 60);
    EXPECT_TRUE(p->aboutWindow->Visible());
    EXPECT_TRUE(p->textManager->Visible());
    EXPECT_EQ(recorder.Shown, QStringList({QStringLiteral("Text manager"), QStringLiteral("About")}));
    EXPECT_FALSE(p->ExerciseActive);
}

// With a window narrower than the panel the origin is negative and every
// rectangle and image follows it.
TEST(MainWindowNarrow, PanelOriginFollowsTheWindowSize) {
    ProgramUnderTest p;
    QCursor::setPos(-1000, -1000);
    MainWindow& main = *p->mainWindow;
    main.Show();
    main.SetOuterSize(401, 300);
    QCoreApplication::processEvents();
    main.Repaint();
    ASSERT_EQ(main.Width(), 401);
    ASSERT_EQ(main.Height(), 300);
    EXPECT_EQ(main.PanelX, 401 / 2 - 280);
    // 150 rows above the designed bottom: the 280 client rows, a 20-row menu
    // bar and the 29 rows of the frame, whatever frame the window really has.
    EXPECT_EQ(main.PanelY, 179);
    EXPECT_EQ(main.Canvas.Pixel(0, 179), PicturePixel(QStringLiteral("control.bmp"), 80, 0));
    EXPECT_TRUE(Shows(main, -72, 195, QStringLiteral("begin.bmp")));

    const HitRect start = main.ButtonRect(kStart);
    EXPECT_EQ(start.Left, -72);
    EXPECT_EQ(start.Right, 12);
    main.FormMouseMove(5, 209);
    EXPECT_TRUE(main.Hovered(kStart));
    EXPECT_TRUE(Shows(main, -72, 195, QStringLiteral("begin1.bmp")));

    // Texts (86..172) starts at x = 6 and About ends at x = 12.
    main.FormMouseMove(10, 229);
    EXPECT_TRUE(main.Hovered(kAbout) && main.Hovered(kTexts));
    // A start (here reporting that no text is chosen) tells where Start ends.
    p.Test.App.Guard([&] { main.FormMouseDown(MouseButton::Left, 12, 209); });
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
    p.Test.App.Guard([&] { main.FormMouseDown(MouseButton::Left, 11, 209); });
    EXPECT_EQ(p.Test.Errors.Messages.size(), 1);
}

// While an exercise runs the idle buttons are not examined: moves leave their
// flags and images as they are, clicks do nothing.
TEST_F(MainWindowTest, IdleButtonsIgnoreTheMouseWhileAnExerciseRuns) {
    Move(20, 20);  // Start lit before the exercise
    ASSERT_TRUE(Main().Hovered(kStart));
    p->ExerciseActive = true;
    Move(120, 30);  // over Preferences, away from Start
    EXPECT_TRUE(Main().Hovered(kStart));
    EXPECT_TRUE(ShowsAt(8, 16, "begin1.bmp"));
    EXPECT_FALSE(Main().Hovered(kPreferences));
    EXPECT_TRUE(ShowsAt(92, 16, "options.bmp"));
    Move(50, 60);
    EXPECT_FALSE(Main().Hovered(kAbout));
    EXPECT_TRUE(ShowsAt(8, 46, "about.bmp"));

    for (const QPoint at : {QPoint(50, 30), QPoint(120, 30), QPoint(200, 30), QPoint(50, 60), QPoint(130, 60), QPoint(89, 60)}) {
        Click(at.x(), at.y());
    }
    EXPECT_FALSE(p->preferencesWindow->Visible());
    EXPECT_FALSE(p->aboutWindow->Visible());
    EXPECT_FALSE(p->exerciseWindow->Visible());
    EXPECT_FALSE(p->textManager->Visible());
    EXPECT_FALSE(p.Test.App.Terminated());
    EXPECT_FALSE(p.Dir.Exists(QStringLiteral("Vistorel.ini")));
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << p.Test.Errors.Messages.join('\n').toStdString();
    EXPECT_TRUE(Main().Visible());
}

// The Jump click reacts in every state: with no exercise running it still
// runs the jump action, which pauses the exercise window; its hover does not.
TEST_F(MainWindowTest, JumpClickReactsWithNoExerciseRunning) {
    Move(405, 64);
    EXPECT_FALSE(Main().Hovered(kJump));
    EXPECT_EQ(Main().Canvas.Pixel(X(405), Y(64)), clBlack);

    p->exerciseWindow->stepTimer.SetEnabled(true);
    p->exerciseWindow->stageTimer.SetEnabled(true);
    Click(380, 64);  // on the border: nothing
    EXPECT_TRUE(p->exerciseWindow->stepTimer.Enabled());
    EXPECT_TRUE(p->exerciseWindow->stageTimer.Enabled());
    Click(405, 64);
    EXPECT_FALSE(p->exerciseWindow->stepTimer.Enabled());
    EXPECT_FALSE(p->exerciseWindow->stageTimer.Enabled());
    EXPECT_FALSE(p->ExerciseActive);

    // The other exercise buttons stay silent while idle.
    p->exerciseWindow->stepTimer.SetEnabled(true);
    Click(300, 28);  // Pause
    Click(370, 28);  // Next
    Click(430, 28);  // Quit
    EXPECT_TRUE(p->exerciseWindow->stepTimer.Enabled());
    EXPECT_FALSE(Main().moveTimer.Enabled());
    p->exerciseWindow->stepTimer.SetEnabled(false);
}

// The Exit button ends the program as closing the window does: the settings
// are written and the program terminates.
TEST_F(MainWindowTest, ExitButtonClosesTheProgram) {
    Move(200, 30);
    ASSERT_TRUE(Main().Hovered(kExit));
    Click(200, 30);
    EXPECT_EQ(p.Dir.Read(QStringLiteral("Vistorel.ini")), QByteArray(220, '\0'));
    EXPECT_TRUE(p.Test.App.Terminated());
    EXPECT_FALSE(Main().Visible());
    EXPECT_FALSE(p->welcomeWindow->Visible());
}

// The exercise's progress stands in 9-point type on one line along the
// bottom of the panel: inside the panel's picture, below every button, and
// wide enough for the longest line it can show.
TEST_F(MainWindowTest, TheProgressLineFitsThePanelBelowItsButtons) {
    const QLabel* line = Main().progress.panelLabel.Widget();
    EXPECT_EQ(Main().progress.panelLabel.Font().Size(), 9);
    const QRect strip = line->geometry();
    EXPECT_TRUE(QRect(X(0), Y(0), 560, 100).contains(strip)) << strip.x() << ", " << strip.y();
    for (int b = 0; b < kMainButtonCount; ++b) {
        EXPECT_GE(strip.top(), Main().ButtonRect(static_cast<MainButton>(b)).Bottom) << b;
    }
    const QString longest = QStringLiteral("пауза · 9999 слов/мин · строка 20000 из 20000, 100 % · осталось 9999 мин");
    EXPECT_LE(line->fontMetrics().horizontalAdvance(longest), strip.width());
    EXPECT_GE(strip.height(), line->fontMetrics().height());
}

}  // namespace
}  // namespace vistorel
