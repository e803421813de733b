// Program entry: the application object, the windows, the message loop.

#include "app/Program.h"
#include "dialogs/WelcomeWindow.h"
#include "platform/Application.h"
#include "platform/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// Without a display Qt would stop with an obscure platform-plugin error.
bool HaveDisplay() {
    if (std::getenv("QT_QPA_PLATFORM") != nullptr) return true;
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

// With VISTOREL_STARTUP_PROBE set, the program prints when its first window
// is on screen (wall-clock nanoseconds) and its resident memory with every
// window created, then ends: scripts/measure-startup uses this.
void ProbeStartup(vistorel::Application& app) {
    QTimer::singleShot(0, [&app] {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        QFile status(QStringLiteral("/proc/self/status"));
        QByteArray rss = "?";
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("VmRSS:")) rss = line.mid(6).trimmed();
            }
        }
        std::printf("shown-at-ns %lld rss %s\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                    rss.constData());
        std::fflush(stdout);
        app.Terminate();
    });
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
    program.welcomeWindow->Show();
    if (std::getenv("VISTOREL_STARTUP_PROBE") != nullptr) ProbeStartup(app);
    if (app.Terminated()) return 0;
    return QApplication::exec();
}
