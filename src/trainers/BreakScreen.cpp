#include "trainers/BreakScreen.h"

#include "app/Program.h"

namespace vistorel {

BreakScreen::BreakScreen(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Перерыв"), BorderStyle::Sizeable, false, 0, 0, 640, 475, true, clBlack});
}

}  // namespace vistorel
