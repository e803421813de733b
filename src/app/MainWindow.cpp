#include "app/MainWindow.h"

#include "app/KeyboardReturn.h"
#include "app/Program.h"
#include "dialogs/PreferencesWindow.h"
#include "dialogs/WelcomeWindow.h"
#include "dialogs/AboutWindow.h"
#include "history/ResultsWriter.h"
#include "library/AddBookmarkWindow.h"
#include "library/JumpToBookmarkWindow.h"
#include "library/TextManagerWindow.h"
#include "skin/DesignedFrame.h"

#include <QLabel>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace vistorel {
namespace {

struct ButtonDesign {
    const char* name;  // UTF-8, what the picture says
    const char* normal;
    const char* hover;
    int x;
    int y;
    HitRect rect;  // relative to the panel origin, bounds exclusive
};

constexpr std::array<ButtonDesign, kMainButtonCount> kButtons = {{
    {"Старт", "images\\begin.bmp", "images\\begin1.bmp", 8, 16, {8, 16, 92, 46}},
    {"Настройки", "images\\options.bmp", "images\\options1.bmp", 92, 16, {92, 16, 172, 46}},
    {"Выход", "images\\exit.bmp", "images\\exit1.bmp", 172, 16, {172, 16, 255, 46}},
    {"О программе", "images\\about.bmp", "images\\about1.bmp", 8, 46, {8, 46, 92, 76}},
    {"Тексты", "images\\select.bmp", "images\\select1.bmp", 86, 46, {86, 46, 172, 76}},
    {"Пауза", "images\\pause.bmp", "images\\pause1.bmp", 275, 18, {275, 18, 330, 38}},
    {"Дальше", "images\\next.bmp", "images\\next1.bmp", 345, 18, {345, 18, 400, 38}},
    {"Стоп", "images\\quit.bmp", "images\\quit1.bmp", 405, 18, {405, 18, 460, 38}},
    {"Закладка", "images\\bookmark.bmp", "images\\bookmark1.bmp", 286, 48, {286, 48, 340, 80}},
    {"К закладке", "images\\jump.bmp", "images\\jump1.bmp", 380, 48, {380, 48, 430, 80}},
    {"Медленнее", "images\\left.bmp", "images\\left1.bmp", 470, 40, {470, 40, 500, 65}},
    {"Быстрее", "images\\right.bmp", "images\\right1.bmp", 530, 40, {530, 40, 550, 65}},
}};

}  // namespace

MainWindow::MainWindow(Program& program)
    : Form(program.App),
      moveTimer(program.App, 5),
      menu(program, *this),
      manualStagesLabel(*this, 0, 0, QStringLiteral("Смена этапов: вручную"),
                        Font{QStringLiteral("MS Sans Serif"), 12, true, false, false, false, clAccent}),
      progress(program, *this),
      textLoad(*this),
      program(program) {
    SetMenuBar(menu.Bar());
    SetStandalone(true);
    ApplyDesign({QStringLiteral("Vistorel 4.0"), BorderStyle::Single, false, 49, 96, 561, 224, false, clBlack});
    Canvas.Font.Name = QStringLiteral("MS Sans Serif");
    Canvas.Font.Height = 11;
    moveTimer.OnTimer = [this] { OnMoveTick(); };
    manualStagesLabel.Widget()->hide();

    // The keys act as a click inside one button would; a held speed key
    // changes the speed step by step, as the arrow keys do.
    const auto idle = [this](std::function<void()> action) {
        return [this, action = std::move(action)] {
            if (!this->program.ExerciseActive) action();
        };
    };
    const auto running = [this](std::function<void()> action) {
        return [this, action = std::move(action)] {
            if (this->program.ExerciseActive) action();
        };
    };
    const std::array<std::function<void()>, kMainButtonCount> actions = {
        idle([this] { BeginExercise(); }),
        idle([this] { this->program.preferencesWindow->FillPreferences(); }),
        idle([this] { ExitProgram(); }),
        idle([this] { this->program.aboutWindow->Show(); }),
        idle([this] { this->program.textManager->Show(); }),
        running([this] { TogglePause(); }),
        running([this] { SkipStage(); }),
        running([this] { EndExercise(); }),
        running([this] { this->program.addBookmarkWindow->OpenAddBookmark(); }),
        running([this] { this->program.jumpToBookmarkWindow->OpenJumpToBookmark(); }),
        [this] { ExerciseKey(Qt::Key_Left); },
        [this] { ExerciseKey(Qt::Key_Right); },
    };
    for (int b = 0; b < kMainButtonCount; ++b) {
        focus_[b] = new ImageButtonFocus(*this, QString::fromUtf8(kButtons[b].name), actions[b]);
    }
    focus_[kSlower]->SetRepeating(true);
    focus_[kFaster]->SetRepeating(true);
    FollowExerciseState();
    keyboardReturn_ = std::make_unique<KeyboardReturn>(*Widget());
}

