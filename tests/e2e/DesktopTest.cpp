// The real program on real desktops: a bare X server, X with a window manager
// that frames, raises and stacks windows (openbox), and Wayland (weston). On
// each the control panel stands wholly on the screen, the exercise window
// stays above the main window when the user clicks Pause there (a window
// manager raises the window clicked), and the file dialog of the add text
// window opens above it. The windows are found by the program's pictures.

#include "Desktop.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace vistorel {
namespace {

using e2e::Desktop;
using e2e::DesktopKind;
using e2e::ScreenUser;

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
// The workspace's exercise background.
const QRgb kExerciseBackground = qRgb(0xFD, 0xF5, 0xE6);
// Most of the exercise window's 647 x 320 points show its background.
constexpr int kExerciseSeen = 100000;

// The program started in a fresh workspace on a desktop.
class DesktopSession : public ::testing::Test {
protected:
    void Start(DesktopKind kind, int width, int height) {
        kind_ = kind;
        desktop_ = std::make_unique<Desktop>(kind, width, height);
        if (desktop_->Missing()) GTEST_SKIP() << "The desktop cannot run here: " << qPrintable(desktop_->Problem());
        ASSERT_TRUE(desktop_->Running()) << qPrintable(desktop_->Problem());
        user_ = std::make_unique<ScreenUser>(desktop_->Screen());
        ASSERT_TRUE(home_.isValid());
        workspace_ = QDir(home_.path()).filePath(QStringLiteral("workspace"));
        QProcess prepare;
        prepare.start(QStringLiteral(VISTOREL_WORKSPACE_TOOL),
                      {workspace_, test::ImagesDirectory(), test::DataDirectory() + QStringLiteral("/sample.txt")});
        ASSERT_TRUE(prepare.waitForFinished(e2e::kPatienceMs) && prepare.exitCode() == 0)
            << prepare.readAllStandardError().constData();
        program_.setProcessEnvironment(desktop_->ProgramEnvironment());
        program_.setWorkingDirectory(workspace_);
        e2e::EndWithThisProcess(program_);
        program_.start(QStringLiteral(VISTOREL_BINARY), {});
        ASSERT_TRUE(program_.waitForStarted(e2e::kPatienceMs)) << qPrintable(program_.errorString());
    }

    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished();
        }
    }

    // Where the picture comes up on the screen.
    std::optional<QPoint> WaitForPicture(const QString& name, int rows = 0) {
        const QImage picture = e2e::ProgramPicture(name);
        std::optional<QPoint> at;
        ScreenUser::WaitUntil([&] { return (at = e2e::FindPicture(user_->Screen(), picture, rows)).has_value(); });
        return at;
    }

    // The screen kept for the record, when VISTOREL_E2E_SHOTS names a folder.
    void Keep(const QImage& screen, const QString& name) {
        const QString folder = qEnvironmentVariable("VISTOREL_E2E_SHOTS");
        if (folder.isEmpty()) return;
        QDir().mkpath(folder);
        QString desktop = e2e::NameOf(kind_);
        desktop.replace(QLatin1Char(' '), QLatin1Char('-'));
        screen.save(QDir(folder).filePath(desktop + QLatin1Char('-') + name + QStringLiteral(".png")));
    }

    // Through the welcome window's button to the main window: where its
    // control panel is, once it stays there (a window manager may show the
    // window at its own size before it maximises it).
    std::optional<QPoint> EnterMainWindow() {
        const QImage panel = e2e::ProgramPicture(QStringLiteral("control.bmp"));
        const QImage button = e2e::ProgramPicture(QStringLiteral("start01.bmp"));
        std::optional<QPoint> at;
        std::optional<QPoint> before;
        ScreenUser::WaitUntil([&] {
            const QImage screen = user_->Screen();
            if ((at = e2e::FindPicture(screen, panel, 12))) {
                const bool still = before == at;
                before = at;
                return still;
            }
            // The button, clicked again while it is still there.
            if (const std::optional<QPoint> welcome = e2e::FindPicture(screen, button)) {
                user_->Click(*welcome + QPoint(50, 17));
            }
            return false;
        });
        return at;
    }

    // The panel's bottom rows too (the buttons stand on the rows between):
    // whatever the title bar, the panel is wholly on the screen.
    void ExpectWholePanel(QPoint panel, int screenHeight) {
        const QImage control = e2e::ProgramPicture(QStringLiteral("control.bmp"));
        const QImage bottom = control.copy(0, control.height() - 12, control.width(), 12);
        const QImage screen = user_->Screen();
        EXPECT_TRUE(e2e::PictureAt(screen, bottom, panel + QPoint(0, control.height() - 12)))
            << "the panel at " << panel.x() << ", " << panel.y() << " is cut off at the bottom";
        EXPECT_LE(panel.y() + control.height(), screenHeight);
        Keep(screen, QStringLiteral("panel-%1").arg(screenHeight));
    }

    std::string Said() {
        // What the program wrote comes in only while this one waits for it.
        while (program_.state() == QProcess::Running && program_.waitForReadyRead(200)) {
        }
        QString said = QString::fromLocal8Bit(program_.readAllStandardError()).trimmed();
        if (program_.state() == QProcess::NotRunning) {
            said += QStringLiteral(" [the program ended with exit code %1]").arg(program_.exitCode());
        }
        said += QStringLiteral(" [%1: %2]").arg(e2e::NameOf(kind_), desktop_->Said());
        return said.toStdString();
    }

    DesktopKind kind_ = DesktopKind::BareX;
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<ScreenUser> user_;
    QTemporaryDir home_;
    QString workspace_;
    QProcess program_;
};

