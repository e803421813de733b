// The results writer: what a locked or full results file cannot take waits
// in memory and in the waiting file, each failure names every result still
// waiting once, and all of it is written when the file takes it again, in
// the same run or at the next start, never twice.

#include "history/ResultsWriter.h"
#include "history/HistoryTestSupport.h"
#include "history/ResultsDatabase.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace vistorel {
namespace {

using test::At;
using test::ReadingTest;
using test::SqlValue;

ExerciseSessionResult Session(int words) {
    return {At(3, 0), At(3, 1), QStringLiteral("Книга"), QStringLiteral("book.txt"), 2, 1, 60.0, words, 3, words};
}

// Another program holding the file with BEGIN EXCLUSIVE while it lives.
class Lock {
public:
    explicit Lock(const QString& path) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db.setDatabaseName(path);
        Held = db.open() && QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~Lock() {
        {
            QSqlDatabase db = QSqlDatabase::database(kName);
            QSqlQuery(db).exec(QStringLiteral("COMMIT"));
            db.close();
        }
        QSqlDatabase::removeDatabase(kName);
    }
    bool Held = false;

private:
    const QString kName = QStringLiteral("results-writer-test-lock");
};

class Writing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ResultsDatabase::BuildSchema(Database(), ResultsDatabase::kSchemaVersion, nullptr));
    }
    QString Database() const { return dir.File(QStringLiteral("Vistorel.sqlite")); }
    QString Waiting() const { return dir.File(QStringLiteral("Vistorel-waiting.json")); }
    void Start() {
        writer = std::make_unique<ResultsWriter>(
            Database(), Waiting(),
            ResultsWriter::Events{[this](std::optional<ResultKind> kind) { written.push_back(kind); },
                                  [this](const QString& message) { messages.append(message); }, {}},
            50, 100);
    }
    int Rows(const char* table) const {
        return SqlValue(Database(), QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table)).toUtf8()).toInt();
    }
    std::vector<WaitingEntry> WaitingFile() const {
        return WaitingFromJson(test::FileBytes(Waiting()), nullptr).value_or(std::vector<WaitingEntry>{});
    }

    test::StartDirectory dir{false};
    std::unique_ptr<ResultsWriter> writer;
    std::vector<std::optional<ResultKind>> written;
    QStringList messages;
};

TEST_F(Writing, ResultsStoppedWhileTheFileIsLockedWaitAreEachReportedAndAreWrittenWhenTheLockEnds) {
    Start();
    {
        Lock lock(Database());
        ASSERT_TRUE(lock.Held);
        writer->Record(ReadingTest(At(1, 10), 312));
        EXPECT_FALSE(writer->Flush(10000));
        writer->SaveRunning(Session(3));  // a running exercise: saved, never named
        writer->SavePlace(QStringLiteral("book.txt"), QStringLiteral("Книга"), {4, 2, {}});
        EXPECT_FALSE(writer->Flush(10000));
        writer->Record(Session(6));  // the same exercise ended
        writer->SavePlace(QStringLiteral("book.txt"), QStringLiteral("Книга"), {5, 1, {}});
        EXPECT_FALSE(writer->Flush(10000));
        ASSERT_EQ(messages.size(), 2);
        EXPECT_TRUE(messages[0].contains(QStringLiteral("файл занят другой программой"))) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(QStringLiteral("Ждут записи (1): тест скорости чтения")));
        EXPECT_TRUE(messages[0].contains(QStringLiteral("Он сохранён")));
        EXPECT_FALSE(messages[0].contains(QStringLiteral("упражнение")));
        EXPECT_TRUE(messages[1].contains(QStringLiteral("слов/мин), упражнение"))) << messages[1].toStdString();
        EXPECT_TRUE(messages[1].contains(QStringLiteral("Ждут записи (2)")));
        EXPECT_TRUE(messages[1].contains(QStringLiteral("Они сохранены в файле \"") + Waiting()));
        EXPECT_EQ(writer->WaitingResults(), 2);
        EXPECT_EQ(writer->WaitingPlace(QStringLiteral("book.txt")).value_or(ReadingPlace{}).Line, 5);
        EXPECT_EQ(WaitingFile().size(), 3u);
        EXPECT_TRUE(writer->ExitMessage().contains(QStringLiteral("2 результата"))) << writer->ExitMessage().toStdString();
        EXPECT_TRUE(writer->ExitMessage().contains(QStringLiteral("при следующем запуске")));
        EXPECT_EQ(written, std::vector<std::optional<ResultKind>>());
    }
    EXPECT_TRUE(writer->Flush(10000));
    EXPECT_EQ(written, (std::vector<std::optional<ResultKind>>{ResultKind::ReadingTest, ResultKind::Exercise, std::nullopt}));
    EXPECT_EQ(Rows("reading_tests"), 1);
    EXPECT_EQ(SqlValue(Database(), "SELECT group_concat(words_shown) FROM exercise_sessions").toString(), QStringLiteral("6"));
    EXPECT_EQ(SqlValue(Database(), "SELECT line FROM reading_places").toInt(), 5);
    EXPECT_FALSE(QFile::exists(Waiting()));
    EXPECT_EQ(writer->ExitMessage(), QString());
    EXPECT_EQ(messages.size(), 2);
}

