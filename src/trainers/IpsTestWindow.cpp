#include "trainers/IpsTestWindow.h"

#include "app/Program.h"

namespace vistorel {

IpsTestWindow::IpsTestWindow(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("IPS Test"), BorderStyle::Dialog, true, 0, 31, 634, 391, false, clBlack});
}

}  // namespace vistorel
