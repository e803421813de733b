#include "trainers/Unit8.h"

#include "app/Program.h"

namespace vistorel {

TForm8::TForm8(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Reading speed test"), BorderStyle::Dialog, true, 40, 36, 577, 362, false, clBlack});
}

}  // namespace vistorel
