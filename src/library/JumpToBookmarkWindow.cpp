#include "library/JumpToBookmarkWindow.h"

#include "app/Program.h"
#include "engine/ExerciseWindow.h"

namespace vistorel {

JumpToBookmarkWindow::JumpToBookmarkWindow(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Jump to bookmark"), BorderStyle::Dialog, true, 184, 71, 286, 273, false, clBlack});
}

void JumpToBookmarkWindow::OpenJumpToBookmark() { program.exerciseWindow->StopTimers(); }

}  // namespace vistorel
