#include "Desktop.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>

namespace vistorel::e2e {
namespace {

constexpr int kToolMs = 10000;

// A tool's output on the desktop's X server; empty when it failed.
QString Run(const QProcessEnvironment& environment, const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    if (!tool.waitForFinished(kToolMs)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return tool.exitCode() == 0 ? QString::fromLocal8Bit(tool.readAllStandardOutput()) : QString();
}

// A title as xdotool matches it: an anchored extended regular expression.
QString ExactTitle(const QString& title) {
    QString pattern = QStringLiteral("^");
    for (const QChar c : title) {
        if (QStringLiteral(".[]{}()\\*+?^$|").contains(c)) pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char('$');
}

// Where weston keeps its backends.
QString WestonBackend(const QString& name) {
    for (const QString& folder : {QStringLiteral("/usr/lib/x86_64-linux-gnu/libweston-10"),
                                  QStringLiteral("/usr/lib/x86_64-linux-gnu/libweston-11"),
                                  QStringLiteral("/usr/lib/x86_64-linux-gnu/libweston-12"),
                                  QStringLiteral("/usr/lib/libweston-10"), QStringLiteral("/usr/lib64/libweston-10")}) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo::exists(path)) return path;
    }
    return {};
}

}  // namespace

QString NameOf(DesktopKind kind) {
    switch (kind) {
        case DesktopKind::BareX: return QStringLiteral("bare X");
        case DesktopKind::Openbox: return QStringLiteral("openbox");
        case DesktopKind::Weston: return QStringLiteral("weston");
    }
    return {};
}

Desktop::Desktop(DesktopKind kind, int width, int height)
    : kind_(kind), display_(std::make_unique<VirtualDisplay>(width, height)) {
    if (!display_->Running()) {
        problem_ = display_->Problem();
        missing_ = true;
        return;
    }
    const QStringList missingTools = ScreenUser::MissingTools();
    if (!missingTools.isEmpty()) {
        problem_ = missingTools.join(QStringLiteral(", ")) + QStringLiteral(" missing (scripts/setup installs them)");
        return;
    }
    QProcessEnvironment environment = display_->Environment();
    if (kind == DesktopKind::Openbox) {
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty()) {
            problem_ = QStringLiteral("openbox is not installed (scripts/setup installs it)");
            missing_ = true;
            return;
        }
        StartManager(openbox, {QStringLiteral("--sm-disable")}, environment);
    } else if (kind == DesktopKind::Weston) {
        const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
        const bool plugin = QFileInfo::exists(QDir(QLibraryInfo::path(QLibraryInfo::PluginsPath))
                                                  .filePath(QStringLiteral("platforms/libqwayland-generic.so")));
        if (weston.isEmpty() || WestonBackend(QStringLiteral("x11-backend.so")).isEmpty() || !plugin) {
            problem_ = QStringLiteral("weston with its X11 backend, or Qt's Wayland plugin, is not installed "
                                      "(scripts/setup installs weston and qt6-wayland)");
            missing_ = true;
            return;
        }
        if (!runtime_.isValid() || !QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
            problem_ = QStringLiteral("no runtime folder for the compositor");
            return;
        }
        socket_ = QStringLiteral("vistorel-e2e");
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        StartManager(weston,
                     {QStringLiteral("--backend=x11-backend.so"), QStringLiteral("--use-pixman"),
                      QStringLiteral("--width=%1").arg(width), QStringLiteral("--height=%1").arg(height),
                      QStringLiteral("--socket=") + socket_, QStringLiteral("--idle-time=0"),
                      QStringLiteral("--no-config")},
                     environment);
    }
    if (problem_.isEmpty() && !WaitUntilManaging()) {
        problem_ = QStringLiteral("%1 did not take the screen: %2").arg(NameOf(kind), Said());
    }
}

Desktop::~Desktop() {
    if (manager_.state() == QProcess::NotRunning) return;
    manager_.terminate();
    if (!manager_.waitForFinished(5000)) {
        manager_.kill();
        manager_.waitForFinished();
    }
}

bool Desktop::StartManager(const QString& program, const QStringList& arguments,
                           const QProcessEnvironment& environment) {
    manager_.setProcessEnvironment(environment);
    manager_.setProcessChannelMode(QProcess::MergedChannels);
    EndWithThisProcess(manager_);
    manager_.start(program, arguments);
    if (manager_.waitForStarted(kToolMs)) return true;
    problem_ = program + QStringLiteral(" did not start: ") + manager_.errorString();
    return false;
}

