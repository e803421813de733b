#include "engine/Unit4.h"

#include "app/Program.h"
#include "app/main.h"

#include <QPainter>

namespace vistorel {

TForm4::TForm4(Program& program)
    : Form(program.App),
      Label2(*this, 256, 208, QStringLiteral("."), [] {
          vistorel::Font font;
          font.SetSize(12);
          return font;
      }()),
      Timer1(program.App, 1000),
      Timer2(program.App, 1000),
      program(program) {
    ApplyDesign({QStringLiteral("Vistorel "), BorderStyle::SizeToolWin, true, 17, 144, 647, 320, true, clBtnFace});
    SetCursor(CursorShape::HourGlass);
    Timer1.OnTimer = [this] { Timer1Timer(); };
    Timer2.OnTimer = [this] { Timer2Timer(); };
}

void TForm4::FormShow() { SetColor(program.SettingsRecord.BackColor); }

void TForm4::FormPaint() {
    cleared_ = false;
    if (!picture_.Empty()) ClearWindow();
}

void TForm4::FormKeyPress(QChar key) {
    if (key != QLatin1Char(' ')) return;
    Timer1.SetEnabled(!Timer1.Enabled());
    Timer2.SetEnabled(!Timer2.Enabled());
}

void TForm4::FormClose() { program.Form1->EndExercise(); }

void TForm4::Timer1Timer() {
    const int interval = Timer1.Interval();
    program.Exercise.SpeedValue =
        static_cast<std::uint8_t>(Reciprocal10000(interval) % 256);
    program.Form1->DrawSpeedBar();
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

void TForm4::Timer2Timer() {
    ApplyStageChange(StageClockTick(program.Exercise, program.Preset, program.TextLineBuffer.CurrentLine));
}

void TForm4::StopTimers() {
    Timer1.SetEnabled(false);
    Timer2.SetEnabled(false);
}

void TForm4::ApplyStageChange(const StageChange& change) {
    if (change.SetInterval) Timer1.SetInterval(change.Interval);
    if (change.StopTimers) StopTimers();
}

void TForm4::PrepareBackground() {
    const Settings& settings = program.SettingsRecord;
    picture_ = Bitmap();
    scaledPicture_ = QImage();
    cleared_ = false;
    Canvas.Brush = {settings.BackColor, BrushStyle::Solid};
    Canvas.Pen.Color = clBlack;
    if (!settings.UsePicture) return;
    const QString path = program.ResolvePath(settings.PicturePath.Text());
    try {
        if (path.isEmpty()) throw Error(QStringLiteral("No background picture is chosen."));
        picture_.LoadFromFile(path);
        reportedPicture_.clear();
    } catch (const Error& e) {
        picture_ = Bitmap();
        if (reportedPicture_ != path) {
            reportedPicture_ = path;
            App().ReportError(e.Message() + QStringLiteral("\nThe exercise uses the background colour instead."));
        }
    }
}

void TForm4::ClearWindow() {
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

void TForm4::RestoreBackground(const QRect& area) {
    if (picture_.Empty()) {
        // Inside the 1-pixel outline that the full clear draws with the pen.
        const QRect inside = area.intersected(QRect(1, 1, Width() - 2, Height() - 2));
        if (!inside.isEmpty()) Canvas.FillRect(inside.left(), inside.top(), inside.right() + 1, inside.bottom() + 1);
        return;
    }
    // The picture covers the whole window, keeping its proportions.
    const QSize size(ClientWidth(), ClientHeight());
    if (scaledPicture_.size() != size) {
        const QImage scaled = picture_.Image().scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        scaledPicture_ = scaled.copy((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2,
                                     size.width(), size.height());
    }
    const QRect clipped = area.intersected(scaledPicture_.rect());
    {
        QPainter painter(&SurfaceImage());
        painter.drawImage(clipped.topLeft(), scaledPicture_, clipped);
    }
    SurfaceChanged(clipped);
}

}  // namespace vistorel
