// The main window's control of a reading exercise: start, the exercise panel,
// pause, next stage, quit, and the press-and-hold speed buttons with the bar.

#include "app/Program.h"
#include "app/main.h"
#include "engine/Unit4.h"
#include "engine/ind_s.h"

namespace vistorel {

void TForm1::BeginExercise() {
    DrawExercisePanel();
    program.ExerciseActive = true;
    StartExercise();
}

void TForm1::StartExercise() {
    TForm4& form4 = *program.Form4;
    const Settings& settings = program.SettingsRecord;
    program.ExerciseLoaded = false;
    try {
        const QString textPath = settings.TextPath.Text();
        if (textPath.isEmpty()) {
            throw Error(QStringLiteral("No text is chosen for reading: choose one in the preferences or in the text manager."));
        }
        LoadTextLines(program.TextLineBuffer, program.ResolvePath(textPath));
    } catch (...) {
        // A restart whose text cannot be loaded ends the exercise that was
        // running: it must not go on behind buttons that no longer react.
        form4.StopTimers();
        form4.Hide();
        throw;
    }

    program.Words.WordIndex = 41;  // the first word request splits a new line
    program.Exercise.SweepX = 10;
    program.Exercise.MarkStep = 1;
    form4.Label2.SetTop(form4.Height() / 2 - 40);
    form4.Label2.SetLeft(form4.Width() / 2);
    program.Exercise.Stage = 1;
    program.Exercise.StageElapsed = 1;
    program.Exercise.ExerciseMode = 1;
    program.TextLineBuffer.CurrentLine = 0;
    form4.PrepareBackground();
    form4.Label2.SetFontColor(settings.TextColor);
    form4.Label2.SetFontSize(settings.FontSize);
    form4.Timer1.SetInterval(program.Preset.StageInterval[1]);
    form4.Timer1.SetEnabled(true);
    form4.Timer2.SetEnabled(true);
    form4.Show();
    program.ExerciseLoaded = true;
}

void TForm1::DrawExercisePanel() {
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
}

void TForm1::SkipStage() {
    if (!program.ExerciseLoaded) return;  // a start without a text: nothing to skip
    TForm4& form4 = *program.Form4;
    const StageChange change = AdvanceStage(program.Exercise, program.Preset, program.TextLineBuffer.CurrentLine);
    form4.ApplyStageChange(change);
    if (change.StartedOver) {
        form4.Label2.SetTop(form4.Height() / 2 - 40);
        form4.Label2.SetLeft(form4.Width() / 2 - 40);
    }
}

void TForm1::TogglePause() {
    if (!program.ExerciseLoaded) return;
    TForm4& form4 = *program.Form4;
    form4.Timer1.SetEnabled(!form4.Timer1.Enabled());
    form4.Timer2.SetEnabled(!form4.Timer2.Enabled());
}

void TForm1::EndExercise() {
    program.ExerciseActive = false;
    program.Form4->Timer1.SetEnabled(false);
    program.Form4->Timer2.SetEnabled(false);
    Canvas.Brush = {clBlack, BrushStyle::Solid};
    Canvas.Pen.Color = clBlack;
    Canvas.MoveTo(PanelX + 460, PanelY + 10);
    Canvas.LineTo(PanelX + 460, PanelY + 83);
    Canvas.Rectangle(PanelX + 259, PanelY + 18, PanelX + 550, PanelY + 80);
    program.Form4->Hide();
    program.indicator->Hide();
}

namespace {

void SetSpeed(Program& program, int speed) {
    program.Exercise.SpeedValue = static_cast<std::uint8_t>(speed);
    program.Form4->Timer1.SetInterval(Reciprocal10000(speed));
    program.indicator->ClearAutomaticSpeedController();
}

}  // namespace

void TForm1::SpeedUp() {
    if (program.Exercise.SpeedValue < 85) SetSpeed(program, program.Exercise.SpeedValue + 1);
}

void TForm1::SpeedDown() {
    if (program.Exercise.SpeedValue > 5) SetSpeed(program, program.Exercise.SpeedValue - 1);
}

void TForm1::DrawSpeedBar() {
    const int interval = program.Form4->Timer1.Interval();
    const int speed = Reciprocal10000(interval);
    Canvas.Brush = {clBlack, BrushStyle::Solid};
    Canvas.Rectangle(PanelX + 465, PanelY + 20, PanelX + 550, PanelY + 34);
    Canvas.Brush.Color = clAccent;
    Canvas.Rectangle(PanelX + 465, PanelY + 20, PanelX + 465 + speed, PanelY + 34);
}

void TForm1::MoveTimerTimer() {
    if (program.SpeedDirection) {
        SpeedDown();
    } else {
        SpeedUp();
    }
    DrawSpeedBar();
}

}  // namespace vistorel
