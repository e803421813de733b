#include "history/ResultsDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <map>
#include <set>

namespace vistorel {
namespace {

const QString kDriver = QStringLiteral("QSQLITE");

// The schema, one update per version: update k turns a file of version k - 1
// into one of version k. Updates already given out are never changed in what
// they make; each may find part of its work done (a file an update left half
// way, or one put together by hand), so every step is made only where it is
// missing: IF NOT EXISTS, and a column added only to a table without it.
const char* const kUpdates[][8] = {
    // 1: the results, the sessions and the places, each text stored once.
    {"CREATE TABLE IF NOT EXISTS texts (id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, title TEXT NOT NULL DEFAULT '')",
     "CREATE TABLE IF NOT EXISTS reading_tests (id INTEGER PRIMARY KEY, taken_at TEXT NOT NULL,"
     " text_id INTEGER NOT NULL REFERENCES texts(id), characters INTEGER NOT NULL, seconds REAL NOT NULL,"
     " words_per_minute INTEGER NOT NULL, bps INTEGER NOT NULL)",
     "CREATE TABLE IF NOT EXISTS ips_tests (id INTEGER PRIMARY KEY, taken_at TEXT NOT NULL, seconds REAL NOT NULL,"
     " ips REAL NOT NULL, mi INTEGER NOT NULL, ipi INTEGER NOT NULL, hits INTEGER NOT NULL, misses INTEGER NOT NULL)",
     "CREATE TABLE IF NOT EXISTS memory_tests (id INTEGER PRIMARY KEY, taken_at TEXT NOT NULL, score INTEGER NOT NULL,"
     " isr REAL NOT NULL)",
     "CREATE TABLE IF NOT EXISTS exercise_sessions (id INTEGER PRIMARY KEY, started_at TEXT NOT NULL, ended_at TEXT NOT NULL,"
     " text_id INTEGER NOT NULL REFERENCES texts(id), level INTEGER NOT NULL, last_stage INTEGER NOT NULL,"
     " active_seconds REAL NOT NULL, words_shown INTEGER NOT NULL, lines_advanced INTEGER NOT NULL,"
     " words_per_minute INTEGER NOT NULL)",
     "CREATE TABLE IF NOT EXISTS reading_places (text_id INTEGER PRIMARY KEY REFERENCES texts(id), line INTEGER NOT NULL,"
     " word INTEGER NOT NULL, saved_at TEXT NOT NULL)",
     "PRAGMA application_id = 1448301650",
     nullptr},
    // 2: the statistics list results newest first, thousands of them.
    {"CREATE INDEX IF NOT EXISTS reading_tests_by_time ON reading_tests (taken_at)",
     "CREATE INDEX IF NOT EXISTS ips_tests_by_time ON ips_tests (taken_at)",
     "CREATE INDEX IF NOT EXISTS memory_tests_by_time ON memory_tests (taken_at)",
     "CREATE INDEX IF NOT EXISTS exercise_sessions_by_time ON exercise_sessions (started_at)",
     nullptr},
    // 3: the user's choices beyond the settings record, a book's full title and
    // annotation where the library record holds a shortened one, and what the
    // line of a reading place said, to find it again in a changed text.
    {"CREATE TABLE IF NOT EXISTS preferences (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
     "CREATE TABLE IF NOT EXISTS book_details (text_id INTEGER PRIMARY KEY REFERENCES texts(id),"
     " full_title TEXT NOT NULL, annotation TEXT NOT NULL)",
     "ALTER TABLE reading_places ADD COLUMN fingerprint TEXT NOT NULL DEFAULT ''",
     nullptr},
};
static_assert(std::size(kUpdates) == ResultsDatabase::kSchemaVersion);
static_assert(ResultsDatabase::kApplicationId == 1448301650);

// SQLite's result codes (the primary code: the low byte of an extended one).
enum Code { kError = 1, kBusy = 5, kLocked = 6, kReadOnly = 8, kIoError = 10, kCorrupt = 11, kFull = 13,
            kCantOpen = 14, kNotADatabase = 26 };

int CodeOf(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xFF : 0;
}

// A file that is not a database or is damaged.
bool Damaged(const QSqlError& error) { return CodeOf(error) == kNotADatabase || CodeOf(error) == kCorrupt; }
// Another connection holds the file: the next try may well work.
bool Busy(const QSqlError& error) { return CodeOf(error) == kBusy || CodeOf(error) == kLocked; }

// SQLite's own words, after the program's for the failures a user can mend.
QString Reason(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    const QString own = text.isEmpty() ? QStringLiteral("неизвестная ошибка") : text;
    QString meaning;
    switch (CodeOf(error)) {
        case kBusy:
        case kLocked: meaning = QStringLiteral("файл занят другой программой"); break;
        case kFull: meaning = QStringLiteral("на диске нет места"); break;
        case kReadOnly: meaning = QStringLiteral("файл или папка доступны только для чтения"); break;
        case kIoError: meaning = QStringLiteral("ошибка чтения или записи диска"); break;
        case kCantOpen: meaning = QStringLiteral("файл не удаётся открыть"); break;
        default: return own;
    }
    return QStringLiteral("%1 (%2)").arg(meaning, own);
}

QString Stamp(const QDateTime& at) { return at.toUTC().toString(Qt::ISODateWithMs); }

bool Exec(QSqlQuery& query, const QString& sql, QSqlError* error = nullptr) {
    if (query.exec(sql)) return true;
    if (error) *error = query.lastError();
    return false;
}

bool HasColumn(QSqlQuery& query, const QString& table, const QString& column) {
    if (!query.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table))) return false;
    while (query.next()) {
        if (query.value(1).toString() == column) return true;
    }
    return false;
}

