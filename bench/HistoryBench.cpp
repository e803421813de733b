// Costs of the results: recording one test result and one exercise session
// with its place (each a transaction on disk), opening a results file of
// 10,000 results of each kind, and opening the statistics window over it
// (reading the shown kind and the training days, filling the filters, the
// chart and the table, and painting), with each result or one point a day on
// the chart, and showing a result recorded while it is open.
//
//   vistorel_bench_history [benchmark options]

#include "BenchSupport.h"

#include "history/ResultsDatabase.h"
#include "history/StatisticsWindow.h"

#include <QComboBox>
#include <QApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace vistorel;

namespace {

constexpr int kResultsOfEachKind = 10000;

// 10,000 results of each kind, a few a day, written in one transaction.
void FillResults(const QString& path) {
    ResultsDatabase::BuildSchema(path, ResultsDatabase::kSchemaVersion, nullptr);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.exec(QStringLiteral("INSERT INTO texts (id, path, title) VALUES (1, 'sample.txt', 'Образец')"));
        const QDateTime start(QDate(2024, 1, 1), QTime(8, 0), Qt::UTC);
        for (int i = 0; i < kResultsOfEachKind; ++i) {
            const QString at = start.addSecs(i * 7200LL).toString(Qt::ISODateWithMs);
            const int wpm = 200 + (i * 37) % 300;
            q.exec(QStringLiteral("INSERT INTO reading_tests (taken_at, text_id, characters, seconds, words_per_minute,"
                                  " bps) VALUES ('%1', 1, 2000, %2, %3, %4)")
                       .arg(at)
                       .arg(12000.0 / wpm)
                       .arg(wpm)
                       .arg(wpm * 11 / 2));
            q.exec(QStringLiteral("INSERT INTO ips_tests (taken_at, seconds, ips, mi, ipi, hits, misses)"
                                  " VALUES ('%1', 60, %2, 10, 2, 20, 3)")
                       .arg(at)
                       .arg(4 + (i % 50) / 10.0));
            q.exec(QStringLiteral("INSERT INTO memory_tests (taken_at, score, isr) VALUES ('%1', %2, %3)")
                       .arg(at)
                       .arg((i % 9) * 8)
                       .arg((i % 9) * 8 / 7.0));
            q.exec(QStringLiteral("INSERT INTO exercise_sessions (started_at, ended_at, text_id, level, last_stage,"
                                  " active_seconds, words_shown, lines_advanced, words_per_minute)"
                                  " VALUES ('%1', '%1', 1, 1, 3, 600, 2000, 80, %2)")
                       .arg(at)
                       .arg(wpm));
        }
        db.commit();
        q.exec(QStringLiteral("SELECT count(*) FROM reading_tests"));
        q.next();
        if (q.value(0).toInt() != kResultsOfEachKind) std::fprintf(stderr, "the results were not all written\n");
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

void RecordReadingTest(benchmark::State& state) {
    QTemporaryDir dir;
    ResultsDatabase db(dir.filePath(QStringLiteral("Vistorel.sqlite")), {});
    ReadingTestResult result{QDateTime::currentDateTime(), QStringLiteral("Образец"), QStringLiteral("sample.txt"),
                             2000, 38.5, 312, 1716};
    for (auto _ : state) db.Record(result);
}
BENCHMARK(RecordReadingTest)->Unit(benchmark::kMillisecond);

void RecordSessionAndPlace(benchmark::State& state) {
    QTemporaryDir dir;
    ResultsDatabase db(dir.filePath(QStringLiteral("Vistorel.sqlite")), {});
    ExerciseSessionResult session{QDateTime::currentDateTime(), QDateTime::currentDateTime(), QStringLiteral("Образец"),
                                  QStringLiteral("sample.txt"), 1, 3, 600, 2000, 80, 200};
    for (auto _ : state) {
        db.Record(session);
        db.SavePlace(session.Path, session.Title, {120, 3, {}});
    }
}
BENCHMARK(RecordSessionAndPlace)->Unit(benchmark::kMillisecond);

void OpenResultsFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vistorel.sqlite"));
    FillResults(path);
    for (auto _ : state) {
        ResultsDatabase db(path, {});
        benchmark::DoNotOptimize(db.Available());
    }
}
BENCHMARK(OpenResultsFile)->Unit(benchmark::kMillisecond);

// The rows of one kind, as the statistics read them.
void ReadResults(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vistorel.sqlite"));
    FillResults(path);
    ResultsDatabase db(path, {});
    const auto kind = static_cast<ResultKind>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(db.Table(kind).Rows.size());
    state.SetLabel(KindName(kind).toStdString());
}
BENCHMARK(ReadResults)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The window shown over 10,000 results of the kind it opens with, painted:
// each result on the chart (view 0) or each day's best with its average (1).
void OpenStatistics(benchmark::State& state) {
    bench::BenchProgram program;
    FillResults(program.File(QStringLiteral("Vistorel.sqlite")));
    program->Results = std::make_unique<ResultsDatabase>(program.File(QStringLiteral("Vistorel.sqlite")),
                                                         ResultsDatabase::Reporter{});
    StatisticsWindow& window = *program->statisticsWindow;
    const auto kind = static_cast<ResultKind>(state.range(0));
    window.viewBox->setCurrentIndex(static_cast<int>(state.range(1)));
    window.ShowKind(kind);  // the kind the window opens with
    for (auto _ : state) {
        window.Hide();
        window.Show();  // reads the results afresh
        window.Widget()->repaint();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.Shown().Rows.size());
    }
    state.SetLabel(KindName(kind).toStdString() + (state.range(1) ? ", by the day" : ", each result"));
}
BENCHMARK(OpenStatistics)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);

// A result stored while the window is open over 10,000 of its kind: the
// store, and the window reading and showing everything again.
void ShowRecordedResult(benchmark::State& state) {
    bench::BenchProgram program;
    FillResults(program.File(QStringLiteral("Vistorel.sqlite")));
    program->Results = std::make_unique<ResultsDatabase>(program.File(QStringLiteral("Vistorel.sqlite")),
                                                         ResultsDatabase::Reporter{});
    StatisticsWindow& window = *program->statisticsWindow;
    window.ShowKind(ResultKind::Exercise);
    window.Show();
    ExerciseSessionResult session{QDateTime::currentDateTime(), QDateTime::currentDateTime(), QStringLiteral("Образец"),
                                  QStringLiteral("sample.txt"), 1, 3, 600, 2000, 80, 250};
    for (auto _ : state) {
        session.StartedAt = session.StartedAt.addSecs(60);
        program->Results->Record(session);
        QApplication::processEvents();  // the window reads it
        window.Widget()->repaint();
    }
    benchmark::DoNotOptimize(window.Shown().Rows.size());
}
BENCHMARK(ShowRecordedResult)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenPlatform();
    // Showing the window again and again: the offscreen platform says each time that it cannot raise it.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
        if (!message.contains(QStringLiteral("raise()"))) std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    });
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
