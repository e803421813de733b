#pragma once
// The results database: one SQLite file beside the settings, with a
// versioned schema that the program brings up to date when it opens it.
//
// A database that cannot be used never stops the training: the first
// failure is reported (once per run, in the user's words) and the program
// goes on without it. A file that is damaged or not a results database is
// renamed and kept beside, never deleted, and a new one is started.

#include "history/Results.h"

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

    // Opens (updating) the file at path; a file that does not exist yet is
    // created with the first result, so that a start alone writes nothing.
    ResultsDatabase(const QString& path, Reporter report);
    ~ResultsDatabase();
    ResultsDatabase(const ResultsDatabase&) = delete;
    ResultsDatabase& operator=(const ResultsDatabase&) = delete;

    // Results are read and written: the file is open, or not there yet.
    bool Available() const { return open_ || notCreated_; }
    // Why it is not available, or why the last write failed.
    const QString& Problem() const { return problem_; }
    // Where a damaged or foreign file was put aside at opening; empty if none.
    const QString& KeptAside() const { return keptAside_; }
    const QString& Path() const { return path_; }

    // Each record is one transaction; false when it was not stored.
    bool Record(const ReadingTestResult& result);
    bool Record(const IpsTestResult& result);
    bool Record(const MemoryTestResult& result);
    bool Record(const ExerciseSessionResult& session);
    bool SavePlace(const QString& path, const QString& title, const ReadingPlace& place);

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
    ResultTable Table(ResultKind kind) const;
    bool Delete(ResultKind kind, std::int64_t id);

    // Brings a file to the given schema version and no further, as an older
    // program left it (tests of the updates start from such files).
    static bool BuildSchema(const QString& path, int version, QString* error);

private:
    bool OpenFile(bool afterSettingAside);
    bool SetAside();
    void Close();
    bool Write(const std::function<bool(QSqlQuery&)>& work);
    void Fail(const QString& message);
    bool Recorded(ResultKind kind, bool stored);

    QString path_;
    QString connection_;
    Reporter report_;
    std::function<void(ResultKind)> recorded_;
    bool open_ = false;
    bool notCreated_ = false;
    bool reported_ = false;
    QString problem_;
    QString keptAside_;
};

}  // namespace vistorel
