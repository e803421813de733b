#include "XSession.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <sys/prctl.h>

namespace vistorel::e2e {
namespace {

constexpr int kToolTimeoutMs = 10000;

// A title as xdotool matches it: an extended regular expression, anchored,
// with the characters that mean something there escaped.
QString TitlePattern(const QString& title) {
    QString pattern = QStringLiteral("^");
    for (const QChar c : title) {
        if (QStringLiteral(".[]{}()\\*+?^$|").contains(c)) pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char('$');
}

}  // namespace

void EndWithThisProcess(QProcess& process) {
    // The parent may be killed (a test run out of time); the child goes with it.
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

VirtualDisplay::VirtualDisplay(int width, int height) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        problem_ = QStringLiteral("Xvfb is not installed (scripts/setup installs it)");
        return;
    }
    // The server chooses a free display number itself and writes it out.
    server_.setProgram(xvfb);
    server_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                          QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(width).arg(height),
                          QStringLiteral("-ac"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    server_.setProcessChannelMode(QProcess::SeparateChannels);
    EndWithThisProcess(server_);
    server_.start();
    if (!server_.waitForStarted(kToolTimeoutMs)) {
        problem_ = QStringLiteral("Xvfb did not start: ") + server_.errorString();
        return;
    }
    QByteArray number;
    QElapsedTimer clock;
    clock.start();
    while (!number.contains('\n') && clock.elapsed() < kPatienceMs && server_.state() == QProcess::Running) {
        server_.waitForReadyRead(200);
        number += server_.readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        problem_ = QStringLiteral("Xvfb gave no display: ") + QString::fromLocal8Bit(server_.readAllStandardError());
        server_.kill();
        server_.waitForFinished();
        return;
    }
    name_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());

}

VirtualDisplay::~VirtualDisplay() {
    if (server_.state() == QProcess::NotRunning) return;
    server_.terminate();
    if (!server_.waitForFinished(5000)) {
        server_.kill();
        server_.waitForFinished();
    }
}

QString VirtualDisplay::State() {
    return QStringLiteral("display %1, server %2: %3")
        .arg(name_, server_.state() == QProcess::Running ? QStringLiteral("running")
                                                          : QStringLiteral("ended (%1)").arg(server_.exitCode()),
             QString::fromLocal8Bit(server_.readAllStandardError()).trimmed());
}

QProcessEnvironment VirtualDisplay::Environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), name_);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("XAUTHORITY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return environment;
}

QStringList ScreenUser::MissingTools() {
    QStringList missing;
    for (const QString& tool : {QStringLiteral("xdotool"), QStringLiteral("import")}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) missing.append(tool);
    }
    return missing;
}

QString ScreenUser::Xdotool(const QStringList& arguments, bool* ok) const {
    QProcess tool;
    tool.setProcessEnvironment(environment_);
    tool.start(QStringLiteral("xdotool"), arguments);
    const bool finished = tool.waitForFinished(kToolTimeoutMs);
    if (!finished) {
        tool.kill();
        tool.waitForFinished();
    }
    if (ok) *ok = finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    return QString::fromUtf8(tool.readAllStandardOutput());
}

std::optional<ScreenWindow> ScreenUser::WaitForWindow(const QString& title, int timeoutMs) const {
    std::optional<ScreenWindow> found;
    WaitUntil(
        [&] {
            bool ok = false;
            const QStringList ids =
                Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                         TitlePattern(title)},
                        &ok)
                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            if (!ok || ids.isEmpty()) return false;
            const QString shell =
                Xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), ids.back()}, &ok);
            if (!ok) return false;
            QRect rect;
            for (const QString& line : shell.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                const QString key = line.section(QLatin1Char('='), 0, 0);
                const int value = line.section(QLatin1Char('='), 1).toInt();
                if (key == QStringLiteral("X")) rect.moveLeft(value);
                if (key == QStringLiteral("Y")) rect.moveTop(value);
                if (key == QStringLiteral("WIDTH")) rect.setWidth(value);
                if (key == QStringLiteral("HEIGHT")) rect.setHeight(value);
            }
            found = ScreenWindow{ids.back(), rect};
            return true;
        },
        timeoutMs);
    return found;
}

bool ScreenUser::WaitUntilGone(const QString& title, int timeoutMs) const {
    return WaitUntil(
        [&] {
            bool ok = false;
            const QString ids = Xdotool(
                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), TitlePattern(title)},
                &ok);
            return ids.trimmed().isEmpty();
        },
        timeoutMs);
}

QString ScreenUser::FocusedWindow() const { return Xdotool({QStringLiteral("getwindowfocus")}).trimmed(); }

bool ScreenUser::WaitForFocus(const ScreenWindow& window, int timeoutMs) const {
    return WaitUntil([&] { return FocusedWindow() == window.Id; }, timeoutMs);
}

QStringList ScreenUser::VisibleTitles() const {
    QStringList titles;
    const QStringList ids =
        Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral(".")})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& id : ids) titles.append(Xdotool({QStringLiteral("getwindowname"), id}).trimmed());
    return titles;
}

bool ScreenUser::WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (condition()) return true;
        if (clock.elapsed() > timeoutMs) return false;
        QThread::msleep(100);
    }
}

bool ScreenUser::SetKeyboardLayout(const QString& layout) const {
    QProcess tool;
    tool.setProcessEnvironment(environment_);
    tool.start(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), layout});
    if (!tool.waitForFinished(kToolTimeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return false;
    }
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

void ScreenUser::Click(QPoint at) const {
    Move(at);
    Xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

void ScreenUser::Move(QPoint at) const {
    // Moved with --sync, which waits until the pointer has moved: for a
    // pointer already there it would wait until xdotool is given up on.
    const QString where = Xdotool({QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
    if (where.contains(QStringLiteral("X=%1\n").arg(at.x())) && where.contains(QStringLiteral("Y=%1\n").arg(at.y()))) {
        return;
    }
    Xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()), QString::number(at.y())});
}

std::optional<ScreenWindow> ScreenUser::ClickToOpen(QPoint at, const QString& title) const {
    constexpr int kTries = 3;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        Click(at);
        if (std::optional<ScreenWindow> window = WaitForWindow(title, kPatienceMs / kTries)) return window;
    }
    return std::nullopt;
}

bool ScreenUser::Type(const QString& text) const {
    if (!layouts_) layouts_ = SetKeyboardLayout(QStringLiteral("us,ru"));
    bool typed = false;
    if (layouts_) Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text}, &typed);
    return typed;
}

void ScreenUser::Keys(const QStringList& keys) const {
    Xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + keys);
}

QImage ScreenUser::Screen() const {
    QProcess import;
    import.setProcessEnvironment(environment_);
    import.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
    if (!import.waitForFinished(kToolTimeoutMs)) {
        import.kill();
        import.waitForFinished();
        return {};
    }
    return QImage::fromData(import.readAllStandardOutput(), "PNG").convertToFormat(QImage::Format_RGB32);
}

}  // namespace vistorel::e2e