MainWindow::~MainWindow() = default;

void MainWindow::FormCreate() {
    // A picture that cannot be loaded is reported; the settings and the
    // library are loaded all the same, so that closing the window does not
    // write an empty settings file over the user's.
    program.LoadImageOrReport(background_, QStringLiteral("images\\bgrnd.bmp"));
    program.LoadImageOrReport(control_, QStringLiteral("images\\control.bmp"));
    for (int b = 0; b < kMainButtonCount; ++b) LoadButtonImages(program, images_[b], kButtons[b].normal, kButtons[b].hover);
    hover_.fill(false);
    program.ExerciseActive = false;
    program.LoadSettings();
    program.LoadTextLibrary();
}

HitRect MainWindow::ButtonRect(MainButton button) const { return kButtons[button].rect.Offset(PanelX, PanelY); }

void MainWindow::DrawButton(MainButton button, bool hover) {
    const ButtonImages& images = images_[button];
    Canvas.Draw(PanelX + kButtons[button].x, PanelY + kButtons[button].y, hover ? images.Hover : images.Normal);
}

QRect MainWindow::ScreenAnchor() const {
    // The control panel, where the exercise is steered from.
    const QSize size = control_.Empty() ? QSize(560, 100) : QSize(control_.Width(), control_.Height());
    return {Surface()->mapToGlobal(QPoint(PanelX, PanelY)), size};
}

void MainWindow::FormPaint() {
    const int w = Width();
    const int h = Height();
    // A tile that failed to load has no size: the window then stays black.
    if (background_.Width() > 0 && background_.Height() > 0) {
        for (int y = 0; y < h; y += background_.Height()) {
            for (int x = 0; x < w; x += background_.Width()) Canvas.Draw(x, y, background_);
        }
    }
    // From the client area and the designed frame, so that the panel keeps its
    // place above the bottom edge under any title bar and menu bar.
    PanelX = w / 2 - 280;
    PanelY = DesignedOuterHeight(*this) - 150;
    progress.Place(PanelX, PanelY);
    for (int b = 0; b < kMainButtonCount; ++b) {
        const auto button = static_cast<MainButton>(b);
        focus_[b]->Place(QPoint(PanelX + kButtons[b].x, PanelY + kButtons[b].y), images_[b].Normal, ButtonRect(button));
    }
    Canvas.Draw(PanelX, PanelY, control_);
    for (MainButton b : {kStart, kPreferences, kAbout, kExit, kTexts}) DrawButton(b, false);
    if (program.ExerciseActive) {
        DrawExercisePanel();  // the notice follows the panel
    } else {
        Canvas.Brush = {clBlack, BrushStyle::Solid};
        Canvas.Rectangle(PanelX + 259, PanelY + 18, PanelX + 530, PanelY + 70);
    }
}

void MainWindow::FollowExerciseState() {
    const bool active = program.ExerciseActive;
    const bool hadFocus = std::any_of(focus_.begin(), focus_.end(), [](const ImageButtonFocus* b) { return b->hasFocus(); });
    for (MainButton b : {kStart, kPreferences, kExit, kAbout, kTexts}) focus_[b]->setEnabled(!active);
    for (MainButton b : {kPause, kNext, kQuit, kBookmark, kJump, kSlower, kFaster}) focus_[b]->setVisible(active);
    if (hadFocus) focus_[active ? kPause : kStart]->setFocus(Qt::OtherFocusReason);
}

