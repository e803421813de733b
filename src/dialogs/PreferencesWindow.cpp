#include "dialogs/PreferencesWindow.h"

#include "app/Program.h"

namespace vistorel {

PreferencesWindow::PreferencesWindow(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Preferences"), BorderStyle::None, true, 141, 70, 396, 352, false, clBlack});
}

void PreferencesWindow::FillPreferences() { Show(); }

}  // namespace vistorel
