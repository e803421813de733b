#include "trainers/Unit13.h"

#include "app/Program.h"

namespace vistorel {

TForm13::TForm13(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("IPS Test"), BorderStyle::Dialog, true, 0, 31, 634, 391, false, clBlack});
}

}  // namespace vistorel
