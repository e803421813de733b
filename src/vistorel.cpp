// Program entry: the application object, the windows, the message loop.

#include "app/Program.h"
#include "dialogs/Unit5.h"
#include "platform/Application.h"
#include "platform/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt would stop with an obscure platform-plugin error.
bool HaveDisplay() {
    if (std::getenv("QT_QPA_PLATFORM") != nullptr) return true;
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (!HaveDisplay()) {
        std::fprintf(stderr,
                     "vistorel: no display to open windows on (DISPLAY is not set).\n"
                     "Start it from a desktop session, or without one under a virtual display:\n"
                     "  xvfb-run -a -s \"-screen 0 1280x1024x24\" %s\n",
                     argv[0]);
        return 1;
    }
    QApplication qt(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    vistorel::MessageBoxErrorHandler errors;
    vistorel::QtDialogs dialogs;
    vistorel::Application app(errors, dialogs);
    app.SetTitle(QStringLiteral("Висторель"));
    vistorel::Program program(app, QDir::currentPath());
    program.Form5->Show();
    if (app.Terminated()) return 0;
    return QApplication::exec();
}
