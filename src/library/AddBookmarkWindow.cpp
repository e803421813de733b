#include "library/AddBookmarkWindow.h"

#include "app/Program.h"
#include "engine/ExerciseWindow.h"

namespace vistorel {

AddBookmarkWindow::AddBookmarkWindow(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Добавить закладку"), BorderStyle::Dialog, true, 212, 142, 384, 132, false, clBlack});
}

void AddBookmarkWindow::OpenAddBookmark() { program.exerciseWindow->StopTimers(); }

}  // namespace vistorel
