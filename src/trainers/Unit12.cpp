#include "trainers/Unit12.h"

#include "app/Program.h"

namespace vistorel {

TForm12::TForm12(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Перерыв"), BorderStyle::Sizeable, false, 0, 0, 640, 475, true, clBlack});
}

}  // namespace vistorel
