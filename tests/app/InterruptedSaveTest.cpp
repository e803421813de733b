// Saves killed at random moments: child processes save the library and the
// settings over and over, alternating two contents, and are killed with
// SIGKILL; each data file is always whole, one contents or the other, and the
// next start of the program clears what the killed saves left behind. A
// recording of results killed the same way leaves a database that opens with
// every result committed before the kill.

#include "app/Program.h"
#include "history/ResultsDatabase.h"
#include "library/LibraryTestSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstring>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <gtest/gtest.h>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vistorel {
namespace {

using test::BytesOf;
using test::LibraryOf;

const QString kSettingsFile = QStringLiteral("Vistorel.ini");
const QString kLibraryFile = QStringLiteral("book_data.dat");

QByteArray SettingsOf(const QString& textPath, std::uint16_t level, TColor back) {
    Settings record;
    record.TextPath.SetText(textPath);
    record.Level = level;
    record.FontSize = 20;
    record.BackColor = back;
    record.Reserved117 = 0x5A;  // kept as the file holds it
    return BytesOf(record);
}

// The helper that starts savers: processes that save both files over and
// over (see SaveLoop.cpp), which the test kills.
class Savers {
public:
    Savers(const QString& start, const QString& contents) {
        int in[2];
        int out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        for (const int fd : {in[0], in[1], out[0], out[1]}) posix_spawn_file_actions_addclose(&actions, fd);
        const QByteArray program = VISTOREL_SAVE_LOOP;
        const QByteArray startArg = QFile::encodeName(start);
        const QByteArray contentsArg = QFile::encodeName(contents);
        char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(startArg.constData()),
                        const_cast<char*>(contentsArg.constData()), nullptr};
        if (posix_spawn(&helper_, program.constData(), &actions, nullptr, argv, environ) != 0) helper_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        commands_ = in[1];
        answers_ = out[0];
    }
    ~Savers() {
        if (saver_ > 0) Kill();
        if (commands_ >= 0) ::close(commands_);  // the helper ends at the end of its input
        if (answers_ >= 0) ::close(answers_);
        if (helper_ > 0) ::waitpid(helper_, nullptr, 0);
    }
    Savers(const Savers&) = delete;
    Savers& operator=(const Savers&) = delete;

