// The real program on a real X server, used as a user uses it: the mouse and
// the keyboard on its windows, the screen looked at, and the data files it
// leaves compared byte for byte with what the user did. The program starts in
// a fresh workspace prepared as `make run` prepares one.

#include "XSession.h"
#include "records/Settings.h"
#include "records/TextLibraryFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace vistorel {
namespace {

using e2e::ScreenUser;
using e2e::ScreenWindow;
using e2e::VirtualDisplay;

const QString kSettingsFile = QStringLiteral("Vistorel.ini");
const QString kLibraryFile = QStringLiteral("book_data.dat");
// Window titles.
const QString kWelcome = QStringLiteral("Welcome!");
const QString kMain = QStringLiteral("Vistorel 4.0");
const QString kExercise = QStringLiteral("Vistorel ");
const QString kTextManager = QStringLiteral("Text manager");
const QString kAddText = QStringLiteral("Добавить текст");
const QString kAddBookmark = QStringLiteral("Добавить закладку");
const QString kPreferences = QStringLiteral("Preferences");
const QString kReadingTest = QStringLiteral("Reading speed test");

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

// The colour of the workspace's exercise background, 0x00BBGGRR.
constexpr TColor kWorkspaceBackground = 0xE6F5FD;

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Where two file contents part, for a failure message.
std::string Difference(const QByteArray& found, const QByteArray& expected) {
    if (found == expected) return "the same bytes";
    qsizetype at = 0;
    while (at < found.size() && at < expected.size() && found[at] == expected[at]) ++at;
    return "the file has " + std::to_string(found.size()) + " bytes, " + std::to_string(expected.size()) +
           " expected; they differ first at offset " + std::to_string(at) + ": " +
           found.mid(at, 8).toHex(' ').toStdString() + " instead of " + expected.mid(at, 8).toHex(' ').toStdString();
}

// Pixels of the area that differ clearly from `background`.
int PixelsUnlike(const QImage& screen, const QRect& area, QRgb background) {
    int count = 0;
    const QRect inside = area.intersected(screen.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb pixel = screen.pixel(x, y);
            const int distance = std::abs(qRed(pixel) - qRed(background)) +
                                 std::abs(qGreen(pixel) - qGreen(background)) +
                                 std::abs(qBlue(pixel) - qBlue(background));
            if (distance > 150) ++count;
        }
    }
    return count;
}

// The main window as the screen shows it: where its control panel is.
struct MainWindowOnScreen {
    QRect Window;
    // How far below 150 rows above the window's bottom the panel stands: the
    // menu bar and the frame the window was designed with.
    int PanelDrop = 0;
    // A point of the control panel, relative to its origin, on the screen.
    QPoint Panel(int x, int y) const {
        const int panelX = Window.width() / 2 - 280;
        const int panelY = Window.height() - 150;
        return Window.topLeft() + QPoint(panelX + x, PanelDrop + panelY + y);
    }
};

// How far below 150 rows above the bottom the control panel picture stands, or -1.
int PanelDropShown(const QImage& screen, const QRect& window, const QImage& panel) {
    const int panelX = window.left() + window.width() / 2 - 280;
    const int panelY = window.top() + window.height() - 150;
    for (int drop = 0; drop <= 80; ++drop) {
        bool same = true;
        for (int y = 0; y < 12 && same; ++y) {
            for (int x = 0; x < panel.width() && same; ++x) {
                const QPoint at(panelX + x, panelY + drop + y);
                same = screen.rect().contains(at) && screen.pixel(at) == panel.pixel(x, y);
            }
        }
        if (same) return drop;
    }
    return -1;
}

