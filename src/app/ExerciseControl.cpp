// The main window's control of a reading exercise: start, the exercise panel,
// pause, next stage, quit, and the press-and-hold speed buttons with the bar.

#include "app/Program.h"
#include "app/MainWindow.h"
#include "dialogs/PreferencesWindow.h"
#include "engine/ExerciseWindow.h"
#include "engine/SpeedIndicator.h"
#include "history/PlaceFingerprint.h"
#include "library/AddBookmarkWindow.h"
#include "library/JumpToBookmarkWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>

#include <algorithm>
#include <memory>

namespace vistorel {

void MainWindow::BeginExercise() { BeginExerciseAt({}); }

void MainWindow::ResumeExercise() {
    progress.Finish();  // a running exercise leaves its place first
    BeginExerciseAt(progress.RememberedPlace());
}

void MainWindow::BeginExerciseAt(const ReadingPlace& place) {
    if (textLoad.Running()) return;  // the text is being read: one start at a time
    const QString textPath = program.SettingsRecord.TextPath.Text();
    struct Loaded {
        TextLines Text;
        QString Notice;
    };
    const auto loaded = std::make_shared<Loaded>();
    const auto failed = [this] {
        // A restart whose text cannot be loaded ends the exercise that was
        // running: it must not go on behind buttons that no longer react.
        // The panel goes back to its idle buttons, so that the user can
        // choose a text straight away.
        program.exerciseWindow->StopTimers();
        program.exerciseWindow->Hide();
        EndExercise();
    };
    if (textPath.isEmpty()) {
        failed();
        throw Error(QStringLiteral("Текст для чтения не выбран: выберите его в настройках или в базе текстов."));
    }
    const QString path = program.ResolvePath(textPath);
    textLoad.Start(
        QStringLiteral("Чтение текста «%1»…").arg(QFileInfo(path).fileName()),
        [path, loaded](const std::atomic<bool>& cancelled) {
            const ReadLimits limits = ReadLimits::StoppedBy(cancelled);
            loaded->Notice = LoadTextLines(loaded->Text, path, limits);
        },
        [this, place, loaded, failed](std::exception_ptr error) {
            if (error) {
                failed();
                if (BackgroundWork::EndedByCancel(error)) return;  // the user stopped it: nothing to say
            }
            program.ReportNotice(loaded->Notice);
            progress.Finish();
            DrawExercisePanel();
            program.ExerciseActive = true;
            try {
                StartExercise(std::move(loaded->Text));
            } catch (...) {
                EndExercise();
                throw;
            }
            if (place.Line >= 1) GoToPlace(place);
            progress.Begin();
        });
}

void MainWindow::GoToPlace(const ReadingPlace& place) {
    TextLines& text = program.TextLineBuffer;
    const FoundPlace found = FindPlace(text.Lines, place);
    if (found.Found == FoundPlace::Outcome::Lost) {
        App().ReportError(QStringLiteral("Текст изменился, и место, где чтение остановилось (строка %1), в нём не "
                                         "найдено: упражнение начинается с начала текста.")
                              .arg(place.Line));
        return;
    }
    // The word stream goes on after the remembered word of that line.
    text.CurrentLine = static_cast<std::uint16_t>(found.Line);
    program.Words.SplitWords(text.Line(found.Line));
    program.Words.WordIndex = static_cast<std::uint16_t>(std::clamp(found.Word, 0, 65535));
    if (found.Found == FoundPlace::Outcome::Moved) {
        App().ReportError(QStringLiteral("Текст изменился: продолжение с ближайшего места"));
    }
}

void MainWindow::StartExercise(TextLines text) {
    ExerciseWindow& exercise = *program.exerciseWindow;
    const Settings& settings = program.SettingsRecord;
    program.ExerciseLoaded = false;
    program.TextLineBuffer.Lines = std::move(text.Lines);
    program.TextLineBuffer.LineCount = text.LineCount;

    // A new text starts with an empty word stream: nothing of the text read
    // before may come out of it.
    program.Words.Reset();
    program.Words.WordIndex = 41;  // the first word request splits a new line
    program.Exercise.SweepX = 10;
    program.Exercise.MarkStep = 1;
    exercise.wordLabel.SetTop(exercise.Height() / 2 - 40);
    exercise.wordLabel.SetLeft(exercise.Width() / 2);
    program.Exercise.Stage = 1;
    program.Exercise.StageElapsed = 1;
    program.Exercise.ExerciseMode = 1;
    program.TextLineBuffer.CurrentLine = 0;
    exercise.PrepareBackground();
    exercise.wordLabel.SetFontColor(settings.TextColor);
    exercise.wordLabel.SetFontSize(settings.FontSize);
    if (program.CustomFontChosen) exercise.wordLabel.SetFont(program.preferencesWindow->ExerciseFont());
    exercise.stepTimer.SetInterval(program.Preset.StageInterval[1]);
    exercise.stepTimer.SetEnabled(true);
    exercise.stageTimer.SetEnabled(true);
    exercise.Show();
    program.ExerciseLoaded = true;
    program.ExercisePriority.Raise();
}

void MainWindow::DrawExercisePanel() {
    for (MainButton b : {kPause, kQuit, kBookmark, kJump, kNext}) DrawButton(b, false);
    Canvas.Pen.Color = clAccent;
    Canvas.Font.Color = clAccent;
    Canvas.Brush.Style = BrushStyle::Clear;
    Canvas.Rectangle(PanelX + 465, PanelY + 20, PanelX + 550, PanelY + 34);
    DrawButton(kSlower, false);
    DrawButton(kFaster, false);
    Canvas.MoveTo(PanelX + 460, PanelY + 10);
    Canvas.LineTo(PanelX + 460, PanelY + 83);
    Canvas.TextOut(PanelX + 495, PanelY + 42, QStringLiteral("speed"));
    program.ExerciseActive = true;
    FollowExerciseState();
    ShowStageChange();
}

void MainWindow::SkipStage() {
    if (!program.ExerciseLoaded) return;  // a start without a text: nothing to skip
    ExerciseWindow& exercise = *program.exerciseWindow;
    const StageChange change = AdvanceStage(program.Exercise, program.Preset, program.TextLineBuffer.CurrentLine);
    exercise.ApplyStageChange(change);
    if (change.StartedOver) {
        exercise.wordLabel.SetTop(exercise.Height() / 2 - 40);
        exercise.wordLabel.SetLeft(exercise.Width() / 2 - 40);
    }
}

void MainWindow::TogglePause() {
    if (!program.ExerciseLoaded) return;
    ExerciseWindow& exercise = *program.exerciseWindow;
    exercise.stepTimer.SetEnabled(!exercise.stepTimer.Enabled());
    exercise.stageTimer.SetEnabled(!exercise.stageTimer.Enabled());
    progress.Sample();  // the panel says «пауза» at once
}

void MainWindow::EndExercise() {
    progress.Finish();
    program.ExerciseActive = false;
    program.exerciseWindow->stepTimer.SetEnabled(false);
    program.exerciseWindow->stageTimer.SetEnabled(false);
    Canvas.Brush = {clBlack, BrushStyle::Solid};
    Canvas.Pen.Color = clBlack;
    Canvas.MoveTo(PanelX + 460, PanelY + 10);
    Canvas.LineTo(PanelX + 460, PanelY + 83);
    Canvas.Rectangle(PanelX + 259, PanelY + 18, PanelX + 550, PanelY + 80);
    program.exerciseWindow->Hide();
    program.speedIndicator->Hide();
    program.ExercisePriority.Restore();
    FollowExerciseState();
    ShowStageChange();
}

namespace {

void SetSpeed(Program& program, int speed) {
    program.Exercise.SpeedValue = static_cast<std::uint8_t>(speed);
    program.exerciseWindow->stepTimer.SetInterval(Reciprocal10000(speed));
    program.speedIndicator->ClearAutomaticSpeedController();
    program.mainWindow->ShowStageChange();
}

}  // namespace

void MainWindow::SpeedUp() {
    if (program.Exercise.SpeedValue < 85) SetSpeed(program, program.Exercise.SpeedValue + 1);
}

void MainWindow::SpeedDown() {
    if (program.Exercise.SpeedValue > 5) SetSpeed(program, program.Exercise.SpeedValue - 1);
}

void MainWindow::DrawSpeedBar() {
    const int interval = program.exerciseWindow->stepTimer.Interval();
    const int speed = Reciprocal10000(interval);
    Canvas.Brush = {clBlack, BrushStyle::Solid};
    Canvas.Rectangle(PanelX + 465, PanelY + 20, PanelX + 550, PanelY + 34);
    Canvas.Brush.Color = clAccent;
    Canvas.Rectangle(PanelX + 465, PanelY + 20, PanelX + 465 + speed, PanelY + 34);
}

bool MainWindow::ExerciseKey(int key) {
    if (!program.ExerciseActive) return false;
    switch (key) {
        case Qt::Key_Space: TogglePause(); return true;
        case Qt::Key_Escape: EndExercise(); return true;
        case Qt::Key_Right:
        case Qt::Key_Plus:
        case Qt::Key_Left:
        case Qt::Key_Minus:
            if (program.ExerciseLoaded) {
                if (key == Qt::Key_Right || key == Qt::Key_Plus) {
                    SpeedUp();
                } else {
                    SpeedDown();
                }
                DrawSpeedBar();
            }
            return true;
        // The same keys in the Russian layout: Т, И and О.
        case Qt::Key_N:
        case 0x0422: SkipStage(); return true;
        case Qt::Key_B:
        case 0x0418: program.addBookmarkWindow->OpenAddBookmark(); return true;
        case Qt::Key_J:
        case 0x041E: program.jumpToBookmarkWindow->OpenJumpToBookmark(); return true;
        default: return false;
    }
}

void MainWindow::SetAutomaticStages(bool on) {
    program.speedIndicator->automaticBox->setChecked(on);
    ShowStageChange();
}

void MainWindow::ShowStageChange() {
    if (!program.speedIndicator) return;  // still being created
    const bool automatic = program.speedIndicator->automaticBox->isChecked();
    menu.automaticStagesAction->setChecked(automatic);
    QLabel* notice = manualStagesLabel.Widget();
    notice->move(PanelX + 550 - notice->width(), PanelY - notice->height() - 2);
    notice->setVisible(program.ExerciseActive && !automatic);
}

void MainWindow::OnMoveTick() {
    if (program.SpeedDirection) {
        SpeedDown();
    } else {
        SpeedUp();
    }
    DrawSpeedBar();
}

}  // namespace vistorel
