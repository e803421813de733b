#include "engine/ExerciseWindow.h"

#include "app/Program.h"
#include "platform/ScreenFit.h"

#include <QPainter>

namespace vistorel {

ExerciseWindow::ExerciseWindow(Program& program)
    : Form(program.App),
      wordLabel(*this, 256, 208, QStringLiteral("."), [] {
          vistorel::Font font;
          font.SetSize(12);
          return font;
      }()),
      stepTimer(program.App, 1000),
      stageTimer(program.App, 1000),
      program(program) {
    ApplyDesign({QStringLiteral("Vistorel "), BorderStyle::SizeToolWin, true, 17, 144, 647, 320, true, clBtnFace});
    SetCursor(CursorShape::HourGlass);
    // The keyboard stays where the exercise was started (the main window and
    // its menus); a click gives it to this window, which knows the same keys.
    SetShowWithoutActivating(true);
    stepTimer.OnTimer = [this] { OnStepTick(); };
    stageTimer.OnTimer = [this] { OnStageTick(); };
}

void ExerciseWindow::FormShow() { SetColor(program.SettingsRecord.BackColor); }

void ExerciseWindow::FormPaint() {
    cleared_ = false;
    if (!picture_.Empty()) ClearWindow();
}

void ExerciseWindow::FormKeyPress(QChar key) {
    if (key != QLatin1Char(' ')) return;
    stepTimer.SetEnabled(!stepTimer.Enabled());
    stageTimer.SetEnabled(!stageTimer.Enabled());
}

bool ExerciseWindow::FormKeyDown(int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_Space) return false;
    return program.ExerciseKey(key);
}

void ExerciseWindow::FormClose() { program.EndExercise(); }

QPoint ExerciseWindow::FirstPosition(const Form* opener) const {
    const QRect designed(Left(), Top(), Width(), Height());
    return opener ? NearAnchor(designed, opener->ScreenAnchor()).topLeft() : designed.topLeft();
}

void ExerciseWindow::OnStepTick() {
    const int interval = stepTimer.Interval();
    program.Exercise.SpeedValue =
        static_cast<std::uint8_t>(Reciprocal10000(interval) % 256);
    program.DrawSpeedBar();
    // Pieces of a wide line belong to the line stage that cut them.
    if (program.Exercise.ExerciseMode != 4) pieceLine_.clear();
    switch (program.Exercise.ExerciseMode) {
        case 1: ShowSingleWord(); break;
        case 2: ShowWordPair(); break;
        case 3:
            StepSweep();
            ShowSingleWord();
            break;
        case 4: ModeFourStep(); break;
        case 5:
            PlaceRandomly();
            ShowSingleWord();
            break;
        default: break;  // stages ran out: nothing to show
    }
}

void ExerciseWindow::OnStageTick() {
    ApplyStageChange(StageClockTick(program.Exercise, program.Preset, program.TextLineBuffer.CurrentLine));
}

void ExerciseWindow::StopTimers() {
    stepTimer.SetEnabled(false);
    stageTimer.SetEnabled(false);
}

void ExerciseWindow::ApplyStageChange(const StageChange& change) {
    if (change.SetInterval) stepTimer.SetInterval(change.Interval);
    if (change.StopTimers) StopTimers();
}

void ExerciseWindow::PrepareBackground() {
    const Settings& settings = program.SettingsRecord;
    picture_ = Bitmap();
    scaledPicture_ = QImage();
    cleared_ = false;
    Canvas.Brush = {settings.BackColor, BrushStyle::Solid};
    Canvas.Pen.Color = clBlack;
    if (!settings.UsePicture) return;
    const QString path = program.ResolvePath(settings.PicturePath.Text());
    try {
        if (path.isEmpty()) throw Error(QStringLiteral("Картинка для фона не выбрана."));
        picture_.LoadFromFile(path);
        reportedPicture_.clear();
    } catch (const Error& e) {
        picture_ = Bitmap();
        if (reportedPicture_ != path) {
            reportedPicture_ = path;
            App().ReportError(e.Message() + QStringLiteral("\nУпражнение идёт на цвете фона."));
        }
    }
}

void ExerciseWindow::ClearWindow() {
    const QSize size(ClientWidth(), ClientHeight());
    if (cleared_ && clearedSize_ == size) {
        // Only the fixation marks differ from the background: put it back there.
        for (const QRect& mark : marks_) RestoreBackground(mark);
        marks_.clear();
        return;
    }
    marks_.clear();
    cleared_ = true;
    clearedSize_ = size;
    if (picture_.Empty()) {
        Canvas.Rectangle(0, 0, Width(), Height());
        return;
    }
    RestoreBackground(QRect(QPoint(0, 0), size));
}

void ExerciseWindow::RestoreBackground(const QRect& area) {
    if (picture_.Empty()) {
        // Inside the 1-pixel outline that the full clear draws with the pen.
        const QRect inside = area.intersected(QRect(1, 1, Width() - 2, Height() - 2));
        if (!inside.isEmpty()) Canvas.FillRect(inside.left(), inside.top(), inside.right() + 1, inside.bottom() + 1);
        return;
    }
    // The picture covers the whole window, keeping its proportions.
    // In the surface's device pixels, so that it is as sharp as the screen.
    const QSize size(ClientWidth(), ClientHeight());
    const qreal ratio = SurfaceImage().devicePixelRatio();
    if (scaledPicture_.size() != size * ratio || scaledPicture_.devicePixelRatio() != ratio) {
        scaledPicture_ = CoverImage(picture_.Image(), size * ratio);
        scaledPicture_.setDevicePixelRatio(ratio);
    }
    const QRect clipped = area.intersected(LogicalRect(scaledPicture_));
    if (clipped.isEmpty()) return;
    {
        QPainter painter(&SurfaceImage());
        painter.drawImage(clipped.topLeft(), scaledPicture_, DeviceRect(clipped, ratio));
    }
    SurfaceChanged(clipped);
}

}  // namespace vistorel
