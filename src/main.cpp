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
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <string>

namespace {

// Without a display Qt would stop with an obscure platform-plugin error (and
// abort, for a display that is set but cannot be reached). The X display is
// tried here first, through the same library Qt would use, loaded only for
// this; an empty string means the windows can be opened.
std::string DisplayProblem() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && std::strncmp(platform, "xcb", 3) != 0) return {};  // offscreen, vnc, wayland ...
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        return "не задан дисплей для окон программы (переменная DISPLAY пуста).";
    }
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (xcb == nullptr) return {};  // let Qt say what is missing
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    std::string problem;
    if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
        void* connection = connect(nullptr, nullptr);
        if (hasError(connection) != 0) {
            problem = std::string("не удаётся открыть дисплей \"") + display +
                      "\": X-сервер не отвечает или не пускает эту программу.";
        }
        disconnect(connection);
    }
    dlclose(xcb);
    return problem;
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
    const std::string problem = DisplayProblem();
    if (!problem.empty()) {
        std::fprintf(stderr,
                     "vistorel: %s\n"
                     "Запустите программу в графическом сеансе или на виртуальном дисплее:\n"
                     "  xvfb-run -a -s \"-screen 0 1280x1024x24\" %s\n",
                     problem.c_str(), argv[0]);
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
