#include "dialogs/Unit2.h"

#include "app/Program.h"

namespace vistorel {

TForm2::TForm2(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Preferences"), BorderStyle::None, true, 141, 70, 396, 352, false, clBlack});
}

void TForm2::FillPreferences() { Show(); }

}  // namespace vistorel
