#include "dialogs/AboutWindow.h"

#include "app/Program.h"

namespace vistorel {

AboutWindow::AboutWindow(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("About"), BorderStyle::Dialog, false, 114, 43, 409, 330, false, clBlack});
}

}  // namespace vistorel
