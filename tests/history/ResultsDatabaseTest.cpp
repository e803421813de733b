// The results database on disk: its schema created or brought up to date
// (from a file an update left half done too), every kind of result and the
// reading places written and read back, and each way the file can fail
// (read-only folder, full disk, a damaged or foreign file, one without a
// table or column it needs, a file of a newer program, a dangling link in
// its place) reported with nothing else lost.

#include "history/ResultsDatabase.h"
#include "history/HistoryTestSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <vector>
#include <unistd.h>

namespace vistorel {
namespace {

using test::At;
using test::ReadingTest;
using test::SqlValue;

TEST(ResultsDatabase, ANewFileAndEveryOlderVersionEndAtTheLatestSchemaKeepingTheirResults) {
    for (int from = 0; from < ResultsDatabase::kSchemaVersion; ++from) {
        SCOPED_TRACE(from);
        test::StartDirectory dir(false);
        const QString path = dir.File(QStringLiteral("Vistorel.sqlite"));
        if (from > 0) {
            QString error;
            ASSERT_TRUE(ResultsDatabase::BuildSchema(path, from, &error)) << error.toStdString();
            // A result that the older program stored.
            SqlValue(path, "INSERT INTO texts (id, path, title) VALUES (7, 'old.txt', 'Старый')");
            SqlValue(path, "INSERT INTO reading_tests VALUES (1, '2026-01-02T03:04:05.000Z', 7, 2400, 80.0, 300, 1650)");
        }
        QStringList messages;
        {
            ResultsDatabase db(path, [&](const QString& m) { messages.append(m); });
            ASSERT_TRUE(db.Available());
            EXPECT_EQ(db.Table(ResultKind::ReadingTest).Rows.size(), from > 0 ? 1u : 0u);
            // A new file comes with the first result, not before.
            EXPECT_EQ(QFile::exists(path), from > 0);
            EXPECT_TRUE(db.Record(ReadingTest(At(2, 0), 310)));
            const ResultTable table = db.Table(ResultKind::ReadingTest);
            ASSERT_EQ(table.Rows.size(), from > 0 ? 2u : 1u);
            if (from > 0) {
                EXPECT_EQ(table.Rows[1].Cells.mid(1), (QStringList{"300", "1650", "80.00", "2400", "Старый", "old.txt"}));
            }
        }
        EXPECT_EQ(messages, QStringList());
        EXPECT_EQ(SqlValue(path, "PRAGMA user_version").toInt(), ResultsDatabase::kSchemaVersion);
        EXPECT_EQ(SqlValue(path, "PRAGMA application_id").toInt(), ResultsDatabase::kApplicationId);
        EXPECT_EQ(SqlValue(path, "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name LIKE '%_by_time'").toInt(), 4);
    }
}

TEST(ResultsDatabase, EveryKindOfResultAndThePlacesReadBackFromTheFileNewestFirst) {
    test::StartDirectory dir(false);
    const QString path = dir.File(QStringLiteral("Vistorel.sqlite"));
    {
        ResultsDatabase db(path, {});
        EXPECT_TRUE(db.Record(ReadingTest(At(1, 10), 312, QStringLiteral("Книга"), QStringLiteral("texts/book.txt"))));
        EXPECT_TRUE(db.Record(ReadingTest(At(3, 10), 356, QStringLiteral("Книга 2"), QStringLiteral("texts/book.txt"))));
        EXPECT_TRUE(db.Record(ReadingTest(At(2, 10), 330, QStringLiteral("Другая"), QStringLiteral("other.txt"))));
        EXPECT_TRUE(db.Record(IpsTestResult{At(1, 11), 61.5, 6.0675, 38, 3, 20, 5}));
        EXPECT_TRUE(db.Record(MemoryTestResult{At(1, 12), 40, 40 / 7.0}));
        EXPECT_TRUE(db.Record(ExerciseSessionResult{At(1, 13), At(1, 14), QStringLiteral("Книга"),
                                                    QStringLiteral("texts/book.txt"), 2, 4, 90.0, 330, 12, 220}));
        EXPECT_TRUE(db.SavePlace(QStringLiteral("texts/book.txt"), QStringLiteral("Книга 3"), {120, 3, {}}));
        EXPECT_TRUE(db.SavePlace(QStringLiteral("texts/book.txt"), QStringLiteral("Книга 3"), {121, 5, {}}));
        EXPECT_TRUE(db.SavePlace(QStringLiteral("other.txt"), QStringLiteral("Другая"), {2, 1, {}}));
    }
    ResultsDatabase db(path, {});
    const ResultTable reading = db.Table(ResultKind::ReadingTest);
    ASSERT_EQ(reading.Rows.size(), 3u);
    // Newest first; a text's title is the one it had last.
    EXPECT_EQ(reading.Rows[0].Figure, 356);
    EXPECT_EQ(reading.Rows[1].Figure, 330);
    EXPECT_EQ(reading.Rows[2].Cells.mid(1), (QStringList{"312", "1716", "38.46", "2000", "Книга 3", "texts/book.txt"}));
    EXPECT_EQ(reading.Rows[2].At, At(1, 10));
    EXPECT_EQ(reading.Rows[2].Cells[0], At(1, 10).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));

