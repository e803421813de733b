#include "dialogs/Unit5.h"

#include "app/Program.h"
#include "app/main.h"

#include <QSaveFile>

namespace vistorel {
namespace {

// The launcher batch file written beside the program at every start.
void WriteLauncher(const QString& path) {
    QSaveFile file(path);
    const QByteArray text("@echo off\r\nVistor.exe\r\n");
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush() || !file.commit()) {
        throw FileError(path, QStringLiteral("write"), file.errorString());
    }
}

}  // namespace

TForm5::TForm5(Program& program) : Form(program.App), Timer1(program.App, 100), program(program) {
    ApplyDesign({QStringLiteral("Welcome!"), BorderStyle::Dialog, false, 137, 25, 401, 285, false, clBlack});
    SetMainForm(true);
    Timer1.OnTimer = [this] { Timer1Timer(); };
}

void TForm5::FormCreate() {
    // The start directory is recorded by the program before any window exists.
    program.LoadImage(logo_, QStringLiteral("images\\vistorlogo.bmp"));
    WelcomeOpening = 1;
    WelcomeFrame = 0;
    for (int n = 1; n <= kFrames; ++n) {
        program.LoadImage(frames_[n], QStringLiteral("images/start%1.bmp").arg(n, 2, 10, QLatin1Char('0')));
    }
    WriteLauncher(program.StartFile(QStringLiteral("Vistor.bat")));
}

void TForm5::DrawFrame(int frame) { Canvas.Draw(150, 251, frames_[static_cast<std::size_t>(frame)]); }

void TForm5::FormPaint() {
    Canvas.Draw(0, 0, logo_);
    DrawFrame(1);
}

void TForm5::FormMouseMove(int x, int y) {
    if (kButton.Contains(x, y)) {
        if (WelcomeFrame == 0) {
            WelcomeOpening = 1;
            SetCursor(CursorShape::HandPoint);
            Timer1.SetEnabled(true);
        }
    } else if (WelcomeFrame == kFrames) {
        SetCursor(CursorShape::Default);
        WelcomeOpening = 0;
        Timer1.SetEnabled(true);
    }
}

void TForm5::Timer1Timer() {
    if (WelcomeFrame < kFrames && WelcomeOpening == 1) {
        ++WelcomeFrame;
        DrawFrame(WelcomeFrame);
        if (WelcomeFrame == kFrames) Timer1.SetEnabled(false);
    }
    if (WelcomeFrame > 1 && WelcomeOpening == 0) {
        --WelcomeFrame;
        DrawFrame(WelcomeFrame);
        if (WelcomeFrame == 1) {
            Timer1.SetEnabled(false);
            WelcomeFrame = 0;
        }
    }
}

void TForm5::FormMouseDown(MouseButton, int x, int y) {
    if (!kButton.Contains(x, y)) return;
    Hide();
    program.Form1->ShowMaximized();
}

}  // namespace vistorel
