// A helper for the test of saves killed half-way. It starts savers on
// request: each saver is a process that saves the library and the settings
// into a start directory over and over, as the program saves them,
// alternating two contents, until the test kills it.
//
//   vistorel_save_loop <start directory> <contents directory>
//
// The contents directory holds "a.dat" and "b.dat" (libraries) and "a.ini"
// and "b.ini" (settings). Commands come one byte at a time on the standard
// input; answers go to the standard output:
//   'a' or 'b'  start a saver whose first contents are those; as it starts
//               saving it writes 'r' and its process id (4 bytes), and 'd'
//               once the first contents are saved
//   'q'         start a recorder instead: it records exercise sessions into
//               the results database of the start directory, one transaction
//               each, numbered on from the sessions already there (the
//               session's words shown and its text's title carry the number);
//               it answers like a saver, with a 'd' after each of its first
//               two sessions
//   'w'         wait for that saver to end; answers 'k' when SIGKILL ended it,
//               'x' when it ended any other way
// A saver is forked from this process, so that hundreds of them start in a
// moment; it is killed with SIGKILL while it saves.

#include "history/ResultsDatabase.h"
#include "platform/Errors.h"
#include "records/Settings.h"
#include "records/TextLibraryFile.h"

#include <QCoreApplication>
#include <QDir>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

using namespace vistorel;

namespace {

struct Contents {
    TextTable Library;
    int Count = 0;
    Settings Record;
};

bool Load(const QDir& folder, const char* name, Contents& contents) {
    QString failure;
    const QString library = folder.filePath(QStringLiteral("%1.dat").arg(QLatin1String(name)));
    contents.Count = LoadTextLibraryFile(library, contents.Library, &failure);
    const QString settings = folder.filePath(QStringLiteral("%1.ini").arg(QLatin1String(name)));
    return failure.isEmpty() && contents.Count > 0 &&
           LoadSettingsFile(settings, contents.Record) == FileRead::Status::Read;
}

bool Say(const void* bytes, std::size_t size) {
    return ::write(STDOUT_FILENO, bytes, size) == static_cast<ssize_t>(size);
}

// The saver: never returns; ends with 1 when a save fails.
[[noreturn]] void SaveForever(const QDir& start, const Contents (&both)[2], int first) {
    const QString libraryFile = start.filePath(QStringLiteral("book_data.dat"));
    const QString settingsFile = start.filePath(QStringLiteral("Vistorel.ini"));
    char ready[5] = {'r'};
    const std::int32_t pid = ::getpid();
    std::memcpy(ready + 1, &pid, sizeof pid);
    if (!Say(ready, sizeof ready)) ::_exit(1);
    for (long round = 0;; ++round) {
        const Contents& contents = both[(first + round) % 2];
        QString error;
        try {
            SaveTextLibraryFile(libraryFile, contents.Library, contents.Count);
        } catch (const Error& e) {
            error = e.Message();
        }
        if (error.isEmpty()) SaveSettingsFile(settingsFile, contents.Record, &error);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "vistorel_save_loop: %s\n", qUtf8Printable(error));
            ::_exit(1);
        }
        if (round == 0 && !Say("d", 1)) ::_exit(1);
    }
}

// The recorder: never returns; ends with 1 when the database fails.
[[noreturn]] void RecordForever(const QDir& start) {
    int argc = 1;
    char name[] = "vistorel_recorder";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ResultsDatabase db(start.filePath(QStringLiteral("Vistorel.sqlite")), [](const QString& message) {
        std::fprintf(stderr, "vistorel_save_loop: %s\n", qUtf8Printable(message));
        ::_exit(1);
    });
    char ready[5] = {'r'};
    const std::int32_t pid = ::getpid();
    std::memcpy(ready + 1, &pid, sizeof pid);
    if (!Say(ready, sizeof ready)) ::_exit(1);
    const QDateTime base(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
    const std::int64_t first = static_cast<std::int64_t>(db.Table(ResultKind::Exercise).Rows.size()) + 1;
    for (std::int64_t n = first;; ++n) {
        ExerciseSessionResult session;
        session.StartedAt = base.addSecs(n);
        session.EndedAt = base.addSecs(n + 1);
        session.Title = QStringLiteral("Текст %1").arg(n);
        session.Path = QStringLiteral("text.txt");
        session.WordsShown = n;
        if (!db.Record(session)) ::_exit(1);
        if (n <= first + 1 && !Say("d", 1)) ::_exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vistorel_save_loop <start directory> <contents directory>\n");
        return 2;
    }
    const QDir start(QString::fromLocal8Bit(argv[1]));
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    Contents both[2];
    if (!Load(folder, "a", both[0]) || !Load(folder, "b", both[1])) {
        std::fprintf(stderr, "vistorel_save_loop: cannot read the contents in %s\n", argv[2]);
        return 2;
    }
    pid_t saver = -1;
    char command = 0;
    while (::read(STDIN_FILENO, &command, 1) == 1) {
        if ((command == 'a' || command == 'b' || command == 'q') && saver < 0) {
            saver = ::fork();
            if (saver == 0 && command == 'q') RecordForever(start);
            if (saver == 0) SaveForever(start, both, command - 'a');
            if (saver < 0) return 1;
        } else if (command == 'w' && saver > 0) {
            int status = 0;
            while (::waitpid(saver, &status, 0) < 0 && errno == EINTR) {
            }
            saver = -1;
            if (!Say(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? "k" : "x", 1)) return 1;
        }
    }
    if (saver > 0) ::kill(saver, SIGKILL);
    return 0;
}
