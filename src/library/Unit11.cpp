#include "library/Unit11.h"

#include "app/Program.h"
#include "engine/Unit4.h"

namespace vistorel {

TForm11::TForm11(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Jump to bookmark"), BorderStyle::Dialog, true, 184, 71, 286, 273, false, clBlack});
}

void TForm11::OpenJumpToBookmark() { program.Form4->StopTimers(); }

}  // namespace vistorel
