#include "trainers/ReadingSpeedTestWindow.h"

#include "app/Program.h"

namespace vistorel {

ReadingSpeedTestWindow::ReadingSpeedTestWindow(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Reading speed test"), BorderStyle::Dialog, true, 40, 36, 577, 362, false, clBlack});
}

}  // namespace vistorel