// A statement of an update, made only where its work is not done yet.
bool Step(QSqlQuery& query, const QString& sql, QSqlError* error) {
    const QRegularExpression addColumn(QStringLiteral("^ALTER TABLE (\\w+) ADD COLUMN (\\w+) "));
    const QRegularExpressionMatch match = addColumn.match(sql);
    if (match.hasMatch() && HasColumn(query, match.captured(1), match.captured(2))) return true;
    return Exec(query, sql, error);
}

// The update steps from..to on an open connection, each in its own
// transaction with the version it reaches.
bool RunUpdates(QSqlDatabase& db, int from, int to, QSqlError* error) {
    for (int version = from + 1; version <= to; ++version) {
        if (!db.transaction()) {
            *error = db.lastError();
            return false;
        }
        QSqlQuery query(db);
        bool ok = true;
        for (const char* const* sql = kUpdates[version - 1]; *sql && ok; ++sql) {
            ok = Step(query, QString::fromLatin1(*sql), error);
        }
        ok = ok && Exec(query, QStringLiteral("PRAGMA user_version = %1").arg(version), error);
        if (!ok || !db.commit()) {
            if (ok) *error = db.lastError();
            db.rollback();
            return false;
        }
    }
    return true;
}

// A statement with its values; a statement that cannot be prepared leaves
// SQLite's reason in the query's last error.
bool Run(QSqlQuery& query, const QString& sql, const QVariantList& values) {
    if (!query.prepare(sql)) return false;
    for (const QVariant& value : values) query.addBindValue(value);
    return query.exec();
}

// The id of a text, adding it (or its new title) first.
bool TextId(QSqlQuery& query, const QString& path, const QString& title, qint64* id) {
    // A text without a title has an empty one, not none.
    if (!Run(query,
             QStringLiteral("INSERT INTO texts (path, title) VALUES (?, ?)"
                            " ON CONFLICT (path) DO UPDATE SET title = excluded.title"),
             {path.isNull() ? QStringLiteral("") : path, title.isNull() ? QStringLiteral("") : title})) {
        return false;
    }
    if (!Run(query, QStringLiteral("SELECT id FROM texts WHERE path = ?"), {path}) || !query.next()) return false;
    *id = query.value(0).toLongLong();
    return true;
}

// The tables of a file as far as the program's statements need them: each
// table's columns, its primary key and the column sets kept unique (what
// ON CONFLICT relies on).
struct TableShape {
    std::set<QString> Columns;
    QStringList PrimaryKey;
    std::set<QStringList> Unique;
};
using Shape = std::map<QString, TableShape>;

bool ReadShape(QSqlDatabase& db, Shape* shape, QSqlError* error) {
    QSqlQuery query(db);
    if (!Exec(query, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"),
              error)) {
        return false;
    }
    QStringList tables;
    while (query.next()) tables.append(query.value(0).toString());
    for (const QString& table : tables) {
        TableShape& t = (*shape)[table];
        if (!Exec(query, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table), error)) return false;
        std::map<int, QString> key;
        while (query.next()) {
            t.Columns.insert(query.value(1).toString());
            if (query.value(5).toInt() > 0) key[query.value(5).toInt()] = query.value(1).toString();
        }
        for (const auto& [order, column] : key) t.PrimaryKey.append(column);
        if (!Exec(query, QStringLiteral("PRAGMA index_list(\"%1\")").arg(table), error)) return false;
        QStringList uniqueIndexes;
        while (query.next()) {
            if (query.value(2).toInt() == 1) uniqueIndexes.append(query.value(1).toString());
        }
        for (const QString& index : uniqueIndexes) {
            if (!Exec(query, QStringLiteral("PRAGMA index_info(\"%1\")").arg(index), error)) return false;
            QStringList columns;
            while (query.next()) columns.append(query.value(2).toString());
            t.Unique.insert(columns);
        }
    }
    return true;
}