class UserSession : public ::testing::Test {
protected:
    void SetUp() override {
        display_ = std::make_unique<VirtualDisplay>(kScreenWidth, kScreenHeight);
        if (!display_->Running()) {
            GTEST_SKIP() << "No X server could be started, so the program is not run on one: "
                         << qPrintable(display_->Problem());
        }
        ASSERT_EQ(ScreenUser::MissingTools(), QStringList()) << "scripts/setup installs xdotool and imagemagick";
        user_ = std::make_unique<ScreenUser>(*display_);
        ASSERT_TRUE(home_.isValid());
        workspace_ = QDir(home_.path()).filePath(QStringLiteral("workspace"));
        QProcess prepare;
        prepare.start(QStringLiteral(VISTOREL_WORKSPACE_TOOL),
                      {workspace_, test::ImagesDirectory(), test::DataDirectory() + QStringLiteral("/sample.txt")});
        ASSERT_TRUE(prepare.waitForFinished(e2e::kPatienceMs) && prepare.exitCode() == 0)
            << prepare.readAllStandardError().constData();
        settingsBefore_ = ReadFile(File(kSettingsFile));
        libraryBefore_ = ReadFile(File(kLibraryFile));
        ASSERT_EQ(settingsBefore_.size(), 220);
        ASSERT_EQ(libraryBefore_.size(), 4404);
    }

    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished();
        }
    }

    QString File(const QString& name) const { return QDir(workspace_).filePath(name); }

    // Starts the program in the workspace, as `make run` does.
    void StartProgram() {
        program_.setProcessEnvironment(display_->Environment());
        program_.setWorkingDirectory(workspace_);
        program_.setProcessChannelMode(QProcess::SeparateChannels);
        e2e::EndWithThisProcess(program_);
        program_.start(QStringLiteral(VISTOREL_BINARY), {});
        ASSERT_TRUE(program_.waitForStarted(e2e::kPatienceMs)) << qPrintable(program_.errorString());
    }

    // The welcome window, its button, and the main window maximised and painted.
    void EnterMainWindow() {
        const std::optional<ScreenWindow> welcome = user_->WaitForWindow(kWelcome);
        ASSERT_TRUE(welcome) << "the welcome window did not appear; the program said: " << Said();
        EXPECT_EQ(welcome->Rect, QRect(137, 25, 401, 285));
        user_->Click(welcome->Rect.topLeft() + QPoint(200, 267));
        std::optional<ScreenWindow> main;
        ASSERT_TRUE(ScreenUser::WaitUntil([&] {
            main = user_->WaitForWindow(kMain, 500);
            return main && main->Rect == QRect(0, 0, kScreenWidth, kScreenHeight);
        })) << "the main window did not come up maximised";
        EXPECT_TRUE(user_->WaitUntilGone(kWelcome));
        main_.Window = main->Rect;
        QImage panel(test::ImagesDirectory() + QStringLiteral("/control.bmp"));
        panel = panel.convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(panel.isNull());
        ASSERT_TRUE(ScreenUser::WaitUntil([&] {
            main_.PanelDrop = PanelDropShown(user_->Screen(), main_.Window, panel);
            return main_.PanelDrop > 0;
        })) << "the control panel is not where the main window puts it below its menu bar";
    }

    // The exercise window on screen, showing text on its background colour.
    void ExpectTextInExerciseWindow() {
        const std::optional<ScreenWindow> exercise = user_->WaitForWindow(kExercise);
        ASSERT_TRUE(exercise) << "the exercise window did not appear; the program said: " << Said();
        const QRgb background = qRgb(kWorkspaceBackground & 0xFF, (kWorkspaceBackground >> 8) & 0xFF,
                                     (kWorkspaceBackground >> 16) & 0xFF);
        ASSERT_TRUE(ScreenUser::WaitUntil([&] {
            const QImage screen = user_->Screen();
            const int area = exercise->Rect.width() * exercise->Rect.height();
            const int unlike = PixelsUnlike(screen, exercise->Rect, background);
            // Mostly the background colour, with the dark strokes of a word on it.
            return unlike > 30 && unlike < area / 4;
        })) << "no text appeared in the exercise window";
    }

    // The Exit button; the program saves its settings and ends by itself.
    void ExitProgram() {
        user_->Click(main_.Panel(213, 31));
        ASSERT_TRUE(program_.waitForFinished(e2e::kPatienceMs)) << "the program did not end after Exit";
        EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program_.exitCode(), 0) << "the program said: " << Said();
        const QStringList files = QDir(workspace_).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        EXPECT_EQ(files.filter(QStringLiteral("Vistorel.ini.")) + files.filter(QStringLiteral("book_data.dat.")),
                  QStringList())
            << "a temporary file of a save was left";
    }

    // What the program printed, and whether it still runs, for a failure message.
    std::string Said() {
        QString said = QString::fromLocal8Bit(program_.readAllStandardError()).trimmed();
        if (program_.state() == QProcess::NotRunning) {
            said += QStringLiteral(" [the program ended with exit code %1]").arg(program_.exitCode());
        }
        said += QStringLiteral(" [windows on the screen: %1]").arg(user_->VisibleTitles().join(QStringLiteral(", ")));
        said += QStringLiteral(" [%1]").arg(display_->State());
        return said.toStdString();
    }

    std::unique_ptr<VirtualDisplay> display_;
    std::unique_ptr<ScreenUser> user_;
    QTemporaryDir home_;
    QString workspace_;
    QByteArray settingsBefore_;
    QByteArray libraryBefore_;
    QProcess program_;
    MainWindowOnScreen main_;
};

