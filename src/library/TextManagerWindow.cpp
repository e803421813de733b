#include "library/TextManagerWindow.h"

#include "app/Program.h"

namespace vistorel {

TextManagerWindow::TextManagerWindow(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Text manager"), BorderStyle::None, true, 58, 21, 457, 329, false, clBlack});
}

}  // namespace vistorel