// The shape the updates give a new file, built in memory.
Shape ExpectedShape(const QString& connection) {
    Shape shape;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QStringLiteral(":memory:"));
        QSqlError error;
        if (db.open() && RunUpdates(db, 0, ResultsDatabase::kSchemaVersion, &error)) ReadShape(db, &shape, &error);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return shape;
}

// What the file lacks of the expected shape; empty when nothing.
QString Missing(const Shape& expected, const Shape& found) {
    for (const auto& [name, table] : expected) {
        const auto there = found.find(name);
        if (there == found.end()) return QStringLiteral("нет таблицы %1").arg(name);
        for (const QString& column : table.Columns) {
            if (!there->second.Columns.count(column)) return QStringLiteral("в таблице %1 нет столбца %2").arg(name, column);
        }
        if (there->second.PrimaryKey != table.PrimaryKey) {
            return QStringLiteral("у таблицы %1 другой первичный ключ").arg(name);
        }
        for (const QStringList& unique : table.Unique) {
            if (!there->second.Unique.count(unique)) {
                return QStringLiteral("в таблице %1 не уникален столбец %2").arg(name, unique.join(QStringLiteral(", ")));
            }
        }
    }
    return {};
}

// The local time "2026-03-05 10:00:00" in ms since 1970-01-01 00:00 of the
// local clock, with the milliseconds of the moment in UTC.
std::int64_t LocalMs(const QString& local, std::int64_t utcMs) {
    if (local.size() != 19) return utcMs;
    const auto number = [&](int from, int length) {
        int value = 0;
        for (int k = from; k < from + length; ++k) value = value * 10 + local[k].digitValue();
        return value;
    };
    const QDate day(number(0, 4), number(5, 2), number(8, 2));
    const std::int64_t seconds = number(11, 2) * 3600 + number(14, 2) * 60 + number(17, 2);
    const std::int64_t ms = ((utcMs % 1000) + 1000) % 1000;
    return QDate(1970, 1, 1).daysTo(day) * 86400000 + seconds * 1000 + ms;
}

const char* TableOf(ResultKind kind) {
    switch (kind) {
        case ResultKind::ReadingTest: return "reading_tests";
        case ResultKind::IpsTest: return "ips_tests";
        case ResultKind::MemoryTest: return "memory_tests";
        case ResultKind::Exercise: return "exercise_sessions";
    }
    return "reading_tests";
}


// The statements that store each kind of result.
bool Insert(QSqlQuery& q, const ReadingTestResult& r) {
    qint64 text = 0;
    return TextId(q, r.Path, r.Title, &text) &&
           Run(q,
               QStringLiteral("INSERT INTO reading_tests (taken_at, text_id, characters, seconds,"
                              " words_per_minute, bps) VALUES (?, ?, ?, ?, ?, ?)"),
               {Stamp(r.TakenAt), text, qint64{r.Characters}, r.Seconds, qint64{r.WordsPerMinute}, qint64{r.Bps}});
}

bool Insert(QSqlQuery& q, const IpsTestResult& r) {
    return Run(q,
               QStringLiteral("INSERT INTO ips_tests (taken_at, seconds, ips, mi, ipi, hits, misses)"
                              " VALUES (?, ?, ?, ?, ?, ?, ?)"),
               {Stamp(r.TakenAt), r.Seconds, r.Ips, qint64{r.Mi}, qint64{r.Ipi}, qint64{r.Hits}, qint64{r.Misses}});
}

bool Insert(QSqlQuery& q, const MemoryTestResult& r) {
    return Run(q, QStringLiteral("INSERT INTO memory_tests (taken_at, score, isr) VALUES (?, ?, ?)"),
               {Stamp(r.TakenAt), r.Score, r.Isr});
}