class OnDesktop : public DesktopSession, public ::testing::WithParamInterface<DesktopKind> {
protected:
    void SetUp() override { Start(GetParam(), kScreenWidth, kScreenHeight); }
};

TEST_P(OnDesktop, ThePanelIsOnTheScreenAndWindowsStayAboveTheWindowsTheyWereOpenedFrom) {
    const std::optional<QPoint> panel = EnterMainWindow();
    ASSERT_TRUE(panel) << "the main window's control panel did not come up; " << Said();
    ExpectWholePanel(*panel, kScreenHeight);

    // Start: the exercise window with the text on its background.
    user_->Click(*panel + QPoint(50, 31));
    std::optional<QRect> exercise;
    ASSERT_TRUE(ScreenUser::WaitUntil(
        [&] { return (exercise = e2e::AreaOf(user_->Screen(), kExerciseBackground, kExerciseSeen)).has_value(); }))
        << "no exercise window came up; " << Said();

    // Pause on the main window, once the program sees the pointer over it
    // (the button lights): the exercise stops, and its window stays in front.
    // The pointer near the button's right end and the button's left part
    // looked at: a compositor shows its pointer in the screen.
    const QImage lit = e2e::ProgramPicture(QStringLiteral("pause1.bmp")).copy(0, 0, 36, 20);
    const QPoint pause = *panel + QPoint(326, 34);
    ASSERT_TRUE(ScreenUser::WaitUntil([&] {
        user_->Move(pause + QPoint(0, 1));
        user_->Move(pause + QPoint(1, 1));
        return e2e::PictureAt(user_->Screen(), lit, *panel + QPoint(275, 18));
    })) << "the pointer over Pause did not light it; " << Said();
    user_->Click(pause);
    QImage before = user_->Screen().copy(*exercise);
    QElapsedTimer still;
    still.start();
    int seen = 0;
    // Stopped: the window shows the same for longer than a step (a second).
    const bool stopped = ScreenUser::WaitUntil([&] {
        const QImage screen = user_->Screen();
        seen = e2e::PixelsOf(screen, *exercise, kExerciseBackground);
        if (seen < kExerciseSeen) return true;  // covered: no need to wait on
        const QImage now = screen.copy(*exercise);
        if (now != before) {
            before = now;
            still.restart();
        }
        return still.elapsed() > 1500;
    });
    const QImage paused = user_->Screen();
    Keep(paused, QStringLiteral("paused"));
    EXPECT_GE(seen, kExerciseSeen) << "the main window came over the exercise window after Pause; " << Said();
    EXPECT_TRUE(stopped) << "Pause did not stop the exercise; " << Said();

    // Quit, Texts, Add: the add text window; its folder button opens the file dialog.
    user_->Click(*panel + QPoint(432, 28));
    ASSERT_TRUE(ScreenUser::WaitUntil([&] { return !e2e::AreaOf(user_->Screen(), kExerciseBackground, 1000); }))
        << "Quit left the exercise window up";
    user_->Click(*panel + QPoint(128, 60));
    const std::optional<QPoint> managerTitle = WaitForPicture(QStringLiteral("editor0010.bmp"));
    ASSERT_TRUE(managerTitle) << "the text manager did not come up; " << Said();
    user_->Click(*managerTitle - QPoint(2, 2) + QPoint(200, 307));
    const std::optional<QPoint> adderTitle = WaitForPicture(QStringLiteral("new0010.bmp"));
    ASSERT_TRUE(adderTitle) << "the add text window did not come up; " << Said();
    const QRect adder(*adderTitle - QPoint(2, 2), QSize(427, 344));
    const QImage shown = user_->Screen().copy(adder);
    user_->Click(adder.topLeft() + QPoint(395, 139));
    // Above it: the dialog covers a good part of it (on X centred on it, on
    // Wayland where the compositor puts it). Below it, the add text window
    // would look as it did but for its button and its field, a few hundred points.
    int covered = 0;
    const bool above = ScreenUser::WaitUntil([&] {
        covered = e2e::PointsChanged(user_->Screen().copy(adder), shown);
        return covered > 10000;
    });
    Keep(user_->Screen(), QStringLiteral("dialog"));
    EXPECT_TRUE(above) << "the file dialog did not open above the add text window (" << covered
                       << " of its points covered); " << Said();
    user_->Keys({QStringLiteral("Escape")});
    EXPECT_TRUE(ScreenUser::WaitUntil([&] { return e2e::PointsChanged(user_->Screen().copy(adder), shown) < 2000; }))
        << "Escape did not close the file dialog";
}

