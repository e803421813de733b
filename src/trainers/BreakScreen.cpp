#include "trainers/BreakScreen.h"

#include "app/Program.h"
#include "trainers/HopalongOrbit.h"

namespace vistorel {

BreakScreen::BreakScreen(Program& program) : Form(program.App), figureTimer(program.App, 10) {
    ApplyDesign({QStringLiteral("Перерыв"), BorderStyle::Sizeable, false, 0, 0, 640, 475, true, clBlack});
    figureTimer.OnTimer = [this] { OnFigureTick(); };
}

void BreakScreen::StartBreak() {
    ShowMaximized();
    // Seeded once per break: every tick then draws a figure of its own.
    App().Random().Randomize();
    BreakParameter = 5.0;
    BreakColorBase = 50000;
    DrawBreakFigure();
    figureTimer.SetEnabled(true);
}

void BreakScreen::OnFigureTick() {
    BreakParameter = App().Random().NextDouble() * 100;
    BreakColorBase += 2000;
    if (BreakColorBase > 80000) BreakColorBase = 0;
    DrawBreakFigure();
}

void BreakScreen::DrawBreakFigure() {
    const BreakFigure figure{BreakParameter, BreakColorBase, Width(), Height()};
    const QRect changed = PlotBreakFigure(SurfaceImage(), figure, App().Random());
    if (!changed.isEmpty()) SurfaceChanged(changed);
}

void BreakScreen::FormClose() { figureTimer.SetEnabled(false); }

void BreakScreen::FormMouseDown(MouseButton, int, int) { Close(); }

bool BreakScreen::FormKeyDown(int key, Qt::KeyboardModifiers) {
    // A modifier alone is half of a key still to come.
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock: return false;
        default: break;
    }
    Close();
    return true;
}

}  // namespace vistorel
