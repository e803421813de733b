#pragma once
// Writes the results into the results file on a thread of its own, so that a
// file another program holds locked, a slow disk or a full one never holds
// up a step of an exercise or a click.
//
// What cannot be written waits: in memory, and in the waiting file beside the
// results (replaced whole at each change, so that it is never half written),
// and is tried again every few seconds, and at the next start. Each failure
// that leaves a finished result unwritten is told to the user once, naming
// every result that waits.

#include "history/WaitingResults.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QObject;

namespace vistorel {

class ResultsDatabase;

class ResultsWriter {
public:
    // Called on the thread that created the writer, from its event loop.
    struct Events {
        // Something is in the file: a result of this kind, or (none) a place.
        std::function<void(std::optional<ResultKind>)> Written;
        std::function<void(const QString&)> Report;   // a message for the user
        std::function<void()> Replaced;               // the file was put aside and a new one started
    };

    static constexpr int kRetryMs = 2000;
    // How long one write waits for a file another program holds.
    static constexpr int kBusyTimeoutMs = 1000;

    // Starts the thread; the results waiting in waitingPath from an earlier
    // run are written first.
    ResultsWriter(const QString& databasePath, const QString& waitingPath, Events events, int retryMs = kRetryMs,
                  int busyTimeoutMs = kBusyTimeoutMs);
    // Tries once more to write what waits; what still waits is left in the waiting file.
    ~ResultsWriter();
    ResultsWriter(const ResultsWriter&) = delete;
    ResultsWriter& operator=(const ResultsWriter&) = delete;

    // A finished result.
    void Record(const AnyResult& result);
    // The session of an exercise that still runs: replaces its earlier save,
    // and is never named in a message (its end is).
    void SaveRunning(const ExerciseSessionResult& session);
    // The place reached in a text: replaces an earlier place of that text.
    void SavePlace(const QString& path, const QString& title, const ReadingPlace& place);

    // The place of the text at path that waits to be written, if one does.
    std::optional<ReadingPlace> WaitingPlace(const QString& path) const;
    // Finished results and sessions not written yet.
    int WaitingResults() const;
    // Waits until everything is written, or one more try has failed, or the
    // time is up; then runs the events that are due. True when nothing waits.
    bool Flush(int timeoutMs);
    // What to tell the user at the end about the results that wait; empty when none do.
    QString ExitMessage() const;

    const QString& WaitingPath() const { return waitingPath_; }

private:
    struct Entry {
        WaitingEntry Item;
        std::uint64_t Id = 0;
        bool Reported = false;
    };

    void Add(WaitingEntry item);
    void Run();
    void LoadWaitingFile();
    // Brings the waiting file in line with the entries (outside the lock).
    void UpdateWaitingFile(std::unique_lock<std::mutex>& lock);
    QStringList WaitingNames(bool running) const;
    QString WhereTheyWait(qsizetype count) const;
    void Post(std::function<void()> event);

    const QString databasePath_;
    const QString waitingPath_;
    const Events events_;
    const int retryMs_;
    const int busyTimeoutMs_;
    std::unique_ptr<QObject> context_;  // the creating thread's end of the events
    std::unique_ptr<ResultsDatabase> db_;  // used by the thread only

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable passed_;
    std::deque<Entry> entries_;
    std::uint64_t nextId_ = 1;
    std::uint64_t changes_ = 0;     // changes of the entries
    std::uint64_t filedAt_ = 0;     // the change the waiting file holds
    bool fileExists_ = false;
    QString fileProblem_;           // why the waiting file could not be written
    bool failing_ = false;
    std::chrono::steady_clock::time_point retryAt_;
    std::uint64_t begun_ = 0;       // passes begun
    std::uint64_t failedPass_ = 0;  // the last pass that failed
    QString reason_;                // why the last write failed
    QString databaseMessage_;       // what the thread's database last said (thread only)
    bool poke_ = false;             // try now, not at the retry time
    bool stop_ = false;
    bool ready_ = false;            // the thread has read the waiting file
    std::thread thread_;
};

}  // namespace vistorel
