// The program binary started as a user starts it, with what it prints when
// it cannot open its windows, its help, version and usage lines, and a second
// copy started in the folder where it runs.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <vector>
#include <sys/stat.h>
#include <utime.h>

namespace {

struct BinaryRun {
    int ExitCode = -1;
    QProcess::ExitStatus Status = QProcess::CrashExit;
    QString Errors;
    QString Output;
};

BinaryRun StartBinary(const QProcessEnvironment& environment, const QStringList& arguments = {},
                      const QString& folder = {}) {
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!folder.isEmpty()) process.setWorkingDirectory(folder);
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

// What a folder holds: every file's name and contents.
std::map<QString, QByteArray> Contents(const QString& folder) {
    std::map<QString, QByteArray> contents;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(QDir(folder).filePath(name));
        contents[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }
    return contents;
}

bool AwaitFile(const QString& path) {
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(path)) {
        if (waited.elapsed() > 20000) return false;
        QThread::msleep(20);
    }
    return true;
}

// A second copy started in the folder where the program runs says so and ends
// at once, leaving every file there as it was, even when the first copy has
// run for an hour; once the first copy is killed, the lock it left behind is
// taken over by the next start.
TEST(Entry, ASecondCopyInTheSameFolderEndsChangingNothing) {
    QTemporaryDir folder;
    const QString lockFile = folder.filePath(QStringLiteral(".vistorel.lock"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("VISTOREL_STARTUP_PROBE"));
    QProcess first;
    first.setProcessEnvironment(environment);
    first.setWorkingDirectory(folder.path());
    first.start(QStringLiteral(VISTOREL_BINARY), QStringList());
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(AwaitFile(folder.filePath(QStringLiteral("Vistor.bat"))));
    ASSERT_TRUE(QFileInfo::exists(lockFile));

    const utimbuf anHourAgo{time(nullptr) - 3600, time(nullptr) - 3600};
    ASSERT_EQ(utime(QFile::encodeName(lockFile).constData(), &anHourAgo), 0);
    const std::map<QString, QByteArray> files = {
        {QStringLiteral("Vistor.bat"), "the user's own"},
        {QStringLiteral("book_data.dat.vistorel-saving-Ab3dE9"), "what a save of the first copy is writing"},
    };
    for (const auto& [name, bytes] : files) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const std::map<QString, QByteArray> before = Contents(folder.path());

    environment.insert(QStringLiteral("VISTOREL_STARTUP_PROBE"), QStringLiteral("1"));
    const BinaryRun second = StartBinary(environment, {}, folder.path());
    EXPECT_EQ(second.Status, QProcess::NormalExit);
    EXPECT_EQ(second.ExitCode, 1);
    EXPECT_TRUE(second.Errors.contains(QStringLiteral("Висторель уже работает в папке \"%1\"").arg(folder.path())))
        << qPrintable(second.Errors);
    EXPECT_TRUE(Contents(folder.path()) == before);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();  // no chance to let go of its lock
    first.waitForFinished();
    ASSERT_TRUE(QFileInfo::exists(lockFile));
    const BinaryRun third = StartBinary(environment, {}, folder.path());
    EXPECT_EQ(third.ExitCode, 0) << qPrintable(third.Errors);
    EXPECT_FALSE(third.Errors.contains(QStringLiteral("уже работает"))) << qPrintable(third.Errors);
    EXPECT_EQ(Contents(folder.path())[QStringLiteral("Vistor.bat")], QByteArray("@echo off\r\nVistor.exe\r\n"));
    EXPECT_FALSE(QFileInfo::exists(folder.filePath(QStringLiteral("book_data.dat.vistorel-saving-Ab3dE9"))));
    EXPECT_FALSE(QFileInfo::exists(lockFile));  // let go at the end

    // An empty lock file, as a power loss leaves one, is no copy that runs.
    QFile(lockFile).open(QIODevice::WriteOnly);
    const BinaryRun afterPowerLoss = StartBinary(environment, {}, folder.path());
    EXPECT_EQ(afterPowerLoss.ExitCode, 0) << qPrintable(afterPowerLoss.Errors);
    EXPECT_FALSE(QFileInfo::exists(lockFile));
}

// Copies started at the same moment in one folder, with no lock file there,
// an empty one or one of garbage: exactly one runs, every other says so.
TEST(Entry, OfCopiesStartedAtOnceExactlyOneRuns) {
    constexpr int kCopies = 5;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("VISTOREL_STARTUP_PROBE"));
    for (const char* leftover : {static_cast<const char*>(nullptr), "", "garbage\n"}) {
        SCOPED_TRACE(leftover == nullptr ? "no lock file" : *leftover == '\0' ? "an empty lock file" : "garbage");
        QTemporaryDir folder;
        if (leftover != nullptr) {
            QFile lock(folder.filePath(QStringLiteral(".vistorel.lock")));
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly) && lock.write(leftover) >= 0);
        }
        std::vector<std::unique_ptr<QProcess>> copies;
        for (int k = 0; k < kCopies; ++k) {
            copies.push_back(std::make_unique<QProcess>());
            copies.back()->setProcessEnvironment(environment);
            copies.back()->setWorkingDirectory(folder.path());
            copies.back()->setReadChannel(QProcess::StandardError);
            copies.back()->start(QStringLiteral(VISTOREL_BINARY), QStringList());
        }
        for (const auto& copy : copies) ASSERT_TRUE(copy->waitForStarted());
        // A refused copy says so and waits with its message box; the one that
        // runs writes its launcher.
        std::vector<QString> said(kCopies);
        const auto refused = [&] {
            int count = 0;
            for (int k = 0; k < kCopies; ++k) {
                copies[k]->waitForReadyRead(0);
                said[k] += QString::fromUtf8(copies[k]->readAllStandardError());
                if (said[k].contains(QStringLiteral("уже работает"))) ++count;
            }
            return count;
        };
        QElapsedTimer waited;
        waited.start();
        while ((refused() < kCopies - 1 || !QFileInfo::exists(folder.filePath(QStringLiteral("Vistor.bat")))) &&
               waited.elapsed() < 20000) {
            QThread::msleep(50);
        }
        QThread::msleep(300);
        EXPECT_EQ(refused(), kCopies - 1);
        for (int k = 0; k < kCopies; ++k) EXPECT_EQ(copies[k]->state(), QProcess::Running) << qPrintable(said[k]);
        for (const auto& copy : copies) {
            copy->kill();
            copy->waitForFinished();
        }
    }
}

}  // namespace