    // Starts a saver whose first contents are 'a' or 'b'; true once it saves.
    bool Start(char first) {
        char ready[5] = {};
        if (helper_ <= 0 || ::write(commands_, &first, 1) != 1 || !Read(ready, sizeof ready) || ready[0] != 'r') {
            return false;
        }
        std::int32_t pid = 0;
        std::memcpy(&pid, ready + 1, sizeof pid);
        saver_ = pid;
        return true;
    }
    // Waits until the saver has saved its first contents (a recorder: one
    // more session).
    bool AwaitFirstContents() {
        char done = 0;
        return Read(&done, 1) && done == 'd';
    }
    // Stops the saver at moments picked at random until one falls while the
    // file has a journal that is not empty, that is inside a transaction, and
    // leaves it stopped there; false if no moment did.
    bool StopInsideATransaction(const QString& journal, std::mt19937& random) {
        std::uniform_int_distribution<int> pause(0, 500);
        for (int attempt = 0; attempt < 20000; ++attempt) {
            if (!Stop()) return false;
            if (QFileInfo(journal).size() > 0) return true;
            ::kill(saver_, SIGCONT);
            std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        }
        return false;
    }
    // SIGKILL; true when that, and nothing before it, ended the saver.
    bool Kill() {
        ::kill(saver_, SIGKILL);
        saver_ = -1;
        char answer = 0;
        if (::write(commands_, "w", 1) != 1) return false;
        do {
            if (!Read(&answer, 1)) return false;
        } while (answer == 'd');  // said before it was killed, and not read
        return answer == 'k';
    }

private:
    // SIGSTOP, and waits until the system says the saver is stopped.
    bool Stop() {
        ::kill(saver_, SIGSTOP);
        const QString stat = QStringLiteral("/proc/%1/stat").arg(saver_);
        for (int wait = 0; wait < 20000; ++wait) {
            QFile file(stat);
            if (!file.open(QIODevice::ReadOnly)) return false;
            const QByteArray fields = file.readAll();
            const qsizetype state = fields.lastIndexOf(')') + 2;  // after the name, which may hold spaces
            if (state > 1 && state < fields.size() && (fields[state] == 'T' || fields[state] == 't')) return true;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        return false;
    }

    bool Read(char* bytes, std::size_t size) {
        std::size_t got = 0;
        while (got < size) {
            pollfd ready{answers_, POLLIN, 0};
            if (::poll(&ready, 1, 20000) != 1) return false;
            const ssize_t n = ::read(answers_, bytes + got, size - got);
            if (n <= 0) return false;
            got += static_cast<std::size_t>(n);
        }
        return true;
    }

    pid_t helper_ = -1;
    pid_t saver_ = -1;
    int commands_ = -1;
    int answers_ = -1;
};

QStringList Leftovers(const QString& directory) {
    return QDir(directory).entryList({kSettingsFile + QStringLiteral(".*"), kLibraryFile + QStringLiteral(".*")},
                                     QDir::Files | QDir::Hidden);
}

// A start directory in memory when the system has one: a kill ends a saver
// the same way there, and the saves do not wait for a disk.
class KillDirectory {
public:
    KillDirectory()
        : dir_(QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm/vistorel-kill-XXXXXX")
                                                                  : QString()) {
        if (dir_.isValid()) QFile::link(test::ImagesDirectory(), dir_.filePath(QStringLiteral("images")));
    }
    bool Valid() const { return dir_.isValid(); }
    QString Path() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(InterruptedSave, AKilledSaveLeavesOneWholeContentsAndTheNextStartClearsWhatItLeft) {
    const std::array<QByteArray, 2> libraries = {LibraryOf({1, 2, 3}), LibraryOf({4, 5, 6, 7, 8})};
    const std::array<QByteArray, 2> settings = {SettingsOf(QStringLiteral("t1.txt"), 1, 0x00E6F5FD),
                                               SettingsOf(QStringLiteral("t8.txt"), 2, 0x00203040)};
    test::StartDirectory source(false);
    for (const int k : {0, 1}) {
        const QString name = k == 0 ? QStringLiteral("a") : QStringLiteral("b");
        source.Write(name + QStringLiteral(".dat"), libraries[k]);
        source.Write(name + QStringLiteral(".ini"), settings[k]);
    }
    KillDirectory dir;
    ASSERT_TRUE(dir.Valid());
    ASSERT_TRUE(QFile::copy(source.File(QStringLiteral("a.dat")), dir.File(kLibraryFile)));
    ASSERT_TRUE(QFile::copy(source.File(QStringLiteral("a.ini")), dir.File(kSettingsFile)));

    constexpr int kKills = 200;
    constexpr int kCalibrations = 5;  // the first kills measure how long a round of saves takes
    constexpr int kStartEvery = 40;
    using Clock = std::chrono::steady_clock;
    Clock::duration round = Clock::duration::zero();
    std::mt19937 random(20240611);
    std::array<int, 2> libraryFound{};
    int leftBehind = 0;
    Savers savers(dir.Path(), source.Path());
    for (int kill = 1; kill <= kKills; ++kill) {
        // A saver saves first the contents the files do not hold, then the others.
        const bool holdsA = ReadAll(dir.File(kLibraryFile)) == libraries[0];
        ASSERT_TRUE(savers.Start(holdsA ? 'b' : 'a')) << "no saver started";
        if (kill <= kCalibrations) {
            const Clock::time_point begun = Clock::now();
            ASSERT_TRUE(savers.AwaitFirstContents()) << "the saver did not finish its first saves";
            round = std::max(round, Clock::now() - begun);
        } else {
            // A random moment within the first two rounds.
            std::uniform_int_distribution<long long> pause(0, 2 * round.count());
            std::this_thread::sleep_for(Clock::duration(pause(random)));
        }
        ASSERT_TRUE(savers.Kill()) << "the saver ended before it was killed (kill " << kill << ")";

        const QByteArray library = ReadAll(dir.File(kLibraryFile));
        const QByteArray record = ReadAll(dir.File(kSettingsFile));
        ASSERT_TRUE(library == libraries[0] || library == libraries[1])
            << "kill " << kill << ": the library file holds " << library.size() << " bytes of neither contents";
        ASSERT_TRUE(record == settings[0] || record == settings[1])
            << "kill " << kill << ": the settings file holds " << record.size() << " bytes of neither contents";
        ++libraryFound[library == libraries[0] ? 0 : 1];

        if (kill % kStartEvery == 0) {
            // The next start: the program reads whole files and leaves no half-saved ones.
            leftBehind += static_cast<int>(Leftovers(dir.Path()).size());
            test::TestApplication app;
            Program program(app.App, dir.Path());
            EXPECT_EQ(Leftovers(dir.Path()), QStringList()) << "after kill " << kill;
            EXPECT_EQ(test::LibraryInMemory(program), library);
            EXPECT_EQ(BytesOf(program.SettingsRecord), record);
            EXPECT_EQ(app.Errors.Messages, QStringList());
        }
    }
    // The kills fell while both contents were being saved, and some part-way through a save.
    EXPECT_GT(libraryFound[0], 0);
    EXPECT_GT(libraryFound[1], 0);
    EXPECT_GT(leftBehind, 0);
}

// The kills fall by turns at a random moment of the start (opening the
// file, the first sessions), at a random moment after two sessions are
// recorded, and inside a transaction (the recorder stopped there first), so
// that each way of being killed is met whatever the machine's speed.
TEST(InterruptedSave, AKilledRecordingLeavesADatabaseWithEveryCommittedResult) {
    // The helper wants contents for its savers, though the recorders use none.
    test::StartDirectory source(false);
    for (const char* name : {"a", "b"}) {
        source.Write(QLatin1String(name) + QStringLiteral(".dat"), LibraryOf({1}));
        source.Write(QLatin1String(name) + QStringLiteral(".ini"), SettingsOf(QStringLiteral("t1.txt"), 1, 0));
    }
    KillDirectory dir;
    ASSERT_TRUE(dir.Valid());
    const QString path = dir.File(QStringLiteral("Vistorel.sqlite"));
    const QString journal = path + QStringLiteral("-journal");

    constexpr int kKills = 40;
    enum Moment { AtStart, AfterTwoSessions, InsideATransaction };
    using Clock = std::chrono::steady_clock;
    std::mt19937 random(20261208);
    std::size_t committed = 0;
    int midTransaction = 0;  // kills that left a journal of a transaction under way
    Savers savers(dir.Path(), source.Path());
    for (int kill = 1; kill <= kKills; ++kill) {
        const Moment moment = static_cast<Moment>(kill % 3);
        ASSERT_TRUE(savers.Start('q')) << "no recorder started";
        if (moment == AtStart) {
            std::uniform_int_distribution<int> pause(0, 30);
            std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        } else {
            ASSERT_TRUE(savers.AwaitFirstContents()) << "the recorder did not record (kill " << kill << ")";
            const Clock::time_point begun = Clock::now();
            ASSERT_TRUE(savers.AwaitFirstContents()) << "the recorder did not record (kill " << kill << ")";
            if (moment == AfterTwoSessions) {
                // Within the time of a few dozen sessions more.
                const long long session = std::max<long long>((Clock::now() - begun).count(), 1);
                std::uniform_int_distribution<long long> pause(0, 40 * session);
                std::this_thread::sleep_for(Clock::duration(std::min<long long>(
                    pause(random), std::chrono::duration_cast<Clock::duration>(std::chrono::milliseconds(200)).count())));
            } else {
                ASSERT_TRUE(savers.StopInsideATransaction(journal, random)) << "kill " << kill;
            }
        }
        ASSERT_TRUE(savers.Kill()) << "the recorder ended before it was killed (kill " << kill << ")";
        if (QFileInfo(journal).size() > 0) ++midTransaction;

        QStringList messages;
        ResultsDatabase db(path, [&](const QString& m) { messages.append(m); });
        ASSERT_TRUE(db.Available()) << "kill " << kill << ": " << messages.join(u' ').toStdString();
        const ResultTable sessions = db.Table(ResultKind::Exercise);
        // Nothing committed before is lost, and the sessions run 1..n without a gap.
        ASSERT_GE(sessions.Rows.size(), committed + (moment == AtStart ? 0 : 2)) << "kill " << kill;
        committed = sessions.Rows.size();
        for (std::size_t k = 0; k < committed; ++k) {
            ASSERT_EQ(sessions.Rows[k].Cells.value(3), QString::number(committed - k)) << "kill " << kill;
        }
        // The text's title came in the same transaction as the last session.
        if (committed > 0) {
            ASSERT_EQ(sessions.Rows[0].Cells.value(8), QStringLiteral("Текст %1").arg(committed)) << "kill " << kill;
        }
        EXPECT_EQ(messages, QStringList());
    }
    EXPECT_GT(committed, static_cast<std::size_t>(kKills));
    EXPECT_GE(midTransaction, kKills / 3);
}

}  // namespace
}  // namespace vistorel
