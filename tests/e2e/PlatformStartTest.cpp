// The real program where its windows cannot be opened: a platform whose Qt
// plugin is missing, no display at all. It says why in Russian and ends with
// an error code, where Qt alone would abort with a core dump.

#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

struct Outcome {
    QProcess::ExitStatus Status = QProcess::CrashExit;
    int Code = -1;
    QString Said;
};

Outcome RunProgram(const QProcessEnvironment& environment, const QString& folder) {
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    program.start(QStringLiteral(VISTOREL_BINARY), {});
    Outcome outcome;
    if (!program.waitForFinished(20000)) {
        program.kill();
        program.waitForFinished();
        return outcome;
    }
    outcome.Status = program.exitStatus();
    outcome.Code = program.exitCode();
    outcome.Said = QString::fromUtf8(program.readAllStandardError());
    return outcome;
}

TEST(PlatformStart, WithoutItsPlatformTheProgramSaysWhyAndEnds) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    const Outcome missing = RunProgram(environment, folder.path());
    EXPECT_EQ(missing.Status, QProcess::NormalExit);
    EXPECT_EQ(missing.Code, 1);
    EXPECT_TRUE(missing.Said.contains(QStringLiteral("нет модуля Qt для платформы \"no-such-platform\"")))
        << qPrintable(missing.Said);

    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    const Outcome none = RunProgram(environment, folder.path());
    EXPECT_EQ(none.Status, QProcess::NormalExit);
    EXPECT_EQ(none.Code, 1);
    EXPECT_TRUE(none.Said.contains(QStringLiteral("WAYLAND_DISPLAY"))) << qPrintable(none.Said);
    // Nothing was written in the folder it was started in.
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
}

}  // namespace
}  // namespace vistorel