QVariantList SessionValues(const ExerciseSessionResult& s, qint64 text) {
    return {Stamp(s.EndedAt), s.Level, s.LastStage, s.ActiveSeconds, qint64{s.WordsShown}, qint64{s.LinesAdvanced},
            qint64{s.WordsPerMinute}, Stamp(s.StartedAt), text};
}

bool Insert(QSqlQuery& q, const ExerciseSessionResult& s) {
    qint64 text = 0;
    return TextId(q, s.Path, s.Title, &text) &&
           Run(q,
               QStringLiteral("INSERT INTO exercise_sessions (ended_at, level, last_stage, active_seconds, words_shown,"
                              " lines_advanced, words_per_minute, started_at, text_id)"
                              " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
               SessionValues(s, text));
}

// A test already stored at the same moment counts as stored.
bool InsertOnce(QSqlQuery& q, const char* table, const QDateTime& at, const std::function<bool()>& insert) {
    if (!Run(q, QStringLiteral("SELECT 1 FROM %1 WHERE taken_at = ?").arg(QLatin1String(table)), {Stamp(at)})) {
        return false;
    }
    return q.next() || insert();
}

bool StoreOnce(QSqlQuery& q, const ReadingTestResult& r) {
    return InsertOnce(q, "reading_tests", r.TakenAt, [&] { return Insert(q, r); });
}
bool StoreOnce(QSqlQuery& q, const IpsTestResult& r) {
    return InsertOnce(q, "ips_tests", r.TakenAt, [&] { return Insert(q, r); });
}
bool StoreOnce(QSqlQuery& q, const MemoryTestResult& r) {
    return InsertOnce(q, "memory_tests", r.TakenAt, [&] { return Insert(q, r); });
}
// A session stored before with the same start and text takes the new figures.
bool StoreOnce(QSqlQuery& q, const ExerciseSessionResult& s) {
    qint64 text = 0;
    if (!TextId(q, s.Path, s.Title, &text) ||
        !Run(q,
             QStringLiteral("UPDATE exercise_sessions SET ended_at = ?, level = ?, last_stage = ?, active_seconds = ?,"
                            " words_shown = ?, lines_advanced = ?, words_per_minute = ?"
                            " WHERE started_at = ? AND text_id = ?"),
             SessionValues(s, text))) {
        return false;
    }
    return q.numRowsAffected() > 0 || Insert(q, s);
}

}  // namespace

ResultsDatabase::ResultsDatabase(const QString& path, Reporter report, int busyTimeoutMs)
    : path_(path),
      connection_(QStringLiteral("vistorel-results-%1").arg(reinterpret_cast<quintptr>(this), 0, 16)),
      report_(std::move(report)),
      busyTimeoutMs_(busyTimeoutMs) {
    notCreated_ = !QFileInfo::exists(path_);
    if (!notCreated_) OpenFile(false);
}

ResultsDatabase::~ResultsDatabase() { Close(); }