    const ResultTable ips = db.Table(ResultKind::IpsTest);
    ASSERT_EQ(ips.Rows.size(), 1u);
    EXPECT_EQ(ips.Rows[0].Cells.mid(1), (QStringList{"6.07", "38", "3", "20", "5", "61.50"}));
    const ResultTable memory = db.Table(ResultKind::MemoryTest);
    ASSERT_EQ(memory.Rows.size(), 1u);
    EXPECT_EQ(memory.Rows[0].Cells.mid(1), (QStringList{"5.71", "40"}));
    const ResultTable sessions = db.Table(ResultKind::Exercise);
    ASSERT_EQ(sessions.Rows.size(), 1u);
    EXPECT_EQ(sessions.Rows[0].Cells.mid(1, 6), (QStringList{"220", "1.5", "330", "12", "4", "2"}));

    ASSERT_TRUE(db.Place(QStringLiteral("texts/book.txt")).has_value());
    EXPECT_EQ(db.Place(QStringLiteral("texts/book.txt"))->Line, 121);
    EXPECT_EQ(db.Place(QStringLiteral("texts/book.txt"))->Word, 5);
    EXPECT_EQ(db.Place(QStringLiteral("other.txt"))->Line, 2);
    EXPECT_FALSE(db.Place(QStringLiteral("never.txt")).has_value());

