// The program started again and again on an X server that has no other
// client. Such a server resets itself whenever its last client leaves and
// refuses connections while it does; the program must open its windows
// every time all the same.

#include "XSession.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

constexpr int kStarts = 60;

TEST(RepeatedStart, OpensItsWindowsEveryTimeOnAServerOfItsOwn) {
    e2e::VirtualDisplay display(1280, 1024);
    if (!display.Running()) GTEST_SKIP() << "No X server could be started: " << qPrintable(display.Problem());
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString workspace = QDir(home.path()).filePath(QStringLiteral("workspace"));
    QProcess prepare;
    prepare.start(QStringLiteral(VISTOREL_WORKSPACE_TOOL),
                  {workspace, test::ImagesDirectory(), test::DataDirectory() + QStringLiteral("/sample.txt")});
    ASSERT_TRUE(prepare.waitForFinished(e2e::kPatienceMs) && prepare.exitCode() == 0)
        << prepare.readAllStandardError().constData();

    QProcessEnvironment environment = display.Environment();
    // The program ends by itself once its first window is on the screen.
    environment.insert(QStringLiteral("VISTOREL_STARTUP_PROBE"), QStringLiteral("1"));
    for (int start = 1; start <= kStarts; ++start) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(workspace);
        e2e::EndWithThisProcess(program);
        program.start(QStringLiteral(VISTOREL_BINARY), {});
        ASSERT_TRUE(program.waitForFinished(e2e::kPatienceMs)) << "start " << start << " did not end";
        ASSERT_TRUE(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0 &&
                    program.readAllStandardOutput().startsWith("shown-at-ns "))
            << "start " << start << " of " << kStarts << " failed (exit status " << program.exitStatus()
            << ", code " << program.exitCode() << "): " << program.readAllStandardError().constData();
    }
}

}  // namespace
}  // namespace vistorel