void ResultsDatabase::Close() {
    open_ = false;
    if (!QSqlDatabase::contains(connection_)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

void ResultsDatabase::Report(const QString& message) {
    if (report_) report_(message);
}

bool ResultsDatabase::Unusable(const QString& reason) {
    Close();
    reason_ = reason;
    problem_ = QStringLiteral("Результаты занятий не будут сохраняться: %1. Тренировки идут как обычно.").arg(reason);
    if (!reportedUnusable_) Report(problem_);
    reportedUnusable_ = true;
    return false;
}

bool ResultsDatabase::OpenFile(bool afterSettingAside) {
    if (!QSqlDatabase::isDriverAvailable(kDriver)) {
        return Unusable(QStringLiteral("в системе нет драйвера SQLite для Qt (пакет libqt6sql6-sqlite)"));
    }
    // A link to nowhere would have SQLite create the file wherever it points.
    const QFileInfo link(path_);
    if (link.isSymLink() && !link.exists()) QFile::remove(path_);
    // What the file holds, read with a connection that is let go before any
    // decision closes or renames it.
    enum class Found { Usable, Unopened, Unread, Busy, Damaged, Foreign, Newer, NotUpdated, Incomplete } found =
        Found::Usable;
    QSqlError error;
    QString missing;
    qint64 version = 0;
    const Shape expected = ExpectedShape(connection_ + QStringLiteral("-expected"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, connection_);
        db.setDatabaseName(path_);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_));
        if (db.open()) {
            QSqlQuery query(db);
            const auto number = [&](const char* sql, qint64* value) {
                if (!Exec(query, QString::fromLatin1(sql), &error) || !query.next()) return false;
                *value = query.value(0).toLongLong();
                return true;
            };
            qint64 objects = 0, application = 0;
            const bool read = Exec(query, QStringLiteral("PRAGMA foreign_keys = ON"), &error) &&
                              number("SELECT count(*) FROM sqlite_master", &objects) &&
                              number("PRAGMA user_version", &version) &&
                              number("PRAGMA application_id", &application) &&
                              Exec(query, QStringLiteral("PRAGMA quick_check"), &error) && query.next();
            const bool checked = read && query.value(0).toString() == QStringLiteral("ok");
            query.finish();
            Shape shape;
            if (!read) {
                found = Busy(error) ? Found::Busy : Damaged(error) ? Found::Damaged : Found::Unread;
            } else if (!checked) {
                found = Found::Damaged;
            } else if (application != kApplicationId && (objects > 0 || version > 0)) {
                found = Found::Foreign;
            } else if (version > kSchemaVersion) {
                found = Found::Newer;
            } else if (!RunUpdates(db, static_cast<int>(version), kSchemaVersion, &error)) {
                found = Busy(error) ? Found::Busy : Found::NotUpdated;
            } else if (!ReadShape(db, &shape, &error)) {
                found = Busy(error) ? Found::Busy : Found::Unread;
            } else {
                missing = Missing(expected, shape);
                if (!missing.isEmpty()) found = Found::Incomplete;
            }
        } else {
            error = db.lastError();
            found = Busy(error) ? Found::Busy : Found::Unopened;
        }
    }
    switch (found) {
        case Found::Usable: break;
        case Found::Unopened:
            return Unusable(QStringLiteral("не удаётся открыть или создать файл \"%1\" (%2)").arg(path_, Reason(error)));
        case Found::Unread:
            return Unusable(QStringLiteral("не удаётся прочитать файл \"%1\" (%2)").arg(path_, Reason(error)));
        case Found::Busy:
            // Not reported: the next write tries again, and says so if it fails.
            Close();
            reason_ = Reason(error);
            problem_ = QStringLiteral("Файл результатов \"%1\" сейчас недоступен: %2.").arg(path_, reason_);
            return false;
        case Found::Damaged:
        case Found::Foreign:
        case Found::Incomplete:
            asideWhy_ = found == Found::Incomplete ? QStringLiteral(" (%1)").arg(missing) : QString();
            if (afterSettingAside || !SetAside()) {
                return Unusable(QStringLiteral("файл \"%1\" повреждён, и его не удалось отложить").arg(path_));
            }
            return OpenFile(true);
        case Found::Newer:
            return Unusable(QStringLiteral("файл \"%1\" записан более новой версией программы (версия данных %2, "
                                           "эта программа знает до %3); он оставлен как есть")
                                .arg(path_)
                                .arg(version)
                                .arg(kSchemaVersion));
        case Found::NotUpdated:
            return Unusable(QStringLiteral("не удаётся записать в файл \"%1\" (%2)").arg(path_, Reason(error)));
    }
    open_ = true;
    reason_.clear();
    problem_.clear();
    if (afterSettingAside) {
        Report(QStringLiteral("Файл результатов \"%1\" повреждён или не является файлом результатов программы%3. "
                              "Он сохранён под именем \"%2\", а результаты теперь записываются в новый файл.")
                   .arg(path_, keptAside_, asideWhy_));
    }
    return true;
}

// Renames the file (and a journal beside it) to a name not yet taken.
bool ResultsDatabase::SetAside() {
    Close();
    const QFileInfo info(path_);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString aside;
    for (int n = 1; aside.isEmpty() || QFileInfo::exists(aside); ++n) {
        aside = info.dir().filePath(QStringLiteral("%1-повреждён-%2%3.%4")
                                        .arg(info.completeBaseName(), stamp,
                                             n == 1 ? QString() : QStringLiteral("-%1").arg(n), info.suffix()));
    }
    if (!QFile::rename(path_, aside)) return false;
    const QString journal = path_ + QStringLiteral("-journal");
    if (QFileInfo::exists(journal)) QFile::rename(journal, aside + QStringLiteral("-journal"));
    keptAside_ = aside;
    return true;
}

