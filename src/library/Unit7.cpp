#include "library/Unit7.h"

#include "app/Program.h"

namespace vistorel {

TForm7::TForm7(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Text manager"), BorderStyle::None, true, 58, 21, 457, 329, false, clBlack});
}

}  // namespace vistorel
