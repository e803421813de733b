// Cost of one exercise step in each mode in a 1920 x 1080 exercise window,
// with and without the repaint that follows it, and of loading a long text.

#include "BenchSupport.h"

#include "app/MainWindow.h"
#include "engine/ExerciseWindow.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vistorel;

namespace {

void PrepareMode(Program& program, int mode) {
    ExerciseWindow& exercise = *program.exerciseWindow;
    exercise.StopTimers();
    program.Exercise.ExerciseMode = static_cast<std::uint16_t>(mode);
    program.Exercise.MarkStep = 1;
    program.Exercise.SweepX = 10;
}

void StepOnly(benchmark::State& state, Program* program, int mode) {
    PrepareMode(*program, mode);
    for (auto _ : state) program->exerciseWindow->OnStepTick();
    QCoreApplication::processEvents();
}

void StepAndPaint(benchmark::State& state, Program* program, int mode) {
    PrepareMode(*program, mode);
    for (auto _ : state) {
        program->exerciseWindow->OnStepTick();
        QCoreApplication::processEvents();
    }
}

void LoadLongText(benchmark::State& state, const QString& path) {
    TextLines buffer;
    for (auto _ : state) {
        LoadTextLines(buffer, path);
        benchmark::DoNotOptimize(buffer.LineCount);
    }
    state.counters["lines"] = buffer.LineCount;
}

// Words of short lines read after one line of 65534 words: a split costs
// what its own line holds, not what the longest line before it held.
void WordsAfterALongLine(benchmark::State& state) {
    TextLines text;
    text.Lines = {QStringLiteral("w ").repeated(70000)};
    for (int i = 0; i < 19999; ++i) text.Lines.append(QStringLiteral("one two three"));
    text.LineCount = 20000;
    WordStream words;
    words.Reset();
    while (text.CurrentLine != 2) words.NextWord(text);  // through the long line
    for (auto _ : state) benchmark::DoNotOptimize(words.NextWord(text));
}

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenPlatform();
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);

    bench::BenchProgram program;
    program->exerciseWindow->SetOuterSize(1920, 1080);
    program->mainWindow->BeginExercise();
    for (int mode = 1; mode <= 5; ++mode) {
        benchmark::RegisterBenchmark(QStringLiteral("Step/mode%1").arg(mode).toStdString().c_str(), StepOnly,
                                     &*program, mode)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(QStringLiteral("StepAndPaint/mode%1").arg(mode).toStdString().c_str(),
                                     StepAndPaint, &*program, mode)
            ->Unit(benchmark::kMicrosecond);
    }
    QTemporaryDir dir;
    const QString longText = bench::WriteLongPracticeText(dir.filePath(QStringLiteral("long.txt")));
    benchmark::RegisterBenchmark("LoadTextLines/20000", LoadLongText, longText)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("NextWord/afterLongLine", WordsAfterALongLine)->Unit(benchmark::kMicrosecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