    EXPECT_TRUE(db.Delete(ResultKind::ReadingTest, reading.Rows[1].Id));
    const ResultTable left = db.Table(ResultKind::ReadingTest);
    ASSERT_EQ(left.Rows.size(), 2u);
    EXPECT_EQ(left.Rows[0].Figure, 356);
    EXPECT_EQ(left.Rows[1].Figure, 312);
    EXPECT_EQ(db.Table(ResultKind::IpsTest).Rows.size(), 1u);
}

// What the program keeps beside the results: choices by key, a book's full
// title and annotation, a place's fingerprint, and a word to the statistics
// after each stored result (none when the write fails).
TEST(ResultsDatabase, PreferencesBookDetailsAndFingerprintsReadBackAndEachStoredResultIsAnnounced) {
    test::StartDirectory dir(false);
    const QString path = dir.File(QStringLiteral("Vistorel.sqlite"));
    std::vector<ResultKind> announced;
    {
        ResultsDatabase db(path, {});
        db.SetRecordedListener([&](ResultKind kind) { announced.push_back(kind); });
        EXPECT_FALSE(db.Preference(QStringLiteral("goal")).has_value());
        EXPECT_TRUE(db.SetPreference(QStringLiteral("goal"), QStringLiteral("15")));
        EXPECT_TRUE(db.SetPreference(QStringLiteral("goal"), QStringLiteral("20")));
        EXPECT_TRUE(db.SaveBookDetails(QStringLiteral("Тексты/1.fb2"),
                                       {QStringLiteral("Émile, ou De l’éducation"), QStringLiteral("Первый абзац.\nВторой.")}));
        EXPECT_TRUE(db.SavePlace(QStringLiteral("Тексты/1.fb2"), QStringLiteral("Emile"), {7, 2, QStringLiteral("abc|def")}));
        EXPECT_TRUE(db.Record(MemoryTestResult{At(1, 12), 40, 40 / 7.0}));
        EXPECT_TRUE(db.Record(ReadingTest(At(1, 10), 312)));
        SqlValue(path, "CREATE TRIGGER refuse BEFORE INSERT ON ips_tests BEGIN SELECT RAISE(ABORT, 'no'); END");
        EXPECT_FALSE(db.Record(IpsTestResult{At(1, 11), 61.5, 6.0675, 38, 3, 20, 5}));
    }
    EXPECT_EQ(announced, (std::vector<ResultKind>{ResultKind::MemoryTest, ResultKind::ReadingTest}));
    ResultsDatabase db(path, {});
    EXPECT_EQ(db.Preference(QStringLiteral("goal")).value_or(QString()), QStringLiteral("20"));
    ASSERT_TRUE(db.Details(QStringLiteral("Тексты/1.fb2")).has_value());
    EXPECT_EQ(db.Details(QStringLiteral("Тексты/1.fb2"))->FullTitle, QStringLiteral("Émile, ou De l’éducation"));
    EXPECT_EQ(db.Details(QStringLiteral("Тексты/1.fb2"))->Annotation, QStringLiteral("Первый абзац.\nВторой."));
    EXPECT_FALSE(db.Details(QStringLiteral("other.txt")).has_value());
    EXPECT_EQ(db.Place(QStringLiteral("Тексты/1.fb2")).value_or(ReadingPlace{}).Fingerprint, QStringLiteral("abc|def"));
}

// Runs as another user than root, who may write anywhere.
class OtherUser {
public:
    OtherUser() : switched_(::geteuid() == 0 && ::seteuid(65534) == 0) {}
    ~OtherUser() {
        if (switched_) (void)::seteuid(0);
    }

private:
    bool switched_;
};

TEST(ResultsDatabase, AReadOnlyFolderAndAFullDiskGiveAMessageForEachFailedWriteAndKeepTheStoredResults) {
    for (const bool fullDisk : {false, true}) {
        SCOPED_TRACE(fullDisk ? "full disk" : "read-only folder");
        test::StartDirectory dir(false);
        const QString path = dir.File(QStringLiteral("Vistorel.sqlite"));
        {
            ResultsDatabase db(path, {});
            ASSERT_TRUE(db.Record(ReadingTest(At(1, 10), 312)));
            ASSERT_TRUE(db.Record(ReadingTest(At(1, 11), 313)));
        }
        const QByteArray before = test::FileBytes(path);
        QStringList messages;
        {
            ::chmod(QFile::encodeName(dir.Path()).constData(), fullDisk ? 0755 : 0555);
            std::optional<OtherUser> user;
            if (!fullDisk) user.emplace();
            std::optional<test::FileSizeLimit> limit;
            if (fullDisk) limit.emplace(before.size());
            ResultsDatabase db(path, [&](const QString& m) { messages.append(m); });
            // A long title needs pages the file does not have yet.
            EXPECT_FALSE(db.Record(ReadingTest(At(2, 10), 400, QString(20000, u'ж'))));
            EXPECT_FALSE(db.Record(ReadingTest(At(2, 11), 401, QString(20000, u'ж'))));
            EXPECT_EQ(db.Table(ResultKind::ReadingTest).Rows.size(), 2u);
        }
        ::chmod(QFile::encodeName(dir.Path()).constData(), 0700);
        ASSERT_EQ(messages.size(), 2);
        EXPECT_TRUE(messages[1].contains(QStringLiteral("Результат не сохранён"))) << messages[1].toStdString();
        EXPECT_EQ(messages[0], messages[1]);
        EXPECT_EQ(test::FileBytes(path), before);
        EXPECT_EQ(SqlValue(path, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
        ResultsDatabase again(path, {});
        EXPECT_TRUE(again.Record(ReadingTest(At(3, 10), 500)));
        EXPECT_EQ(again.Table(ResultKind::ReadingTest).Rows.size(), 3u);
    }
}

TEST(ResultsDatabase, ANewFolderThatCannotBeWrittenIsReportedOnceAndTheTrainingGoesOn) {
    test::StartDirectory dir(false);
    const QString path = dir.File(QStringLiteral("Vistorel.sqlite"));
    ::chmod(QFile::encodeName(dir.Path()).constData(), 0555);
    QStringList messages;
    {
        OtherUser user;
        ResultsDatabase db(path, [&](const QString& m) { messages.append(m); });
        EXPECT_FALSE(db.Record(ReadingTest(At(2, 10), 400)));
        EXPECT_FALSE(db.Available());
        EXPECT_FALSE(db.SavePlace(QStringLiteral("a.txt"), {}, {3, 1, {}}));
        EXPECT_TRUE(db.Table(ResultKind::ReadingTest).Rows.empty());
    }
    ::chmod(QFile::encodeName(dir.Path()).constData(), 0700);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(path)) << messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ResultsDatabase, ADamagedOrForeignFileIsKeptAsideAndANewerOneLeftAlone) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
        bool keptAside;
    };
    const std::vector<Case> cases = {
        {"garbage", [](const QString& path) { test::WriteFile(path, test::RandomBytes(8192, 3)); }, true},
        {"a damaged page",
         [](const QString& path) {
             {
                 ResultsDatabase db(path, {});
                 db.Record(ReadingTest(At(1, 0), 300));
             }
             QByteArray bytes = test::FileBytes(path);
             // Page 3: the index of the texts' paths.
             for (int i = 4096 * 2; i < 4096 * 3; ++i) bytes[i] = static_cast<char>(0x5A);
             test::WriteFile(path, bytes);
         },
         true},
        {"another program's database",
         [](const QString& path) { SqlValue(path, "CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT)"); }, true},
        {"a newer version",
         [](const QString& path) {
             {
                 ResultsDatabase db(path, {});
                 db.Record(ReadingTest(At(1, 0), 300));
             }
             SqlValue(path, "PRAGMA user_version = 9");
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::StartDirectory dir(false);
        const QString path = dir.File(QStringLiteral("Vistorel.sqlite"));
        c.make(path);
        const QByteArray original = test::FileBytes(path);
        QStringList messages;
        {
            ResultsDatabase db(path, [&](const QString& m) { messages.append(m); });
            EXPECT_EQ(db.Available(), c.keptAside);
            // Recording goes on in a new file, or quietly not at all.
            EXPECT_EQ(db.Record(ReadingTest(At(5, 10), 444)), c.keptAside);
            EXPECT_EQ(db.Record(ReadingTest(At(5, 11), 445)), c.keptAside);
            EXPECT_EQ(db.KeptAside().isEmpty(), !c.keptAside);
            if (c.keptAside) {
                EXPECT_EQ(test::FileBytes(db.KeptAside()), original);
                EXPECT_TRUE(messages.value(0).contains(QFileInfo(db.KeptAside()).fileName()));
            }
        }
        EXPECT_EQ(messages.size(), 1);
        const QStringList files = QDir(dir.Path()).entryList(QDir::Files);
        if (c.keptAside) {
            EXPECT_EQ(files.size(), 2) << files.join(u' ').toStdString();
            EXPECT_EQ(SqlValue(path, "SELECT count(*) FROM reading_tests").toInt(), 2);
        } else {
            EXPECT_EQ(files, QStringList{QStringLiteral("Vistorel.sqlite")});
            EXPECT_EQ(test::FileBytes(path), original);
        }
    }
}

// A file with the right id and version that lacks a table or a column the
// statements need (or has a view in a table's place, or a path column that
// is not unique) is put aside once, and the results go on in a new file.
TEST(ResultsDatabase, AFileWithoutATableOrColumnItNeedsIsSetAsideOnceAndTheNextResultIsStored) {
    struct Case {
        const char* name;
        const char* change;
        const char* said;
    };
    const std::vector<Case> cases = {
        {"a table missing", "DROP TABLE ips_tests", "нет таблицы ips_tests"},
        {"a column missing", "ALTER TABLE memory_tests DROP COLUMN isr", "нет столбца isr"},
        {"a view for a table", "DROP TABLE memory_tests; CREATE VIEW memory_tests AS SELECT 1 AS id",
         "нет таблицы memory_tests"},
        {"paths not unique",
         "CREATE TABLE t2 (id INTEGER PRIMARY KEY, path TEXT NOT NULL, title TEXT NOT NULL DEFAULT '');"
         " DROP TABLE texts; ALTER TABLE t2 RENAME TO texts",
         "не уникален столбец path"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::StartDirectory dir(false);
        const QString path = dir.File(QStringLiteral("Vistorel.sqlite"));
        ASSERT_TRUE(ResultsDatabase::BuildSchema(path, ResultsDatabase::kSchemaVersion, nullptr));
        for (const QString& sql : QString::fromUtf8(c.change).split(QStringLiteral("; "))) {
            SqlValue(path, sql.toUtf8().constData());
        }
        const QByteArray changed = test::FileBytes(path);
        QStringList messages;
        {
            ResultsDatabase db(path, [&](const QString& m) { messages.append(m); });
            EXPECT_TRUE(db.Record(IpsTestResult{At(1, 11), 61.5, 6.0675, 38, 3, 20, 5}));
            EXPECT_TRUE(db.Record(MemoryTestResult{At(1, 12), 40, 40 / 7.0}));
            EXPECT_EQ(test::FileBytes(db.KeptAside()), changed);
        }
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(QString::fromUtf8(c.said))) << messages[0].toStdString();
        ResultsDatabase again(path, [&](const QString& m) { messages.append(m); });
        EXPECT_EQ(again.Table(ResultKind::MemoryTest).Rows.size(), 1u);
        EXPECT_EQ(messages.size(), 1);
        EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files).size(), 2);
    }
}

