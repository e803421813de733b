#include "platform/PlatformChoice.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace vistorel {
namespace {

bool IsX(const QString& name) { return name.startsWith(QLatin1String("xcb")); }
bool IsWayland(const QString& name) { return name.startsWith(QLatin1String("wayland")); }

// The plugin's name in "name:option=value".
QString PluginName(const QString& entry) { return entry.section(QLatin1Char(':'), 0, 0).trimmed().toLower(); }

QString MissingPlugin(const QString& name) {
    if (IsWayland(name)) {
        return QStringLiteral("нет модуля Qt для Wayland (платформа \"%1\"): установите пакет qt6-wayland "
                              "или запустите программу на X-сервере.")
            .arg(name);
    }
    if (IsX(name)) {
        return QStringLiteral("нет модуля Qt для X-сервера (платформа \"%1\"): установите пакет qt6-qpa-plugins.")
            .arg(name);
    }
    return QStringLiteral("нет модуля Qt для платформы \"%1\" (он ищется в папках %2).")
        .arg(name, SystemPlatformProbe::PluginFolders().join(QStringLiteral(", ")));
}

QString SilentX(const QString& display) {
    return QStringLiteral("не удаётся открыть дисплей \"%1\": X-сервер не отвечает или не пускает эту программу.")
        .arg(display);
}

QString SilentCompositor(const QString& waylandDisplay) {
    return QStringLiteral("не удаётся подключиться к сеансу Wayland \"%1\": композитор не отвечает.")
        .arg(waylandDisplay.isEmpty() ? QStringLiteral("wayland-0") : waylandDisplay);
}

// Why this platform cannot take the windows; empty when it can.
QString Unusable(const QString& name, const PlatformRequest& request, const PlatformProbe& probe) {
    if (!probe.HasPlugin(name)) return MissingPlugin(name);
    if (IsX(name)) {
        if (request.Display.isEmpty()) {
            return QStringLiteral("для платформы \"%1\" не задан дисплей X (переменная DISPLAY пуста).").arg(name);
        }
        if (!probe.XServerAnswers(request.Display)) return SilentX(request.Display);
    }
    if (IsWayland(name) && !probe.CompositorAnswers(request.WaylandDisplay)) {
        return SilentCompositor(request.WaylandDisplay);
    }
    return {};
}

}  // namespace

PlatformChoice ChoosePlatform(const PlatformRequest& request, const PlatformProbe& probe) {
    const QString named = !request.CommandLine.isEmpty() ? request.CommandLine : request.Environment;
    if (!named.trimmed().isEmpty()) {
        // Qt tries the entries of a list in turn: one that works is enough.
        QString first;
        for (const QString& entry : named.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString problem = Unusable(PluginName(entry), request, probe);
            if (problem.isEmpty()) return {};
            if (first.isEmpty()) first = problem;
        }
        return {{}, first};
    }
    if (!request.Display.isEmpty()) {
        const QString onX = Unusable(QStringLiteral("xcb"), request, probe);
        if (onX.isEmpty()) return {QStringLiteral("xcb"), {}};
        // An X server that is gone, in a Wayland session that is not.
        if (!request.WaylandDisplay.isEmpty() && Unusable(QStringLiteral("wayland"), request, probe).isEmpty()) {
            return {QStringLiteral("wayland"), {}};
        }
        return {{}, onX};
    }
    if (!request.WaylandDisplay.isEmpty()) {
        const QString problem = Unusable(QStringLiteral("wayland"), request, probe);
        return problem.isEmpty() ? PlatformChoice{QStringLiteral("wayland"), {}} : PlatformChoice{{}, problem};
    }
    return {{},
            QStringLiteral("не задан дисплей для окон программы: нет ни X-сервера (переменная DISPLAY пуста), "
                           "ни сеанса Wayland (переменная WAYLAND_DISPLAY пуста).")};
}

PlatformRequest RequestFromEnvironment(const QString& platformOption, const QString& displayOption) {
    PlatformRequest request;
    request.CommandLine = platformOption;
    request.Environment = qEnvironmentVariable("QT_QPA_PLATFORM");
    request.Display = displayOption.isEmpty() ? qEnvironmentVariable("DISPLAY") : displayOption;
    request.WaylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    return request;
}

QStringList SystemPlatformProbe::PluginFolders() {
    QStringList folders;
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM_PLUGIN_PATH")) {
        folders.append(qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH"));
    }
    for (const QString& path : qEnvironmentVariable("QT_PLUGIN_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        folders.append(QDir(path).filePath(QStringLiteral("platforms")));
    }
    folders.append(QDir(QLibraryInfo::path(QLibraryInfo::PluginsPath)).filePath(QStringLiteral("platforms")));
    return folders;
}

bool SystemPlatformProbe::HasPlugin(const QString& name) const {
    for (const QString& folder : PluginFolders()) {
        const QDir dir(folder);
        for (const QString& file : dir.entryList({QStringLiteral("*.so")}, QDir::Files)) {
            // The names a plugin answers to are in its metadata, read without loading it.
            const QPluginLoader plugin(dir.filePath(file));
            const QJsonArray keys = plugin.metaData().value(QLatin1String("MetaData")).toObject().value(QLatin1String("Keys")).toArray();
            for (const auto& key : keys) {
                if (key.toString().compare(name, Qt::CaseInsensitive) == 0) return true;
            }
        }
    }
    return false;
}

SystemPlatformProbe::~SystemPlatformProbe() {
    if (connection_ != nullptr) disconnect_(connection_);
    if (xcb_ != nullptr) dlclose(xcb_);
}

bool SystemPlatformProbe::XServerAnswers(const QString& display) const {
    if (connection_ != nullptr) return true;
    if (xcb_ == nullptr) xcb_ = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (xcb_ == nullptr) return true;  // Qt's X plugin cannot be there either: it says so itself
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    auto connect = reinterpret_cast<Connect>(dlsym(xcb_, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(dlsym(xcb_, "xcb_connection_has_error"));
    disconnect_ = reinterpret_cast<Disconnect>(dlsym(xcb_, "xcb_disconnect"));
    if (connect == nullptr || hasError == nullptr || disconnect_ == nullptr) return true;
    constexpr int kAttempts = 5;
    constexpr useconds_t kPauseMicroseconds = 100000;
    const QByteArray name = display.toLocal8Bit();
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        void* connection = connect(name.constData(), nullptr);
        if (hasError(connection) == 0) {
            connection_ = connection;
            return true;
        }
        disconnect_(connection);
        if (attempt < kAttempts) usleep(kPauseMicroseconds);
    }
    return false;
}

bool SystemPlatformProbe::CompositorAnswers(const QString& waylandDisplay) const {
    if (qEnvironmentVariableIsSet("WAYLAND_SOCKET")) return true;  // a connection handed over already
    const QString name = waylandDisplay.isEmpty() ? QStringLiteral("wayland-0") : waylandDisplay;
    const QString path = QDir::isAbsolutePath(name) ? name : QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath(name);
    const QByteArray bytes = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (bytes.size() >= static_cast<qsizetype>(sizeof address.sun_path)) return false;
    std::memcpy(address.sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return false;
    const bool answers = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(socket);
    return answers;
}

}  // namespace vistorel
