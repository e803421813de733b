// Program entry: the command line, the application object, the windows, the
// message loop.

#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/Workspace.h"
#include "dialogs/WelcomeWindow.h"
#include "platform/Application.h"
#include "platform/FolderLock.h"
#include "platform/PlatformChoice.h"
#include "platform/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace {

// Shows each error in a message box, and counts them for the start-up probe.
class CountedMessageBoxes : public vistorel::MessageBoxErrorHandler {
public:
    void HandleError(const QString& message) override {
        ++Count;
        MessageBoxErrorHandler::HandleError(message);
    }
    int Count = 0;
};

// With VISTOREL_STARTUP_PROBE set, the program prints when its first window
// is on screen (wall-clock nanoseconds), its resident memory with every
// window created and how many errors it reported on the way, then ends:
// scripts/measure-startup and the installation test use this.
void ProbeStartup(vistorel::Application& app, const CountedMessageBoxes& errors) {
    QTimer::singleShot(0, [&app, &errors] {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        QFile status(QStringLiteral("/proc/self/status"));
        QByteArray rss = "?";
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("VmRSS:")) rss = line.mid(6).trimmed();
            }
        }
        std::printf("shown-at-ns %lld rss %s errors %d\n",
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec, rss.constData(), errors.Count);
        std::fflush(stdout);
        app.Terminate();
    });
}

// A second copy in a folder where the program already runs would overwrite
// the first one's files with its own: it says so and ends, having changed
// nothing; so does a copy that finds no place for its lock. The message box is
// its only window; closing it ends the program.
int RefuseToStart(vistorel::Application& app, const CountedMessageBoxes& errors, const QString& message) {
    app.ReportError(message);
    QApplication::setQuitOnLastWindowClosed(true);
    if (std::getenv("VISTOREL_STARTUP_PROBE") != nullptr) ProbeStartup(app, errors);
    QApplication::exec();
    return 1;
}

// The window icon in every size drawn for it (the desktop picks one).
QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/pictures/icon%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    const vistorel::CommandLine line = vistorel::ParseCommandLine(arguments);
    switch (line.Request) {
    case vistorel::CommandLine::Action::Help:
        std::printf("%s\n", qUtf8Printable(vistorel::HelpText()));
        return 0;
    case vistorel::CommandLine::Action::Version:
        std::printf("%s\n", qUtf8Printable(vistorel::VersionText()));
        return 0;
    case vistorel::CommandLine::Action::Refuse:
        std::fprintf(stderr, "vistorel: %s\n%s\n", qUtf8Printable(line.Problem), qUtf8Printable(vistorel::UsageText()));
        return 2;
    case vistorel::CommandLine::Action::Run:
        break;
    }
    // Qt would stop with an abort where its platform cannot open the windows:
    // that is found out here first.
    std::optional<vistorel::SystemPlatformProbe> probe(std::in_place);
    const vistorel::PlatformChoice platform =
        vistorel::ChoosePlatform(vistorel::RequestFromEnvironment(line.Platform, line.Display), *probe);
    if (!platform.Problem.isEmpty()) {
        std::fprintf(stderr,
                     "vistorel: %s\n"
                     "Запустите программу в графическом сеансе или на виртуальном дисплее:\n"
                     "  xvfb-run -a -s \"-screen 0 1280x1024x24\" %s\n",
                     qUtf8Printable(platform.Problem), argv[0]);
        return 1;
    }
    // The platform chosen here goes to Qt as its option, so that the programs
    // this one starts see the environment as it was.
    QByteArray platformOption = QByteArrayLiteral("-platform");
    QByteArray platformName = platform.Platform.toLocal8Bit();
    std::vector<char*> qtArguments(argv, argv + argc);
    if (!platformName.isEmpty()) {
        qtArguments.insert(qtArguments.begin() + 1, {platformOption.data(), platformName.data()});
    }
    int qtArgumentCount = static_cast<int>(qtArguments.size());
    qtArguments.push_back(nullptr);
    QApplication qt(qtArgumentCount, qtArguments.data());
    probe.reset();  // Qt holds its own connection now
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QStringLiteral(VISTOREL_APP_ID));
    QApplication::setWindowIcon(ProgramIcon());
    // The standard dialogs speak the program's language.
    QString translationProblem;
    const std::unique_ptr<QTranslator> qtTexts = vistorel::InstallQtTranslations(&translationProblem);
    if (!qtTexts) {
        std::fprintf(stderr, "vistorel: стандартные окна Qt останутся на английском: %s\n",
                     qUtf8Printable(translationProblem));
    }

    CountedMessageBoxes errors;
    vistorel::QtDialogs dialogs;
    vistorel::Application app(errors, dialogs);
    // Dialogs and error messages stay above the window they were called from.
    dialogs.SetCaller([&app] { return app.CallingWindow(); });
    errors.SetCaller([&app] { return app.CallingWindow(); });
    app.SetTitle(QStringLiteral("Висторель"));
    // Started from the desktop's menu the program works in the user's own data
    // folder, made ready on the first start; otherwise in the current folder.
    const QString installed = vistorel::InstalledDataFolder(QCoreApplication::applicationDirPath());
    QString startFolder = QDir::currentPath();
    if (line.UseDataFolder) {
        startFolder = line.DataFolder.isEmpty() ? vistorel::UserDataFolder() : QDir(line.DataFolder).absolutePath();
        QDir().mkpath(startFolder);  // so that its lock can be taken before anything is written in it
    }
    const vistorel::FolderLock lock(startFolder);
    if (!lock.Refusal().isEmpty()) return RefuseToStart(app, errors, lock.Refusal());
    // Told together with whatever the start finds wrong besides (a launcher that cannot be written).
    app.BeginErrorBatch();
    if (!lock.Warning().isEmpty()) app.ReportError(lock.Warning());
    if (line.UseDataFolder) {
        app.Guard([&] { vistorel::PrepareWorkspace(startFolder, QDir(installed).filePath(QStringLiteral("sample.txt"))); });
    }
    vistorel::Program program(app, startFolder, installed);
    program.EndOnTerminationSignals();
    program.welcomeWindow->Show();
    if (std::getenv("VISTOREL_STARTUP_PROBE") != nullptr) ProbeStartup(app, errors);
    if (app.Terminated()) return 0;
    return QApplication::exec();
}