bool ResultsDatabase::BuildSchema(const QString& path, int version, QString* error) {
    const QString name = QStringLiteral("vistorel-results-update");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, name);
        db.setDatabaseName(path);
        QSqlError failure;
        ok = db.open() && RunUpdates(db, 0, version, &failure);
        if (!ok && error) *error = Reason(failure.type() == QSqlError::NoError ? db.lastError() : failure);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool ResultsDatabase::Write(const std::function<bool(QSqlQuery&)>& work) {
    // A file found to lack what the statements need is opened again once:
    // the opening checks it, and puts it aside for a new one.
    for (int attempt = 1;; ++attempt) {
        if (!open_) {
            notCreated_ = false;
            if (!OpenFile(false)) return false;
        }
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        QSqlError error;
        bool ok = db.transaction();
        if (ok) {
            QSqlQuery query(db);
            ok = work(query);
            if (!ok) error = query.lastError();
            ok = ok && db.commit();
        }
        if (ok) return true;
        if (error.type() == QSqlError::NoError) error = db.lastError();
        db.rollback();
        const bool schema = CodeOf(error) == kError || Damaged(error);
        if (schema) Close();
        if (schema && attempt == 1) continue;
        reason_ = Reason(error);
        problem_ = QStringLiteral("Результат не сохранён в файле \"%1\": %2. Тренировки идут как обычно, уже "
                                  "сохранённые результаты не потеряны.")
                       .arg(path_, reason_);
        Report(problem_);
        return false;
    }
}

bool ResultsDatabase::Record(const ReadingTestResult& r) {
    return Recorded(ResultKind::ReadingTest, Write([&](QSqlQuery& q) { return Insert(q, r); }));
}

bool ResultsDatabase::Record(const IpsTestResult& r) {
    return Recorded(ResultKind::IpsTest, Write([&](QSqlQuery& q) { return Insert(q, r); }));
}

bool ResultsDatabase::Record(const MemoryTestResult& r) {
    return Recorded(ResultKind::MemoryTest, Write([&](QSqlQuery& q) { return Insert(q, r); }));
}

bool ResultsDatabase::Record(const ExerciseSessionResult& s) {
    return Recorded(ResultKind::Exercise, Write([&](QSqlQuery& q) { return Insert(q, s); }));
}

bool ResultsDatabase::Store(const AnyResult& result) {
    return Recorded(KindOf(result), Write([&](QSqlQuery& q) {
        return std::visit([&](const auto& r) { return StoreOnce(q, r); }, result);
    }));
}

bool ResultsDatabase::Recorded(ResultKind kind, bool stored) {
    if (stored && recorded_) recorded_(kind);
    return stored;
}

void ResultsDatabase::Announce(std::optional<ResultKind> kind) {
    // Opening checks the whole file: left to the next read, so that a result
    // written while an exercise runs costs its steps nothing.
    if (!open_) openOnRead_ = true;
    if (kind && recorded_) recorded_(*kind);
}

bool ResultsDatabase::Readable() const {
    if (!open_ && openOnRead_) {
        // Logically a read: the file is there and was only not open yet.
        auto& self = const_cast<ResultsDatabase&>(*this);
        self.openOnRead_ = false;
        self.notCreated_ = false;
        self.OpenFile(false);
    }
    return open_;
}

bool ResultsDatabase::Reopen() {
    Close();
    return OpenFile(false);
}

bool ResultsDatabase::SavePlace(const QString& path, const QString& title, const ReadingPlace& place) {
    return Write([&](QSqlQuery& q) {
        qint64 text = 0;
        return TextId(q, path, title, &text) &&
               Run(q,
                   QStringLiteral("INSERT INTO reading_places (text_id, line, word, saved_at, fingerprint)"
                                  " VALUES (?, ?, ?, ?, ?) ON CONFLICT (text_id) DO UPDATE SET line = excluded.line,"
                                  " word = excluded.word, saved_at = excluded.saved_at,"
                                  " fingerprint = excluded.fingerprint"),
                   {text, place.Line, place.Word, Stamp(QDateTime::currentDateTime()),
                    place.Fingerprint.isNull() ? QStringLiteral("") : place.Fingerprint});
    });
}

std::optional<ReadingPlace> ResultsDatabase::Place(const QString& path) const {
    if (!Readable()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!Run(q,
             QStringLiteral("SELECT line, word, fingerprint FROM reading_places JOIN texts ON texts.id = text_id"
                            " WHERE path = ?"),
             {path}) ||
        !q.next()) {
        return std::nullopt;
    }
    return ReadingPlace{q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString()};
}

bool ResultsDatabase::SetPreference(const QString& key, const QString& value) {
    return Write([&](QSqlQuery& q) {
        return Run(q,
                   QStringLiteral("INSERT INTO preferences (key, value) VALUES (?, ?)"
                                  " ON CONFLICT (key) DO UPDATE SET value = excluded.value"),
                   {key, value.isNull() ? QStringLiteral("") : value});
    });
}

