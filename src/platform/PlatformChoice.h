#pragma once
// Where the windows go, decided before Qt starts: Qt stops the process with an
// abort (and a core dump) when its platform plugin is missing or cannot reach
// its display, so that is checked here first and told in Russian instead.
//
// The windows stand at the places they were designed for, which a Wayland
// client cannot choose. So where an X server is there (DISPLAY, on a Wayland
// desktop through XWayland) the program runs on X; without one, in a Wayland
// session, it runs on Wayland natively. A platform the user names
// (-platform, QT_QPA_PLATFORM) is taken as it is.

#include <QString>
#include <QStringList>

namespace vistorel {

// What the command line and the environment say.
struct PlatformRequest {
    QString CommandLine;     // -platform, as given
    QString Environment;     // QT_QPA_PLATFORM
    QString Display;         // -display, else DISPLAY
    QString WaylandDisplay;  // WAYLAND_DISPLAY
};

// What the machine offers; the program's own looks at the plugin folders and
// the display servers, tests answer from a script.
class PlatformProbe {
public:
    virtual ~PlatformProbe() = default;
    // A platform plugin of Qt with this name ("xcb", "wayland", "offscreen") is installed.
    virtual bool HasPlugin(const QString& name) const = 0;
    // The X server of this display takes a connection.
    virtual bool XServerAnswers(const QString& display) const = 0;
    // The Wayland compositor of this display name takes a connection.
    virtual bool CompositorAnswers(const QString& waylandDisplay) const = 0;
};

struct PlatformChoice {
    // The platform the program passes to Qt itself; empty when it leaves the
    // choice to Qt (the user named one).
    QString Platform;
    // Why the windows cannot be opened, in Russian; empty when they can.
    QString Problem;
};

PlatformChoice ChoosePlatform(const PlatformRequest& request, const PlatformProbe& probe);

// The request of this process: the options given, else its environment.
PlatformRequest RequestFromEnvironment(const QString& platformOption, const QString& displayOption);

// The plugin folders Qt looks in, the X server through the library Qt would
// use (loaded only for this), and the Unix sockets of Wayland.
//
// An X server that has no other client resets itself when its last client
// leaves, and refuses connections while it does. So a trial connection that
// succeeded is kept open for as long as the probe lives, which is until Qt has
// its own (closing it first made the server reset just as Qt connected, and Qt
// aborts), and a trial refused by a server that is still resetting after an
// earlier client is made again before giving up.
class SystemPlatformProbe : public PlatformProbe {
public:
    SystemPlatformProbe() = default;
    ~SystemPlatformProbe() override;
    SystemPlatformProbe(const SystemPlatformProbe&) = delete;
    SystemPlatformProbe& operator=(const SystemPlatformProbe&) = delete;

    bool HasPlugin(const QString& name) const override;
    bool XServerAnswers(const QString& display) const override;
    bool CompositorAnswers(const QString& waylandDisplay) const override;
    // The folders searched for platform plugins, for messages.
    static QStringList PluginFolders();

private:
    using Disconnect = void (*)(void*);
    mutable void* xcb_ = nullptr;
    mutable Disconnect disconnect_ = nullptr;
    mutable void* connection_ = nullptr;
};

}  // namespace vistorel
