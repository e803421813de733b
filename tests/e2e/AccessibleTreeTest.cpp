// The real program as a screen reader sees it: on a real X server with a
// D-Bus session of its own and the accessibility bus (AT-SPI) on it, the
// program's tree read by a small AT-SPI client names every button of the
// main window and of its exercise panel, each a push button that reacts when
// it can, in a frame that is the main window. Skipped only when no X server
// or no D-Bus session can be started at all.

#include "XSession.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>

namespace vistorel {
namespace {

using e2e::ScreenUser;
using e2e::VirtualDisplay;

const QString kProgramName = QStringLiteral("Висторель");
const QString kMain = QStringLiteral("Vistorel 4.0");
const QStringList kIdleButtons = {"Старт", "Настройки", "Выход", "О программе", "Тексты"};
const QStringList kExerciseButtons = {"Пауза", "Дальше", "Стоп", "Закладка", "К закладке", "Медленнее", "Быстрее"};

// A D-Bus session bus of its own, from the system's session configuration,
// so that the accessibility bus it starts on demand is this test's alone.
class SessionBus {
public:
    SessionBus() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            problem_ = QStringLiteral("dbus-daemon is not installed");
            return;
        }
        daemon_.setProgram(daemon);
        daemon_.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        daemon_.setProcessChannelMode(QProcess::SeparateChannels);
        e2e::EndWithThisProcess(daemon_);
        daemon_.start();
        QByteArray said;
        if (daemon_.waitForStarted(e2e::kPatienceMs)) {
            while (!said.contains('\n') && daemon_.state() == QProcess::Running && daemon_.waitForReadyRead(e2e::kPatienceMs)) {
                said += daemon_.readAllStandardOutput();
            }
        }
        address_ = QString::fromUtf8(said).section(QLatin1Char('\n'), 0, 0).trimmed();
        if (address_.isEmpty()) {
            problem_ = QStringLiteral("dbus-daemon gave no address: ") + daemon_.errorString() + QLatin1Char(' ') +
                       QString::fromLocal8Bit(daemon_.readAllStandardError());
        }
    }
    ~SessionBus() {
        if (daemon_.state() == QProcess::NotRunning) return;
        daemon_.terminate();
        if (!daemon_.waitForFinished(5000)) daemon_.kill();
        daemon_.waitForFinished();
    }
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    bool Running() const { return !address_.isEmpty(); }
    const QString& Address() const { return address_; }
    const QString& Problem() const { return problem_; }

private:
    QProcess daemon_;
    QString address_;
    QString problem_;
};

// One node of the tree as the client lists it.
struct Node {
    int Depth = 0;
    QString Role;
    QString Name;
    QStringList States;
};

QList<Node> Parse(const QString& listing) {
    QList<Node> nodes;
    for (const QString& line : listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 3) continue;
        const QString role = fields[0];
        const int depth = static_cast<int>(role.size() - role.trimmed().size());
        nodes.append({depth, role.trimmed(), fields[1], fields[2].split(QLatin1Char(','), Qt::SkipEmptyParts)});
    }
    return nodes;
}

// The nodes below the first one with this role and name.
QList<Node> Below(const QList<Node>& nodes, const QString& role, const QString& name) {
    QList<Node> below;
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        if (nodes[i].Role != role || nodes[i].Name != name) continue;
        for (qsizetype j = i + 1; j < nodes.size() && nodes[j].Depth > nodes[i].Depth; ++j) below.append(nodes[j]);
        break;
    }
    return below;
}

class AccessibleTree : public ::testing::Test {
protected:
    void SetUp() override {
        display_ = std::make_unique<VirtualDisplay>(1280, 1024);
        if (!display_->Running()) GTEST_SKIP() << "No X server could be started: " << qPrintable(display_->Problem());
        bus_ = std::make_unique<SessionBus>();
        if (!bus_->Running()) GTEST_SKIP() << "No D-Bus session bus could be started: " << qPrintable(bus_->Problem());
        ASSERT_EQ(ScreenUser::MissingTools(), QStringList()) << "scripts/setup installs xdotool and imagemagick";
        ASSERT_TRUE(home_.isValid());
        environment_ = display_->Environment();
        environment_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus_->Address());
        environment_.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        QDir(home_.path()).mkdir(QStringLiteral("runtime"));
        QFile::setPermissions(home_.filePath(QStringLiteral("runtime")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), home_.filePath(QStringLiteral("runtime")));
        // The program looks for the accessibility bus when it starts: it is woken up first.
        QString said;
        ASSERT_TRUE(RunClient({}, &said)) << "the accessibility bus did not start (scripts/setup installs "
                                             "at-spi2-core and python3-pyatspi): " << qPrintable(said);
    }

    void TearDown() override {
        if (program_.state() == QProcess::NotRunning) return;
        program_.kill();
        program_.waitForFinished();
    }

    // Runs the AT-SPI client; true when it succeeded, with what it printed.
    bool RunClient(const QStringList& arguments, QString* said) const {
        QProcess client;
        client.setProcessEnvironment(environment_);
        const QString python = QFile::exists(QStringLiteral("/usr/bin/python3"))
                                   ? QStringLiteral("/usr/bin/python3")  // the one with the system's pyatspi
                                   : QStringLiteral("python3");
        e2e::EndWithThisProcess(client);
        client.start(python, QStringList{QStringLiteral(VISTOREL_ACCESSIBLE_TREE)} + arguments);
        const bool finished = client.waitForFinished(2 * e2e::kPatienceMs);
        if (!finished) client.kill();
        client.waitForFinished();
        *said = QString::fromUtf8(client.readAllStandardOutput()) + QString::fromUtf8(client.readAllStandardError());
        return finished && client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0;
    }

    // The program's tree once a node of that name is in it.
    QList<Node> Tree(const QString& waitFor, QString* listing) const {
        EXPECT_TRUE(RunClient({kProgramName, QStringLiteral("--wait-for"), waitFor}, listing)) << qPrintable(*listing);
        return Parse(*listing);
    }

    void StartProgram() {
        const QString workspace = home_.filePath(QStringLiteral("workspace"));
        QProcess prepare;
        prepare.start(QStringLiteral(VISTOREL_WORKSPACE_TOOL),
                      {workspace, test::ImagesDirectory(), test::DataDirectory() + QStringLiteral("/sample.txt")});
        ASSERT_TRUE(prepare.waitForFinished(e2e::kPatienceMs) && prepare.exitCode() == 0);
        program_.setProcessEnvironment(environment_);
        program_.setWorkingDirectory(workspace);
        e2e::EndWithThisProcess(program_);
        program_.start(QStringLiteral(VISTOREL_BINARY), {});
        ASSERT_TRUE(program_.waitForStarted(e2e::kPatienceMs)) << qPrintable(program_.errorString());
    }

    std::unique_ptr<VirtualDisplay> display_;
    std::unique_ptr<SessionBus> bus_;
    QTemporaryDir home_;
    QProcessEnvironment environment_;
    QProcess program_;
};