std::optional<QString> ResultsDatabase::Preference(const QString& key) const {
    if (!Readable()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!Run(q, QStringLiteral("SELECT value FROM preferences WHERE key = ?"), {key}) || !q.next()) return std::nullopt;
    return q.value(0).toString();
}

bool ResultsDatabase::SaveBookDetails(const QString& path, const BookDetails& details) {
    return Write([&](QSqlQuery& q) {
        qint64 text = 0;
        const auto text_or_empty = [](const QString& s) { return s.isNull() ? QStringLiteral("") : s; };
        return TextId(q, path, details.FullTitle, &text) &&
               Run(q,
                   QStringLiteral("INSERT INTO book_details (text_id, full_title, annotation) VALUES (?, ?, ?)"
                                  " ON CONFLICT (text_id) DO UPDATE SET full_title = excluded.full_title,"
                                  " annotation = excluded.annotation"),
                   {text, text_or_empty(details.FullTitle), text_or_empty(details.Annotation)});
    });
}

std::optional<BookDetails> ResultsDatabase::Details(const QString& path) const {
    if (!Readable()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!Run(q,
             QStringLiteral("SELECT full_title, annotation FROM book_details JOIN texts ON texts.id = text_id"
                            " WHERE path = ?"),
             {path}) ||
        !q.next()) {
        return std::nullopt;
    }
    return BookDetails{q.value(0).toString(), q.value(1).toString()};
}

ResultTable ResultsDatabase::Table(ResultKind kind) const {
    // SQLite turns the stored values into the shown text itself: thousands of
    // rows come out in a few milliseconds, where Qt's date parsing took a
    // hundred. Each query gives the id, the time in ms since the epoch, the
    // main figure, the text's title and the level, then the cells; the local
    // time is read back from the first cell, as each local time costs SQLite
    // a call of the C library.
    const auto at = [](const char* column) {
        return QStringLiteral("CAST(round((julianday(%1) - 2440587.5) * 86400000) AS INTEGER),").arg(QLatin1String(column));
    };
    const auto local = [](const char* column, const char* format) {
        return QStringLiteral("strftime('%1', %2, 'localtime')").arg(QLatin1String(format), QLatin1String(column));
    };
    const QString date = local("taken_at", "%Y-%m-%d %H:%M:%S");
    using K = CellKind;
    ResultTable table;
    QString sql;
    switch (kind) {
        case ResultKind::ReadingTest:
            table.Headers = {QStringLiteral("Дата"), QStringLiteral("Слов в минуту"), QStringLiteral("bps"),
                             QStringLiteral("Секунд"), QStringLiteral("Знаков"), QStringLiteral("Текст"),
                             QStringLiteral("Файл")};
            table.Kinds = {K::DateTime, K::Number, K::Number, K::Number, K::Number, K::Text, K::Text};
            sql = QStringLiteral("SELECT r.id, ") + at("taken_at") +
                  QStringLiteral(" words_per_minute, title, 0, %1, words_per_minute, bps, printf('%.2f', seconds),"
                                 " characters, title, path FROM reading_tests r JOIN texts t ON t.id = r.text_id"
                                 " ORDER BY taken_at DESC, r.id DESC")
                      .arg(date);
            break;
        case ResultKind::IpsTest:
            table.Headers = {QStringLiteral("Дата"), QStringLiteral("IPS"), QStringLiteral("MI"), QStringLiteral("IPI"),
                             QStringLiteral("Найдено"), QStringLiteral("Пропущено"), QStringLiteral("Секунд")};
            table.Kinds = {K::DateTime, K::Number, K::Number, K::Number, K::Number, K::Number, K::Number};
            sql = QStringLiteral("SELECT id, ") + at("taken_at") +
                  QStringLiteral(" ips, '', 0, %1, printf('%.2f', ips), mi, ipi, hits, misses, printf('%.2f', seconds)"
                                 " FROM ips_tests ORDER BY taken_at DESC, id DESC")
                      .arg(date);
            break;
        case ResultKind::MemoryTest:
            table.Headers = {QStringLiteral("Дата"), QStringLiteral("ISR"), QStringLiteral("Очки")};
            table.Kinds = {K::DateTime, K::Number, K::Number};
            sql = QStringLiteral("SELECT id, ") + at("taken_at") +
                  QStringLiteral(" isr, '', 0, %1, printf('%.2f', isr), score FROM memory_tests"
                                 " ORDER BY taken_at DESC, id DESC")
                      .arg(date);
            break;
        case ResultKind::Exercise:
            table.Headers = {QStringLiteral("Начало"), QStringLiteral("Слов в минуту"), QStringLiteral("Минут"),
                             QStringLiteral("Слов"), QStringLiteral("Строк"), QStringLiteral("Этап"),
                             QStringLiteral("Уровень"), QStringLiteral("Конец"), QStringLiteral("Текст")};
            table.Kinds = {K::DateTime, K::Number, K::Number, K::Number, K::Number,
                           K::Number,   K::Number, K::Time,   K::Text};
            // The end as a time of day: a session ends on the day it starts, mostly.
            sql = QStringLiteral("SELECT s.id, ") + at("started_at") +
                  QStringLiteral(" words_per_minute, title, level, %1, words_per_minute,"
                                 " printf('%.1f', active_seconds / 60.0), words_shown, lines_advanced, last_stage,"
                                 " level, %2, title FROM exercise_sessions s JOIN texts t ON t.id = s.text_id"
                                 " ORDER BY started_at DESC, s.id DESC")
                      .arg(local("started_at", "%Y-%m-%d %H:%M:%S"), local("ended_at", "%H:%M:%S"));
            break;
    }
    if (!Readable()) return table;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    if (!q.exec(sql)) return table;
    const int columns = static_cast<int>(table.Headers.size());
    while (q.next()) {
        ResultRow row;
        row.Id = q.value(0).toLongLong();
        // In UTC: turning thousands of times into local time costs more than reading them.
        row.At = QDateTime::fromMSecsSinceEpoch(q.value(1).toLongLong(), Qt::UTC);
        row.Figure = q.value(2).toDouble();
        row.Text = q.value(3).toString();
        row.Level = q.value(4).toInt();
        row.Cells.reserve(columns);
        for (int c = 0; c < columns; ++c) row.Cells.append(q.value(c + 5).toString());
        row.LocalMs = LocalMs(row.Cells.value(0), row.At.toMSecsSinceEpoch());
        table.Rows.push_back(std::move(row));
    }
    return table;
}

