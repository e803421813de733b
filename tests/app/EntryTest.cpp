// The program binary started as a user starts it, with what it prints when
// it cannot open its windows, and its help, version and usage lines.

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

struct BinaryRun {
    int ExitCode = -1;
    QProcess::ExitStatus Status = QProcess::CrashExit;
    QString Errors;
    QString Output;
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
    run.Output = QString::fromUtf8(process.readAllStandardOutput());
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

// Help and version are printed without a display and end the program; an
// unknown option ends it with the reason, a usage line and exit code 2.
TEST(Entry, PrintsHelpAndVersionWithoutADisplayAndRefusesAnUnknownOption) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/srv/anna/data"));

    const BinaryRun help = StartBinary(environment, {QStringLiteral("--help")});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_TRUE(help.Output.startsWith(QStringLiteral("Использование: vistorel [ПАРАМЕТРЫ]\n")))
        << qPrintable(help.Output);
    EXPECT_TRUE(help.Output.contains(QStringLiteral("~/.local/share/vistorel; сейчас это\n"
                                                    "                         /srv/anna/data/vistorel).\n")))
        << qPrintable(help.Output);
    EXPECT_EQ(help.Errors, QString());

    const BinaryRun version = StartBinary(environment, {QStringLiteral("--version")});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Output, QStringLiteral("Vistorel 4.0\n"));

    const BinaryRun unknown = StartBinary(environment, {QStringLiteral("--data-folder"), QStringLiteral("--fast")});
    EXPECT_EQ(unknown.Status, QProcess::NormalExit);
    EXPECT_EQ(unknown.ExitCode, 2);
    EXPECT_EQ(unknown.Output, QString());
    EXPECT_EQ(unknown.Errors, QStringLiteral("vistorel: неизвестный параметр «--fast»\n"
                                             "Использование: vistorel [--data-folder[=ПАПКА]] [--help] [--version]\n"
                                             "Подробнее: vistorel --help\n"));
}

}  // namespace
