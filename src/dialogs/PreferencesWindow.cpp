#include "dialogs/PreferencesWindow.h"

#include "app/Program.h"

namespace vistorel {

PreferencesWindow::PreferencesWindow(Program& program) : Form(program.App), program(program) {
    ApplyDesign({QStringLiteral("Preferences"), BorderStyle::None, true, 141, 70, 396, 352, false, clBlack});
}

void PreferencesWindow::FormCreate() {
    acceptHover_ = false;
    cancelHover_ = false;
    program.LoadImageOrReport(accept_.Normal, QStringLiteral("images\\accept.bmp"));
    program.LoadImageOrReport(accept_.Hover, QStringLiteral("images\\accept1.bmp"));
    program.LoadImageOrReport(cancel_.Normal, QStringLiteral("images\\cancel.bmp"));
    program.LoadImageOrReport(cancel_.Hover, QStringLiteral("images\\cancel1.bmp"));
}

void PreferencesWindow::FillPreferences() { Show(); }

}  // namespace vistorel