TrainingLog ResultsDatabase::Training() const {
    TrainingLog log;
    if (!Readable()) return log;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    // A memory test keeps no time of its own; an exercise counts on the day it
    // began. The results are summed by the quarter hour first, and only the
    // quarters turned into local days: every zone's offset from UTC, and
    // every change of it, is a whole number of quarter hours.
    if (q.exec(QStringLiteral(
            "SELECT date(quarter / 96.0, 'localtime') AS day, sum(seconds), sum(results) FROM ("
            " SELECT quarter, sum(seconds) AS seconds, count(*) AS results FROM ("
            "  SELECT CAST(julianday(taken_at) * 96 AS INTEGER) AS quarter, seconds FROM reading_tests"
            "  UNION ALL SELECT CAST(julianday(taken_at) * 96 AS INTEGER), seconds FROM ips_tests"
            "  UNION ALL SELECT CAST(julianday(taken_at) * 96 AS INTEGER), 0 FROM memory_tests"
            "  UNION ALL SELECT CAST(julianday(started_at) * 96 AS INTEGER), active_seconds FROM exercise_sessions)"
            " GROUP BY quarter)"
            " GROUP BY day ORDER BY day"))) {
        while (q.next()) {
            log.Days.push_back({QDate::fromString(q.value(0).toString(), Qt::ISODate), q.value(1).toDouble(),
                                q.value(2).toInt()});
        }
    }
    // The newest of each kind, by its index: of results at the same moment, the first kind's.
    if (q.exec(QStringLiteral("SELECT kind FROM ("
                              " SELECT 0 AS kind, max(taken_at) AS at FROM reading_tests"
                              " UNION ALL SELECT 1, max(taken_at) FROM ips_tests"
                              " UNION ALL SELECT 2, max(taken_at) FROM memory_tests"
                              " UNION ALL SELECT 3, max(started_at) FROM exercise_sessions)"
                              " WHERE at IS NOT NULL ORDER BY at DESC, kind LIMIT 1")) &&
        q.next()) {
        log.NewestKind = static_cast<ResultKind>(q.value(0).toInt());
    }
    return log;
}

bool ResultsDatabase::Delete(ResultKind kind, std::int64_t id) {
    return Write([&](QSqlQuery& q) {
        return Run(q, QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(QLatin1String(TableOf(kind))), {qint64{id}});
    });
}

}  // namespace vistorel
