// Where the windows go: X where an X server is, Wayland natively without one,
// what the user names as named, and a Russian reason instead of Qt's abort.

#include "platform/PlatformChoice.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vistorel;

namespace {

class ScriptedProbe : public PlatformProbe {
public:
    bool HasPlugin(const QString& name) const override { return Plugins.count(name) > 0; }
    bool XServerAnswers(const QString& display) const override { return Servers.count(display) > 0; }
    bool CompositorAnswers(const QString& name) const override { return Compositors.count(name) > 0; }

    std::set<QString> Plugins{QStringLiteral("xcb"), QStringLiteral("wayland"), QStringLiteral("offscreen")};
    std::set<QString> Servers{QStringLiteral(":0")};
    std::set<QString> Compositors{QStringLiteral("wayland-0")};
};

PlatformRequest Request(const QString& display, const QString& wayland, const QString& named = {}) {
    return {{}, named, display, wayland};
}

}  // namespace

// A Wayland desktop has both: X (XWayland) is taken, where the windows stand
// at their places. Without DISPLAY it is Wayland; with neither, a reason.
TEST(PlatformChoice, XWhereThereIsAServerWaylandWithoutOne) {
    const ScriptedProbe probe;
    EXPECT_EQ(ChoosePlatform(Request(QStringLiteral(":0"), QStringLiteral("wayland-0")), probe).Platform,
              QStringLiteral("xcb"));
    EXPECT_EQ(ChoosePlatform(Request({}, QStringLiteral("wayland-0")), probe).Platform, QStringLiteral("wayland"));
    // An X server that is gone, in a session whose compositor is not.
    EXPECT_EQ(ChoosePlatform(Request(QStringLiteral(":9"), QStringLiteral("wayland-0")), probe).Platform,
              QStringLiteral("wayland"));
    const PlatformChoice none = ChoosePlatform(Request({}, {}), probe);
    EXPECT_TRUE(none.Platform.isEmpty());
    EXPECT_TRUE(none.Problem.contains(QStringLiteral("DISPLAY"))) << qPrintable(none.Problem);
    EXPECT_TRUE(none.Problem.contains(QStringLiteral("WAYLAND_DISPLAY"))) << qPrintable(none.Problem);
    EXPECT_TRUE(ChoosePlatform(Request(QStringLiteral(":9"), {}), probe).Problem.contains(QStringLiteral("\":9\"")));
}

// A platform the user names is left to Qt, when it can work; one without its
// plugin or its server gets the reason, naming the package to install.
TEST(PlatformChoice, ANamedPlatformIsLeftToQtOrRefusedWithAReason) {
    ScriptedProbe probe;
    const PlatformChoice offscreen =
        ChoosePlatform(Request(QStringLiteral(":0"), {}, QStringLiteral("offscreen:configfile=a.json")), probe);
    EXPECT_TRUE(offscreen.Platform.isEmpty());
    EXPECT_TRUE(offscreen.Problem.isEmpty());
    EXPECT_TRUE(ChoosePlatform(Request({}, QStringLiteral("wayland-0"), QStringLiteral("wayland")), probe).Problem.isEmpty());
    // The command line counts before the environment.
    PlatformRequest both = Request({}, QStringLiteral("wayland-0"), QStringLiteral("xcb"));
    both.CommandLine = QStringLiteral("wayland");
    EXPECT_TRUE(ChoosePlatform(both, probe).Problem.isEmpty());

    probe.Plugins.erase(QStringLiteral("wayland"));
    const PlatformChoice noPlugin = ChoosePlatform(Request(QStringLiteral(":0"), {}, QStringLiteral("wayland")), probe);
    EXPECT_TRUE(noPlugin.Problem.contains(QStringLiteral("qt6-wayland"))) << qPrintable(noPlugin.Problem);
    // The same without DISPLAY and without a name: a Wayland session the program cannot open.
    EXPECT_TRUE(ChoosePlatform(Request({}, QStringLiteral("wayland-0")), probe).Problem.contains(QStringLiteral("qt6-wayland")));
    // Of a list one that works is enough; the reason is the first one's.
    EXPECT_TRUE(ChoosePlatform(Request(QStringLiteral(":0"), {}, QStringLiteral("wayland;xcb")), probe).Problem.isEmpty());
    const PlatformChoice silent = ChoosePlatform(Request(QStringLiteral(":7"), {}, QStringLiteral("xcb")), probe);
    EXPECT_TRUE(silent.Problem.contains(QStringLiteral("\":7\""))) << qPrintable(silent.Problem);
    EXPECT_TRUE(ChoosePlatform(Request({}, {}, QStringLiteral("vnc")), probe).Problem.contains(QStringLiteral("\"vnc\"")));
}

// The probe of this machine: the plugins Qt has, by the names in their
// metadata, and a Wayland socket that takes connections or does not.
TEST(PlatformChoice, TheSystemProbeFindsPluginsAndSockets) {
    const SystemPlatformProbe probe;
    EXPECT_TRUE(probe.HasPlugin(QStringLiteral("offscreen")));
    EXPECT_TRUE(probe.HasPlugin(QStringLiteral("xcb")));
    EXPECT_FALSE(probe.HasPlugin(QStringLiteral("no-such-platform")));

    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QString path = QDir(runtime.path()).filePath(QStringLiteral("wayland-test"));
    EXPECT_FALSE(probe.CompositorAnswers(path));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    ASSERT_LT(bytes.size(), static_cast<qsizetype>(sizeof address.sun_path));
    std::copy(bytes.begin(), bytes.end(), address.sun_path);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    EXPECT_TRUE(probe.CompositorAnswers(path));
    ::close(listener);
}