// What waits when the writer goes is in the waiting file; the next writer
// writes it first, and what the file already holds is not stored twice.
TEST_F(Writing, WhatWaitsAtTheEndIsWrittenAtTheNextStartAndNothingTwice) {
    Start();
    {
        Lock lock(Database());
        writer->Record(ReadingTest(At(1, 10), 312));
        writer->Record(MemoryTestResult{At(1, 12), 40, 40 / 7.0});
        writer->SaveRunning(Session(4));
        writer.reset();
    }
    EXPECT_EQ(WaitingFile().size(), 3u);
    // The reading test and the session made it into the file just before the end.
    {
        ResultsDatabase db(Database(), {});
        ASSERT_TRUE(db.Record(ReadingTest(At(1, 10), 312)));
        ASSERT_TRUE(db.Record(Session(3)));
    }
    Start();
    EXPECT_TRUE(writer->Flush(10000));
    EXPECT_EQ(Rows("reading_tests"), 1);
    EXPECT_EQ(Rows("memory_tests"), 1);
    EXPECT_EQ(SqlValue(Database(), "SELECT group_concat(words_shown) FROM exercise_sessions").toString(), QStringLiteral("4"));
    EXPECT_FALSE(QFile::exists(Waiting()));
    EXPECT_EQ(messages, QStringList());
}

// A full disk takes neither the results nor the waiting file: the message
// says the results are only in memory, and the end says they would be lost;
// with room again they are written.
TEST_F(Writing, OnAFullDiskTheResultsWaitInMemoryAndAreWrittenWhenThereIsRoom) {
    Start();
    {
        const test::FileSizeLimit full(test::FileBytes(Database()).size());
        writer->Record(ReadingTest(At(1, 10), 312, QString(100000, u'ж')));
        EXPECT_FALSE(writer->Flush(10000));
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(QStringLiteral("тоже не удалось"))) << messages[0].toStdString();
        EXPECT_TRUE(writer->ExitMessage().contains(QStringLiteral("он будет потерян"))) << writer->ExitMessage().toStdString();
    }
    EXPECT_FALSE(QFile::exists(Waiting()));
    EXPECT_TRUE(writer->Flush(10000));
    EXPECT_EQ(Rows("reading_tests"), 1);
}

TEST_F(Writing, AWaitingFileThatCannotBeReadIsKeptAsideAndReported) {
    test::WriteFile(Waiting(), "{\"vistorel_waiting_results\": 1, \"entries\": [{\"kind\": \"lunch\"}]}");
    Start();
    EXPECT_TRUE(writer->Flush(10000));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("запись 1 не прочитана"))) << messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(Waiting()));
    EXPECT_EQ(QDir(dir.Path()).entryList({QStringLiteral("Vistorel-waiting-*.json")}, QDir::Files).size(), 1);
}

}  // namespace
}  // namespace vistorel
