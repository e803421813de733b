#include "trainers/MemoryTestWindow.h"

#include "app/Program.h"

namespace vistorel {

MemoryTestWindow::MemoryTestWindow(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Memory test"), BorderStyle::Dialog, true, 33, 52, 610, 273, false, clBlack});
}

}  // namespace vistorel