// Each update finds its work done where it is: a file at version 0 whose
// tables are there, version 1 with its index, version 2 with its column.
TEST(ResultsDatabase, UpdatesFindingTheirWorkAlreadyDoneBringTheFileUpToDateKeepingItsResults) {
    for (int version = 0; version < ResultsDatabase::kSchemaVersion; ++version) {
        SCOPED_TRACE(version);
        test::StartDirectory dir(false);
        const QString path = dir.File(QStringLiteral("Vistorel.sqlite"));
        ASSERT_TRUE(ResultsDatabase::BuildSchema(path, version + 1, nullptr));
        SqlValue(path, "INSERT INTO texts (id, path, title) VALUES (7, 'old.txt', 'Старый')");
        SqlValue(path, "INSERT INTO reading_tests VALUES (1, '2026-01-02T03:04:05.000Z', 7, 2400, 80.0, 300, 1650)");
        SqlValue(path, QStringLiteral("PRAGMA user_version = %1").arg(version).toUtf8().constData());
        QStringList messages;
        ResultsDatabase db(path, [&](const QString& m) { messages.append(m); });
        EXPECT_TRUE(db.Record(ReadingTest(At(2, 0), 310)));
        EXPECT_EQ(db.Table(ResultKind::ReadingTest).Rows.size(), 2u);
        EXPECT_EQ(messages, QStringList());
        EXPECT_EQ(SqlValue(path, "PRAGMA user_version").toInt(), ResultsDatabase::kSchemaVersion);
        EXPECT_TRUE(db.KeptAside().isEmpty());
    }
}