// Welcome window, main window, Start: the text runs in the exercise window;
// Quit closes it, Exit ends the program, and the files hold what they held.
TEST_F(UserSession, AnExerciseShowsTheTextAndLeavesTheFilesAsTheyWere) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(EnterMainWindow());
    ASSERT_TRUE(user_->ClickToOpen(main_.Panel(50, 31), kExercise)) << "Start opened no exercise window; " << Said();
    ASSERT_NO_FATAL_FAILURE(ExpectTextInExerciseWindow());
    user_->Click(main_.Panel(432, 28));  // Quit
    EXPECT_TRUE(user_->WaitUntilGone(kExercise)) << "Quit left the exercise window open";
    ASSERT_NO_FATAL_FAILURE(ExitProgram());
    EXPECT_TRUE(ReadFile(File(kSettingsFile)) == settingsBefore_)
        << Difference(ReadFile(File(kSettingsFile)), settingsBefore_);
    EXPECT_TRUE(ReadFile(File(kLibraryFile)) == libraryBefore_) << Difference(ReadFile(File(kLibraryFile)), libraryBefore_);
}

// A text stored through the text manager and chosen, a bookmark added during
// an exercise on it, the preferences accepted with another level, a reading
// speed test run from the menu, Exit: the library holds the new text with its
// bookmark and the settings the chosen text and level, byte for byte.
TEST_F(UserSession, StoredTextBookmarkPreferencesAndATestEndUpInTheFiles) {
    // The new text: a first line long enough to be read for a minute.
    QByteArray second = QByteArray("word ").repeated(60) + "\r\n";
    second += QByteArray("more words on the next line\r\n").repeated(20);
    {
        QFile file(File(QStringLiteral("second.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(second) == second.size());
    }
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(EnterMainWindow());

    // Texts, Add, a title and a path typed, Add.
    const std::optional<ScreenWindow> manager = user_->ClickToOpen(main_.Panel(120, 60), kTextManager);
    ASSERT_TRUE(manager) << "the text manager did not appear; " << Said();
    const QPoint managerAt = manager->Rect.topLeft();
    const std::optional<ScreenWindow> adder = user_->ClickToOpen(managerAt + QPoint(200, 307), kAddText);
    ASSERT_TRUE(adder) << "the add text window did not appear";
    ASSERT_TRUE(user_->WaitForFocus(*adder)) << "the add text window did not get the keyboard";
    user_->Click(adder->Rect.topLeft() + QPoint(120, 90));
    ASSERT_TRUE(user_->Type(QStringLiteral("Второй текст"))) << "xdotool or setxkbmap failed";
    user_->Click(adder->Rect.topLeft() + QPoint(120, 138));
    ASSERT_TRUE(user_->Type(QStringLiteral("second.txt")));
    user_->Click(adder->Rect.topLeft() + QPoint(280, 320));
    ASSERT_TRUE(user_->WaitUntilGone(kAddText)) << "the text was not stored; the program said: " << Said();

    // The new text, last in the list, chosen with Accept.
    user_->Click(managerAt + QPoint(100, 200));
    user_->Keys({QStringLiteral("End")});
    user_->Click(managerAt + QPoint(130, 307));
    ASSERT_TRUE(user_->WaitUntilGone(kTextManager)) << "Accept did not close the text manager";

    // An exercise on it, and a bookmark while its first line is read.
    ASSERT_TRUE(user_->ClickToOpen(main_.Panel(50, 31), kExercise)) << "Start opened no exercise window; " << Said();
    ASSERT_NO_FATAL_FAILURE(ExpectTextInExerciseWindow());
    const std::optional<ScreenWindow> bookmark = user_->ClickToOpen(main_.Panel(313, 64), kAddBookmark);
    ASSERT_TRUE(bookmark) << "the add bookmark window did not appear";
    ASSERT_TRUE(user_->WaitForFocus(*bookmark)) << "the add bookmark window did not get the keyboard";
    ASSERT_TRUE(user_->Type(QStringLiteral("Глава 1")));
    user_->Keys({QStringLiteral("Return")});
    ASSERT_TRUE(user_->WaitUntilGone(kAddBookmark)) << "the bookmark was not added; the program said: " << Said();
    user_->Click(main_.Panel(432, 28));
    EXPECT_TRUE(user_->WaitUntilGone(kExercise));

    // Preferences: the next level down the list, accepted.
    const std::optional<ScreenWindow> preferences = user_->ClickToOpen(main_.Panel(130, 31), kPreferences);
    ASSERT_TRUE(preferences) << "the preferences window did not appear";
    ASSERT_TRUE(user_->WaitForFocus(*preferences)) << "the preferences window did not get the keyboard";
    user_->Click(preferences->Rect.topLeft() + QPoint(60, 69));
    user_->Keys({QStringLiteral("Down")});
    user_->Click(preferences->Rect.topLeft() + QPoint(257, preferences->Rect.height() - 23));
    ASSERT_TRUE(user_->WaitUntilGone(kPreferences)) << "Accept did not close the preferences";

    // The reading speed test from the menu: the text appears at Start, the result at Stop.
    user_->Click(main_.Window.topLeft() + QPoint(25, 10));  // the menu bar
    user_->Keys({QStringLiteral("Right"), QStringLiteral("Right"), QStringLiteral("Right"), QStringLiteral("Down"),
                 QStringLiteral("Return")});
    const std::optional<ScreenWindow> test = user_->WaitForWindow(kReadingTest);
    ASSERT_TRUE(test) << "the reading speed test did not open from the menu";
    const QRect textArea = QRect(4, 36, 540, 280).translated(test->Rect.topLeft());
    const QRect statusArea = QRect(0, 330, 330, 32).translated(test->Rect.topLeft());
    QImage status;
    ASSERT_TRUE(ScreenUser::WaitUntil([&] {
        status = user_->Screen().copy(statusArea);
        return PixelsUnlike(status, status.rect(), qRgb(0, 0, 0)) > 30;  // the prompt is up
    }));
    user_->Click(test->Rect.topLeft() + QPoint(370, 346));
    EXPECT_TRUE(ScreenUser::WaitUntil(
        [&] { return PixelsUnlike(user_->Screen(), textArea, qRgb(255, 255, 255)) > 50; }))
        << "Start showed no text to read";
    user_->Click(test->Rect.topLeft() + QPoint(465, 346));
    EXPECT_TRUE(ScreenUser::WaitUntil([&] { return user_->Screen().copy(statusArea) != status; }))
        << "Stop showed no result";

    ASSERT_NO_FATAL_FAILURE(ExitProgram());

    TextRecord stored;
    stored.Title.SetText(QStringLiteral("Второй текст"));
    stored.FilePath.SetText(QStringLiteral("second.txt"));
    stored.BookmarkCount = 1;
    stored.BookmarkName(1).SetText(QStringLiteral("Глава 1"));
    stored.BookmarkLine(1) = 1;
    const QByteArray library = libraryBefore_ + test::BytesOf(stored);
    EXPECT_TRUE(ReadFile(File(kLibraryFile)) == library) << Difference(ReadFile(File(kLibraryFile)), library);

    Settings settings;
    std::memcpy(&settings, settingsBefore_.constData(), sizeof settings);
    settings.TextPath.SetText(QStringLiteral("second.txt"));
    settings.Level = 1;
    EXPECT_TRUE(ReadFile(File(kSettingsFile)) == test::BytesOf(settings))
        << Difference(ReadFile(File(kSettingsFile)), test::BytesOf(settings));
}

// SIGTERM (a log-out, a shut-down) during an exercise ends the program as
// Exit does: the exercise's session and its place are in the results, and
// the settings were written as they were.
TEST_F(UserSession, AnExerciseEndedBySigtermKeepsItsSessionAndPlace) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_NO_FATAL_FAILURE(EnterMainWindow());
    ASSERT_TRUE(user_->ClickToOpen(main_.Panel(50, 31), kExercise)) << "Start opened no exercise window; " << Said();
    ASSERT_NO_FATAL_FAILURE(ExpectTextInExerciseWindow());
    QThread::msleep(11000);  // long enough to be a result
    ASSERT_EQ(::kill(static_cast<pid_t>(program_.processId()), SIGTERM), 0);
    ASSERT_TRUE(program_.waitForFinished(e2e::kPatienceMs)) << "SIGTERM did not end the program";
    EXPECT_EQ(program_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program_.exitCode(), 0) << "the program said: " << Said();
    EXPECT_TRUE(ReadFile(File(kSettingsFile)) == settingsBefore_)
        << Difference(ReadFile(File(kSettingsFile)), settingsBefore_);
    double seconds = 0;
    int words = 0, line = 0, sessions = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("e2e-results"));
        db.setDatabaseName(File(QStringLiteral("Vistorel.sqlite")));
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        if (query.exec(QStringLiteral("SELECT count(*), max(active_seconds), max(words_shown) FROM exercise_sessions")) &&
            query.next()) {
            sessions = query.value(0).toInt();
            seconds = query.value(1).toDouble();
            words = query.value(2).toInt();
        }
        if (query.exec(QStringLiteral("SELECT line FROM reading_places")) && query.next()) line = query.value(0).toInt();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("e2e-results"));
    EXPECT_EQ(sessions, 1);
    EXPECT_GE(seconds, 10.0);
    EXPECT_GT(words, 5);
    EXPECT_GE(line, 1);
}

}  // namespace
}  // namespace vistorel
