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
//   'w'         wait for that saver to end; answers 'k' when SIGKILL ended it,
//               'x' when it ended any other way
// A saver is forked from this process, so that hundreds of them start in a
// moment; it is killed with SIGKILL while it saves.

#include "platform/Errors.h"
#include "records/Settings.h"
#include "records/TextLibraryFile.h"

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
        if ((command == 'a' || command == 'b') && saver < 0) {
            saver = ::fork();
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
