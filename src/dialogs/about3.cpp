#include "dialogs/about3.h"

#include "app/Program.h"

namespace vistorel {

TForm3::TForm3(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("About"), BorderStyle::Dialog, false, 114, 43, 409, 330, false, clBlack});
}

}  // namespace vistorel