// At 1024 x 768 under a window manager, each window stands wholly on the
// screen, frame and buttons included: the panel, and the statistics window,
// designed larger than the screen leaves room for, moved and shrunk onto it.
class SmallScreen : public DesktopSession {
protected:
    void SetUp() override { Start(DesktopKind::Openbox, kWidth, kHeight); }
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;
};

TEST_F(SmallScreen, EveryWindowStandsOnTheScreen) {
    const std::optional<QPoint> panel = EnterMainWindow();
    ASSERT_TRUE(panel) << "the main window's control panel did not come up; " << Said();
    ExpectWholePanel(*panel, kHeight);
    const std::optional<QRect> main = e2e::ClientRectOf(desktop_->Screen(), QStringLiteral("Vistorel 4.0"));
    ASSERT_TRUE(main);

    // The statistics from the menu: Файл, three menus on, the fifth item.
    user_->Click(main->topLeft() + QPoint(25, 10));
    user_->Keys({QStringLiteral("Right"), QStringLiteral("Right"), QStringLiteral("Right"), QStringLiteral("Down"),
                 QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
    std::optional<QRect> statistics;
    const QRect screen(0, 0, kWidth, kHeight);
    // Once the window manager has framed it, it stands (client area and the
    // frame around it, which openbox draws a few points wide) on the screen.
    EXPECT_TRUE(ScreenUser::WaitUntil([&] {
        statistics = e2e::ClientRectOf(desktop_->Screen(), QStringLiteral("Статистика"));
        return statistics && screen.contains(statistics->adjusted(-1, -30, 1, 1));
    })) << "the statistics window does not stand on the screen: "
        << (statistics ? QStringLiteral("%1, %2, %3 x %4").arg(statistics->x()).arg(statistics->y()).arg(statistics->width()).arg(statistics->height())
                       : QStringLiteral("not shown")).toStdString()
        << "; " << Said();
    Keep(user_->Screen(), QStringLiteral("1024x768-statistics"));
}

INSTANTIATE_TEST_SUITE_P(Desktops, OnDesktop,
                         ::testing::Values(DesktopKind::BareX, DesktopKind::Openbox, DesktopKind::Weston),
                         [](const ::testing::TestParamInfo<DesktopKind>& info) {
                             switch (info.param) {
                                 case DesktopKind::BareX: return std::string("BareX");
                                 case DesktopKind::Openbox: return std::string("Openbox");
                                 case DesktopKind::Weston: return std::string("Weston");
                             }
                             return std::string();
                         });

}  // namespace
}  // namespace vistorel