// The push buttons among the nodes, by name, with their states.
QMap<QString, QStringList> Buttons(const QList<Node>& nodes) {
    QMap<QString, QStringList> buttons;
    for (const Node& node : nodes) {
        if (node.Role == QStringLiteral("push button")) buttons.insert(node.Name, node.States);
    }
    return buttons;
}

TEST_F(AccessibleTree, NamesEveryButtonOfTheMainWindowAndItsExercisePanel) {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ScreenUser user(*display_);
    ASSERT_TRUE(user.WaitForWindow(QStringLiteral("Welcome!"))) << "the welcome window did not appear";
    QString listing;
    const QList<Node> welcome = Tree(QStringLiteral("Начать"), &listing);
    EXPECT_TRUE(Buttons(Below(welcome, QStringLiteral("dialog"), QStringLiteral("Welcome!"))).contains("Начать"))
        << qPrintable(listing);
    user.Keys({QStringLiteral("Return")});
    ASSERT_TRUE(user.WaitUntilGone(QStringLiteral("Welcome!")));

    // Idle: the five buttons react; the exercise panel's are there, not shown.
    const QList<Node> idle = Below(Tree(kMain, &listing), QStringLiteral("frame"), kMain);
    std::cout << "The main window, no exercise running:\n" << qPrintable(listing) << "\n";
    QMap<QString, QStringList> buttons = Buttons(idle);
    for (const QString& name : kIdleButtons) {
        ASSERT_TRUE(buttons.contains(name)) << qPrintable(name) << "\n" << qPrintable(listing);
        EXPECT_TRUE(buttons[name].contains("showing") && buttons[name].contains("sensitive") &&
                    buttons[name].contains("focusable"))
            << qPrintable(name);
    }
    for (const QString& name : kExerciseButtons) EXPECT_FALSE(buttons.value(name).contains("showing")) << qPrintable(name);

    // «Старт» pressed by the screen reader: the exercise panel's buttons show and react.
    ASSERT_TRUE(RunClient({kProgramName, QStringLiteral("--press"), QStringLiteral("Старт")}, &listing)) << qPrintable(listing);
    const auto look = [&] {
        RunClient({kProgramName}, &listing);
        return Buttons(Below(Parse(listing), QStringLiteral("frame"), kMain));
    };
    // The panel's buttons show and the idle ones go insensitive in two
    // steps, each told to the screen reader on its own: wait for both.
    ScreenUser::WaitUntil([&] {
        buttons = look();
        return buttons.value(QStringLiteral("Пауза")).contains("showing") &&
               std::none_of(std::begin(kIdleButtons), std::end(kIdleButtons),
                            [&](const auto& name) { return buttons.value(name).contains("sensitive"); });
    });
    ASSERT_TRUE(buttons.value(QStringLiteral("Пауза")).contains("showing"))
        << "the exercise panel did not come:\n" << qPrintable(listing);
    std::cout << "The main window during an exercise:\n" << qPrintable(listing) << "\n";
    for (const QString& name : kExerciseButtons) {
        EXPECT_TRUE(buttons.value(name).contains("showing") && buttons.value(name).contains("sensitive")) << qPrintable(name);
    }
    for (const QString& name : kIdleButtons) EXPECT_FALSE(buttons.value(name).contains("sensitive")) << qPrintable(name);
    // No window of the program is a filler.
    for (const Node& node : Parse(listing)) {
        if (node.Depth == 1) {
            EXPECT_NE(node.Role, QStringLiteral("filler")) << qPrintable(node.Name);
        }
    }

    user.Keys({QStringLiteral("ctrl+q")});
    EXPECT_TRUE(program_.waitForFinished(e2e::kPatienceMs)) << "the program did not end on Ctrl+Q";
}

}  // namespace
}  // namespace vistorel
