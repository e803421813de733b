#pragma once
// The results database: one SQLite file beside the settings, with a
// versioned schema that the program brings up to date when it opens it.
//
// A database that cannot be used never stops the training: why it cannot be
// opened is reported once per run, each write that fails is reported (in the
// user's words), and the program goes on without it. A file that is damaged,
// not a results database, or lacks a table or column this program needs is
// renamed and kept beside, never deleted, and a new one is started. A file
// that another program holds locked is tried again at the next write.
//
// Every call waits for the file as long as the busy time-out given at
// construction: the program writes its results through ResultsWriter, off
// the windows' thread, and reads here.

#include "history/DailyStatistics.h"
#include "history/Results.h"
#include "history/WaitingResults.h"

#include <QString>
#include <functional>
#include <optional>

class QSqlQuery;

namespace vistorel {

class ResultsDatabase {
public:
    using Reporter = std::function<void(const QString& message)>;

    // The schema this program writes; a file of a later version is left alone.
    static constexpr int kSchemaVersion = 3;
    // Marks a file as a results database of this program ("VSTR").
    static constexpr int kApplicationId = 0x56535452;

    // How long a call waits for a file that another connection holds locked.
    static constexpr int kBusyTimeoutMs = 5000;

    // Opens (updating) the file at path; a file that does not exist yet is
    // created with the first result, so that a start alone writes nothing. A
    // dangling symbolic link in its place is replaced, never written through.
    ResultsDatabase(const QString& path, Reporter report, int busyTimeoutMs = kBusyTimeoutMs);
    ~ResultsDatabase();
    ResultsDatabase(const ResultsDatabase&) = delete;
    ResultsDatabase& operator=(const ResultsDatabase&) = delete;

    // Results are read and written: the file is open, or not there yet.
    bool Available() const { return open_ || notCreated_ || openOnRead_; }
    // Why it is not available, or why the last write failed: the message, and
    // its reason alone ("файл занят другой программой (database is locked)").
    const QString& Problem() const { return problem_; }
    const QString& LastReason() const { return reason_; }
    // Where a damaged or foreign file was put aside at opening; empty if none.
    const QString& KeptAside() const { return keptAside_; }
    const QString& Path() const { return path_; }

    // Each record is one transaction; false when it was not stored.
    bool Record(const ReadingTestResult& result);
    bool Record(const IpsTestResult& result);
    bool Record(const MemoryTestResult& result);
    bool Record(const ExerciseSessionResult& session);
    bool SavePlace(const QString& path, const QString& title, const ReadingPlace& place);
    // A result that may have been stored before (it waited, and the program
    // ended before it knew): a test taken at the same moment is not stored
    // again, and an exercise's session replaces the one stored with the same
    // start (a running exercise is saved again and again).
    bool Store(const AnyResult& result);

    std::optional<ReadingPlace> Place(const QString& path) const;

    // The user's choices kept beside the settings record (a daily goal, say),
    // by key; none when never set or the file cannot be read.
    bool SetPreference(const QString& key, const QString& value);
    std::optional<QString> Preference(const QString& key) const;

    // A book's title and annotation as the book has them, for the library
    // entry of that path (whose record may hold them shortened).
    bool SaveBookDetails(const QString& path, const BookDetails& details);
    std::optional<BookDetails> Details(const QString& path) const;

    // Called after each result of a kind is stored (an open statistics window
    // shows it).
    void SetRecordedListener(std::function<void(ResultKind)> listener) { recorded_ = std::move(listener); }
    // Another connection wrote into the file (a result of this kind, or with
    // none a place): if this one has not opened it yet (it did not exist, or
    // was locked), the next read opens it; the listener is told of a result.
    void Announce(std::optional<ResultKind> kind);
    // Opens the file again: another connection has put it aside and started a new one.
    bool Reopen();
    ResultTable Table(ResultKind kind) const;
    // Every local day with results, and the kind of the newest result.
    TrainingLog Training() const;
    bool Delete(ResultKind kind, std::int64_t id);

    // Brings a file to the given schema version and no further, as an older
    // program left it (tests of the updates start from such files).
    static bool BuildSchema(const QString& path, int version, QString* error);

private:
    bool OpenFile(bool afterSettingAside);
    bool SetAside();
    void Close();
    bool Write(const std::function<bool(QSqlQuery&)>& work);
    // Why the file cannot be used: reported once per run.
    bool Unusable(const QString& reason);
    void Report(const QString& message);
    bool Recorded(ResultKind kind, bool stored);
    // Open for reading, opening it first where Announce said it can be now.
    bool Readable() const;

    QString path_;
    QString connection_;
    Reporter report_;
    int busyTimeoutMs_;
    std::function<void(ResultKind)> recorded_;
    bool open_ = false;
    bool notCreated_ = false;
    bool openOnRead_ = false;
    bool reportedUnusable_ = false;
    QString problem_;
    QString reason_;
    QString keptAside_;
    QString asideWhy_;  // what the file put aside lacked
};

}  // namespace vistorel
