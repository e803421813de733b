#include "library/Unit10.h"

#include "app/Program.h"
#include "engine/Unit4.h"

namespace vistorel {

TForm10::TForm10(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Добавить закладку"), BorderStyle::Dialog, true, 212, 142, 384, 132, false, clBlack});
}

void TForm10::OpenAddBookmark() { program.Form4->StopTimers(); }

}  // namespace vistorel
