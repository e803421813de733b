#include "history/ResultsDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace vistorel {
namespace {

const QString kDriver = QStringLiteral("QSQLITE");

// The schema, one update per version: update k turns a file of version k - 1
// into one of version k. Updates already given out are never changed.
const char* const kUpdates[][8] = {
    // 1: the results, the sessions and the places, each text stored once.
    {"CREATE TABLE texts (id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, title TEXT NOT NULL DEFAULT '')",
     "CREATE TABLE reading_tests (id INTEGER PRIMARY KEY, taken_at TEXT NOT NULL,"
     " text_id INTEGER NOT NULL REFERENCES texts(id), characters INTEGER NOT NULL, seconds REAL NOT NULL,"
     " words_per_minute INTEGER NOT NULL, bps INTEGER NOT NULL)",
     "CREATE TABLE ips_tests (id INTEGER PRIMARY KEY, taken_at TEXT NOT NULL, seconds REAL NOT NULL,"
     " ips REAL NOT NULL, mi INTEGER NOT NULL, ipi INTEGER NOT NULL, hits INTEGER NOT NULL, misses INTEGER NOT NULL)",
     "CREATE TABLE memory_tests (id INTEGER PRIMARY KEY, taken_at TEXT NOT NULL, score INTEGER NOT NULL,"
     " isr REAL NOT NULL)",
     "CREATE TABLE exercise_sessions (id INTEGER PRIMARY KEY, started_at TEXT NOT NULL, ended_at TEXT NOT NULL,"
     " text_id INTEGER NOT NULL REFERENCES texts(id), level INTEGER NOT NULL, last_stage INTEGER NOT NULL,"
     " active_seconds REAL NOT NULL, words_shown INTEGER NOT NULL, lines_advanced INTEGER NOT NULL,"
     " words_per_minute INTEGER NOT NULL)",
     "CREATE TABLE reading_places (text_id INTEGER PRIMARY KEY REFERENCES texts(id), line INTEGER NOT NULL,"
     " word INTEGER NOT NULL, saved_at TEXT NOT NULL)",
     "PRAGMA application_id = 1448301650",
     nullptr},
    // 2: the statistics list results newest first, thousands of them.
    {"CREATE INDEX reading_tests_by_time ON reading_tests (taken_at)",
     "CREATE INDEX ips_tests_by_time ON ips_tests (taken_at)",
     "CREATE INDEX memory_tests_by_time ON memory_tests (taken_at)",
     "CREATE INDEX exercise_sessions_by_time ON exercise_sessions (started_at)",
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

// SQLite's result codes for a file that is not a database or is damaged.
bool Damaged(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    return code == QStringLiteral("26") || code == QStringLiteral("11");
}

QString Reason(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("неизвестная ошибка") : text;
}

QString Stamp(const QDateTime& at) { return at.toUTC().toString(Qt::ISODateWithMs); }

bool Exec(QSqlQuery& query, const QString& sql, QSqlError* error = nullptr) {
    if (query.exec(sql)) return true;
    if (error) *error = query.lastError();
    return false;
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
            ok = Exec(query, QString::fromLatin1(*sql), error);
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

// The id of a text, adding it (or its new title) first.
bool TextId(QSqlQuery& query, const QString& path, const QString& title, qint64* id) {
    query.prepare(QStringLiteral("INSERT INTO texts (path, title) VALUES (?, ?)"
                                 " ON CONFLICT (path) DO UPDATE SET title = excluded.title"));
    // A text without a title has an empty one, not none.
    query.addBindValue(path.isNull() ? QStringLiteral("") : path);
    query.addBindValue(title.isNull() ? QStringLiteral("") : title);
    if (!query.exec()) return false;
    query.prepare(QStringLiteral("SELECT id FROM texts WHERE path = ?"));
    query.addBindValue(path);
    if (!query.exec() || !query.next()) return false;
    *id = query.value(0).toLongLong();
    return true;
}

bool Run(QSqlQuery& query, const QString& sql, const QVariantList& values) {
    query.prepare(sql);
    for (const QVariant& value : values) query.addBindValue(value);
    return query.exec();
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


}  // namespace

ResultsDatabase::ResultsDatabase(const QString& path, Reporter report)
    : path_(path),
      connection_(QStringLiteral("vistorel-results-%1").arg(reinterpret_cast<quintptr>(this), 0, 16)),
      report_(std::move(report)) {
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

void ResultsDatabase::Fail(const QString& message) {
    problem_ = message;
    if (reported_) return;
    reported_ = true;
    if (report_) report_(message);
}

bool ResultsDatabase::OpenFile(bool afterSettingAside) {
    const auto unusable = [this](const QString& why) {
        Close();
        Fail(QStringLiteral("Результаты занятий не будут сохраняться: %1. Тренировки идут как обычно.").arg(why));
        return false;
    };
    if (!QSqlDatabase::isDriverAvailable(kDriver)) {
        return unusable(QStringLiteral("в системе нет драйвера SQLite для Qt (пакет libqt6sql6-sqlite)"));
    }
    // What the file holds, read with a connection that is let go before any
    // decision closes or renames it.
    enum class Found { Usable, Unopened, Unread, Damaged, Foreign, Newer, NotUpdated } found = Found::Usable;
    QSqlError error;
    qint64 version = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, connection_);
        db.setDatabaseName(path_);
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
            if (!read) {
                found = Damaged(error) ? Found::Damaged : Found::Unread;
            } else if (!checked) {
                found = Found::Damaged;
            } else if (application != kApplicationId && (objects > 0 || version > 0)) {
                found = Found::Foreign;
            } else if (version > kSchemaVersion) {
                found = Found::Newer;
            } else if (!RunUpdates(db, static_cast<int>(version), kSchemaVersion, &error)) {
                found = Found::NotUpdated;
            }
        } else {
            error = db.lastError();
            found = Found::Unopened;
        }
    }
    switch (found) {
        case Found::Usable: break;
        case Found::Unopened:
            return unusable(QStringLiteral("не удаётся открыть или создать файл \"%1\" (%2)").arg(path_, Reason(error)));
        case Found::Unread:
            return unusable(QStringLiteral("не удаётся прочитать файл \"%1\" (%2)").arg(path_, Reason(error)));
        case Found::Damaged:
        case Found::Foreign:
            if (afterSettingAside || !SetAside()) {
                return unusable(QStringLiteral("файл \"%1\" повреждён, и его не удалось отложить").arg(path_));
            }
            return OpenFile(true);
        case Found::Newer:
            return unusable(QStringLiteral("файл \"%1\" записан более новой версией программы (версия данных %2, "
                                           "эта программа знает до %3); он оставлен как есть")
                                .arg(path_)
                                .arg(version)
                                .arg(kSchemaVersion));
        case Found::NotUpdated:
            return unusable(QStringLiteral("не удаётся записать в файл \"%1\" (%2)").arg(path_, Reason(error)));
    }
    open_ = true;
    if (!keptAside_.isEmpty()) {
        Fail(QStringLiteral("Файл результатов \"%1\" повреждён или не является файлом результатов программы. "
                            "Он сохранён под именем \"%2\", а результаты теперь записываются в новый файл.")
                 .arg(path_, keptAside_));
        problem_.clear();
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
    if (notCreated_) {
        notCreated_ = false;
        OpenFile(false);
    }
    if (!open_) return false;
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
    Fail(QStringLiteral("Результат не сохранён в файле \"%1\": %2. Тренировки идут как обычно, уже сохранённые "
                        "результаты не потеряны.")
             .arg(path_, Reason(error)));
    return false;
}

bool ResultsDatabase::Record(const ReadingTestResult& r) {
    return Recorded(ResultKind::ReadingTest, Write([&](QSqlQuery& q) {
        qint64 text = 0;
        return TextId(q, r.Path, r.Title, &text) &&
               Run(q,
                   QStringLiteral("INSERT INTO reading_tests (taken_at, text_id, characters, seconds,"
                                  " words_per_minute, bps) VALUES (?, ?, ?, ?, ?, ?)"),
                   {Stamp(r.TakenAt), text, qint64{r.Characters}, r.Seconds, qint64{r.WordsPerMinute}, qint64{r.Bps}});
    }));
}

bool ResultsDatabase::Record(const IpsTestResult& r) {
    return Recorded(ResultKind::IpsTest, Write([&](QSqlQuery& q) {
        return Run(q,
                   QStringLiteral("INSERT INTO ips_tests (taken_at, seconds, ips, mi, ipi, hits, misses)"
                                  " VALUES (?, ?, ?, ?, ?, ?, ?)"),
                   {Stamp(r.TakenAt), r.Seconds, r.Ips, qint64{r.Mi}, qint64{r.Ipi}, qint64{r.Hits}, qint64{r.Misses}});
    }));
}

bool ResultsDatabase::Record(const MemoryTestResult& r) {
    return Recorded(ResultKind::MemoryTest, Write([&](QSqlQuery& q) {
        return Run(q, QStringLiteral("INSERT INTO memory_tests (taken_at, score, isr) VALUES (?, ?, ?)"),
                   {Stamp(r.TakenAt), r.Score, r.Isr});
    }));
}

bool ResultsDatabase::Record(const ExerciseSessionResult& s) {
    return Recorded(ResultKind::Exercise, Write([&](QSqlQuery& q) {
        qint64 text = 0;
        return TextId(q, s.Path, s.Title, &text) &&
               Run(q,
                   QStringLiteral("INSERT INTO exercise_sessions (started_at, ended_at, text_id, level, last_stage,"
                                  " active_seconds, words_shown, lines_advanced, words_per_minute)"
                                  " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {Stamp(s.StartedAt), Stamp(s.EndedAt), text, s.Level, s.LastStage, s.ActiveSeconds,
                    qint64{s.WordsShown}, qint64{s.LinesAdvanced}, qint64{s.WordsPerMinute}});
    }));
}

bool ResultsDatabase::Recorded(ResultKind kind, bool stored) {
    if (stored && recorded_) recorded_(kind);
    return stored;
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
    if (!open_) return std::nullopt;
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
    if (!open_) return std::nullopt;
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
    if (!open_) return std::nullopt;
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
    // main figure, then the cells.
    const auto at = [](const char* column) {
        return QStringLiteral("CAST(round((julianday(%1) - 2440587.5) * 86400000) AS INTEGER),").arg(QLatin1String(column));
    };
    const auto local = [](const char* column, const char* format) {
        return QStringLiteral("strftime('%1', %2, 'localtime')").arg(QLatin1String(format), QLatin1String(column));
    };
    const QString date = local("taken_at", "%Y-%m-%d %H:%M:%S");
    ResultTable table;
    QString sql;
    switch (kind) {
        case ResultKind::ReadingTest:
            table.Headers = {QStringLiteral("Дата"), QStringLiteral("Слов в минуту"), QStringLiteral("bps"),
                             QStringLiteral("Секунд"), QStringLiteral("Знаков"), QStringLiteral("Текст"),
                             QStringLiteral("Файл")};
            sql = QStringLiteral("SELECT r.id, ") + at("taken_at") +
                  QStringLiteral(" words_per_minute, %1, words_per_minute, bps, printf('%.2f', seconds), characters,"
                                 " title, path FROM reading_tests r JOIN texts t ON t.id = r.text_id"
                                 " ORDER BY taken_at DESC, r.id DESC")
                      .arg(date);
            break;
        case ResultKind::IpsTest:
            table.Headers = {QStringLiteral("Дата"), QStringLiteral("IPS"), QStringLiteral("MI"), QStringLiteral("IPI"),
                             QStringLiteral("Найдено"), QStringLiteral("Пропущено"), QStringLiteral("Секунд")};
            sql = QStringLiteral("SELECT id, ") + at("taken_at") +
                  QStringLiteral(" ips, %1, printf('%.2f', ips), mi, ipi, hits, misses, printf('%.2f', seconds)"
                                 " FROM ips_tests ORDER BY taken_at DESC, id DESC")
                      .arg(date);
            break;
        case ResultKind::MemoryTest:
            table.Headers = {QStringLiteral("Дата"), QStringLiteral("ISR"), QStringLiteral("Очки")};
            sql = QStringLiteral("SELECT id, ") + at("taken_at") +
                  QStringLiteral(" isr, %1, printf('%.2f', isr), score FROM memory_tests ORDER BY taken_at DESC, id DESC")
                      .arg(date);
            break;
        case ResultKind::Exercise:
            table.Headers = {QStringLiteral("Начало"), QStringLiteral("Слов в минуту"), QStringLiteral("Минут"),
                             QStringLiteral("Слов"), QStringLiteral("Строк"), QStringLiteral("Этап"),
                             QStringLiteral("Уровень"), QStringLiteral("Конец"), QStringLiteral("Текст")};
            // The end as a time of day: a session ends on the day it starts, mostly.
            sql = QStringLiteral("SELECT s.id, ") + at("started_at") +
                  QStringLiteral(" words_per_minute, %1, words_per_minute, printf('%.1f', active_seconds / 60.0),"
                                 " words_shown, lines_advanced, last_stage, level, %2, title"
                                 " FROM exercise_sessions s JOIN texts t ON t.id = s.text_id"
                                 " ORDER BY started_at DESC, s.id DESC")
                      .arg(local("started_at", "%Y-%m-%d %H:%M:%S"), local("ended_at", "%H:%M:%S"));
            break;
    }
    if (!open_) return table;
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
        row.Cells.reserve(columns);
        for (int c = 0; c < columns; ++c) row.Cells.append(q.value(c + 3).toString());
        table.Rows.push_back(std::move(row));
    }
    return table;
}

bool ResultsDatabase::Delete(ResultKind kind, std::int64_t id) {
    return Write([&](QSqlQuery& q) {
        return Run(q, QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(QLatin1String(TableOf(kind))), {qint64{id}});
    });
}

}  // namespace vistorel