bool Desktop::WaitUntilManaging() {
    const QProcessEnvironment x = display_->Environment();
    const ScreenUser user(*display_);
    switch (kind_) {
        case DesktopKind::BareX: return true;
        case DesktopKind::Openbox:
            // A window manager announces itself on the root window.
            return ScreenUser::WaitUntil([&] {
                return manager_.state() == QProcess::Running &&
                       Run(x, QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                           .contains(QStringLiteral("window id"));
            });
        case DesktopKind::Weston: {
            // Its socket, its output on the X server, and the desktop drawn
            // on it (the background is not black).
            const bool up = ScreenUser::WaitUntil([&] {
                if (manager_.state() != QProcess::Running) return false;
                if (!QFileInfo::exists(QDir(runtime_.path()).filePath(socket_))) return false;
                const QImage screen = user.Screen();
                return !screen.isNull() && screen.pixel(screen.width() / 2, screen.height() / 2) != qRgb(0, 0, 0);
            });
            // The compositor follows the X pointer once it has come in.
            user.Move(QPoint(5, 5));
            user.Move(QPoint(10, 10));
            return up;
        }
    }
    return false;
}

QProcessEnvironment Desktop::ProgramEnvironment() const {
    QProcessEnvironment environment = display_->Environment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the program chooses
    if (kind_ == DesktopKind::Weston) {
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket_);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    }
    return environment;
}

QString Desktop::Said() {
    QString said = QString::fromLocal8Bit(manager_.readAll()).trimmed();
    if (said.size() > 2000) said = said.right(2000);
    if (manager_.state() == QProcess::NotRunning) {
        said += QStringLiteral(" [it ended with exit code %1]").arg(manager_.exitCode());
    }
    return said;
}

bool PictureAt(const QImage& screen, const QImage& picture, QPoint at) {
    if (!screen.rect().contains(QRect(at, picture.size()))) return false;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(screen.constScanLine(at.y() + y)) + at.x();
        const auto* own = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if ((line[x] & 0xFFFFFF) != (own[x] & 0xFFFFFF)) return false;
        }
    }
    return true;
}

std::optional<QPoint> FindPicture(const QImage& screen, const QImage& picture, int rows, const QRect& within) {
    const QImage part = rows > 0 ? picture.copy(0, 0, picture.width(), rows) : picture;
    const QRect area = within.isNull() ? screen.rect() : within.intersected(screen.rect());
    // Looked for by its first point that is not black: most of the screen is.
    QPoint anchor(0, 0);
    bool found = false;
    for (int y = 0; y < part.height() && !found; ++y) {
        for (int x = 0; x < part.width() && !found; ++x) {
            found = (part.pixel(x, y) & 0xFFFFFF) != 0;
            if (found) anchor = QPoint(x, y);
        }
    }
    const QRgb first = part.pixel(anchor) & 0xFFFFFF;
    for (int y = area.top(); y + part.height() <= area.bottom() + 1; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(screen.constScanLine(y + anchor.y())) + anchor.x();
        for (int x = area.left(); x + part.width() <= area.right() + 1; ++x) {
            if ((line[x] & 0xFFFFFF) == first && PictureAt(screen, part, QPoint(x, y))) return QPoint(x, y);
        }
    }
    return std::nullopt;
}

int PointsChanged(const QImage& now, const QImage& before) {
    if (now.size() != before.size()) return now.width() * now.height();
    int count = 0;
    for (int y = 0; y < now.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(now.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        for (int x = 0; x < now.width(); ++x) count += (a[x] & 0xFFFFFF) != (b[x] & 0xFFFFFF);
    }
    return count;
}

int PixelsOf(const QImage& screen, const QRect& area, QRgb colour) {
    int count = 0;
    const QRect inside = area.intersected(screen.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if ((line[x] & 0xFFFFFF) == (colour & 0xFFFFFF)) ++count;
        }
    }
    return count;
}

std::optional<QRect> AreaOf(const QImage& screen, QRgb colour, int least) {
    QRect area;
    int count = 0;
    for (int y = 0; y < screen.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
        for (int x = 0; x < screen.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                area |= QRect(x, y, 1, 1);
                ++count;
            }
        }
    }
    if (count < least) return std::nullopt;
    return area;
}

std::optional<QRect> ClientRectOf(const VirtualDisplay& display, const QString& title) {
    const QProcessEnvironment x = display.Environment();
    const QStringList ids = Run(x, QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                 ExactTitle(title)})
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (ids.isEmpty()) return std::nullopt;
    // xwininfo tells where the client area is on the screen inside the
    // frame the window manager put around it.
    QRect rect;
    for (const QString& line : Run(x, QStringLiteral("xwininfo"), {QStringLiteral("-id"), ids.back()}).split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char(':'), 1).trimmed();
        if (line.contains(QStringLiteral("Absolute upper-left X"))) rect.moveLeft(value.toInt());
        if (line.contains(QStringLiteral("Absolute upper-left Y"))) rect.moveTop(value.toInt());
        if (line.trimmed().startsWith(QStringLiteral("Width:"))) rect.setWidth(value.toInt());
        if (line.trimmed().startsWith(QStringLiteral("Height:"))) rect.setHeight(value.toInt());
    }
    if (rect.isEmpty()) return std::nullopt;
    return rect;
}

QImage ProgramPicture(const QString& name) {
    return QImage(QDir(test::ImagesDirectory()).filePath(name)).convertToFormat(QImage::Format_RGB32);
}

}  // namespace vistorel::e2e