// A statement that SQLite refuses says SQLite's reason; a table lost while
// the file is open is found by the next write, which puts the file aside and
// stores the result in a new one.
TEST(ResultsDatabase, AStatementSQLiteRefusesIsReportedWithItsReasonAndATableLostMeanwhileSetsTheFileAside) {
    test::StartDirectory dir(false);
    const QString path = dir.File(QStringLiteral("Vistorel.sqlite"));
    QStringList messages;
    ResultsDatabase db(path, [&](const QString& m) { messages.append(m); });
    ASSERT_TRUE(db.Record(ReadingTest(At(1, 0), 300)));
    SqlValue(path, "CREATE TRIGGER lookup BEFORE INSERT ON memory_tests BEGIN SELECT count(*) FROM nowhere; END");
    EXPECT_FALSE(db.Record(MemoryTestResult{At(1, 12), 40, 40 / 7.0}));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("no such table: main.nowhere"))) << messages[0].toStdString();
    EXPECT_TRUE(db.KeptAside().isEmpty());

    SqlValue(path, "DROP TABLE ips_tests");
    EXPECT_TRUE(db.Record(IpsTestResult{At(1, 11), 61.5, 6.0675, 38, 3, 20, 5}));
    EXPECT_FALSE(db.KeptAside().isEmpty());
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].contains(QStringLiteral("нет таблицы ips_tests"))) << messages[1].toStdString();
    EXPECT_EQ(db.Table(ResultKind::IpsTest).Rows.size(), 1u);
    EXPECT_EQ(db.Table(ResultKind::ReadingTest).Rows.size(), 0u);  // they are in the file put aside
}

// A link to nowhere in the file's place is replaced, never written through.
TEST(ResultsDatabase, ADanglingLinkInThePlaceOfTheFileIsReplacedByTheFile) {
    test::StartDirectory dir(false);
    const QString path = dir.File(QStringLiteral("Vistorel.sqlite"));
    const QString target = dir.File(QStringLiteral("elsewhere.sqlite"));
    ASSERT_TRUE(QFile::link(target, path));
    {
        ResultsDatabase db(path, {});
        EXPECT_TRUE(db.Record(ReadingTest(At(1, 0), 300)));
    }
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_EQ(SqlValue(path, "SELECT count(*) FROM reading_tests").toInt(), 1);
}

}  // namespace
}  // namespace vistorel
