#include "library/AddTextWindow.h"

#include "app/Program.h"

namespace vistorel {

AddTextWindow::AddTextWindow(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Добавить текст"), BorderStyle::None, true, 87, 47, 427, 344, false, clBlack});
}

void AddTextWindow::SetFilePath(const QString&) {}

}  // namespace vistorel