void MainWindow::TrackButton(MainButton button, int x, int y) {
    const QPoint at(PanelX + kButtons[button].x, PanelY + kButtons[button].y);
    TrackHover(Canvas, Inside(button, x, y), hover_[button], at, images_[button]);
}

// The three items that the quit image may cover are drawn again after it.
void MainWindow::RedrawBesideQuit() {
    DrawButton(kNext, false);
    Canvas.MoveTo(PanelX + 460, PanelY + 10);
    Canvas.LineTo(PanelX + 460, PanelY + 83);
    Canvas.Brush = {clBlack, BrushStyle::Clear};
    Canvas.Rectangle(PanelX + 465, PanelY + 20, PanelX + 550, PanelY + 34);
}

void MainWindow::TrackQuit(int x, int y) {
    if (Inside(kQuit, x, y)) {
        if (!hover_[kQuit]) DrawButton(kQuit, true);
        hover_[kQuit] = true;
        RedrawBesideQuit();
    } else if (hover_[kQuit]) {
        DrawButton(kQuit, false);
        hover_[kQuit] = false;
        RedrawBesideQuit();
    }
}

void MainWindow::FormMouseMove(int x, int y) {
    if (!program.ExerciseActive) {
        for (MainButton b : {kStart, kPreferences, kExit, kAbout, kTexts}) TrackButton(b, x, y);
        return;
    }
    TrackButton(kPause, x, y);
    TrackQuit(x, y);
    for (MainButton b : {kNext, kBookmark, kJump, kSlower, kFaster}) TrackButton(b, x, y);
}

void MainWindow::FormMouseDown(MouseButton, int x, int y) {
    // Every rectangle is tested; a hit does not stop the tests after it.
    if (!program.ExerciseActive) {
        if (Inside(kPreferences, x, y)) program.preferencesWindow->FillPreferences();
        if (Inside(kTexts, x, y)) program.textManager->Show();
        if (Inside(kStart, x, y)) BeginExercise();
        if (Inside(kAbout, x, y)) program.aboutWindow->Show();
        if (Inside(kExit, x, y)) ExitProgram();
    }
    if (Inside(kNext, x, y) && program.ExerciseActive) SkipStage();
    if (Inside(kPause, x, y) && program.ExerciseActive) TogglePause();
    if (Inside(kQuit, x, y) && program.ExerciseActive) EndExercise();
    if (Inside(kFaster, x, y) && program.ExerciseActive && program.ExerciseLoaded) {
        program.SpeedDirection = false;
        moveTimer.SetEnabled(true);
    }
    if (Inside(kSlower, x, y) && program.ExerciseActive && program.ExerciseLoaded) {
        program.SpeedDirection = true;
        moveTimer.SetEnabled(true);
    }
    if (Inside(kBookmark, x, y) && program.ExerciseActive) program.addBookmarkWindow->OpenAddBookmark();
    if (Inside(kJump, x, y)) program.jumpToBookmarkWindow->OpenJumpToBookmark();
}

void MainWindow::FormMouseUp(MouseButton, int, int) { moveTimer.SetEnabled(false); }

bool MainWindow::FormKeyDown(int key, Qt::KeyboardModifiers) { return ExerciseKey(key); }

void MainWindow::FormClose() {
    progress.Finish();
    program.ExercisePriority.Restore();
    // The program ends right after this: say so now if the settings or
    // results are lost (ended by a signal, with no one to answer a message box).
    QStringList lost;
    QString error;
    if (!program.SaveSettings(&error)) lost.append(QStringLiteral("Настройки не сохранены.\n%1").arg(error));
    if (program.Writer && !program.Writer->Flush(Program::kExitFlushMs)) lost.append(program.Writer->ExitMessage());
    for (const QString& message : lost) {
        if (program.EndingOnSignal) {
            App().ReportError(message);
        } else {
            App().StandardDialogs().ShowMessage(message);
        }
    }
    program.welcomeWindow->Close();
}

void MainWindow::ExitProgram() {
    program.welcomeWindow->Close();
    Close();
}

}  // namespace vistorel
