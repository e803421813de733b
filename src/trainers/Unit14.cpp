#include "trainers/Unit14.h"

#include "app/Program.h"

namespace vistorel {

TForm14::TForm14(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Memory test"), BorderStyle::Dialog, true, 33, 52, 610, 273, false, clBlack});
}

}  // namespace vistorel
