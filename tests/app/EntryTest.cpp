// The program binary started as a user starts it, with what it prints when
// it cannot open its windows.

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

struct BinaryRun {
    int ExitCode = -1;
    QProcess::ExitStatus Status = QProcess::CrashExit;
    QString Errors;
};

BinaryRun StartBinary(const QProcessEnvironment& environment, const QStringList& arguments = {}) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VISTOREL_BINARY), arguments);
    BinaryRun run;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.ExitCode = process.exitCode();
    run.Status = process.exitStatus();
    run.Errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A display that is set but cannot be reached, or none at all: a plain
// message and exit code 1, not an abort inside the toolkit.
TEST(Entry, SaysPlainlyWhenTheDisplayCannotBeOpened) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":9987"));
    const BinaryRun unreachable = StartBinary(environment);
    EXPECT_EQ(unreachable.Status, QProcess::NormalExit);
    EXPECT_EQ(unreachable.ExitCode, 1);
    EXPECT_TRUE(unreachable.Errors.contains(QStringLiteral("не удаётся открыть дисплей \":9987\"")))
        << qPrintable(unreachable.Errors);

    environment.remove(QStringLiteral("DISPLAY"));
    const BinaryRun unset = StartBinary(environment);
    EXPECT_EQ(unset.Status, QProcess::NormalExit);
    EXPECT_EQ(unset.ExitCode, 1);
    EXPECT_TRUE(unset.Errors.contains(QStringLiteral("не задан дисплей"))) << qPrintable(unset.Errors);
}

}  // namespace
