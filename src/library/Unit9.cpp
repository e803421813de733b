#include "library/Unit9.h"

#include "app/Program.h"

namespace vistorel {

TForm9::TForm9(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Добавить текст"), BorderStyle::None, true, 87, 47, 427, 344, false, clBlack});
}

}  // namespace vistorel
