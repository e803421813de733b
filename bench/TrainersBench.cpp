// Costs of the trainers: one break figure in a 1920 x 1080 break screen
// beside the bare orbit of the same points (computed and summed, nothing
// drawn), the same figure with the repaint that shows it, the IPS test's
// field drawn on start and on a repaint, and one start of the reading test,
// also until it is shown, with a text of one 10 MB line.

#include "BenchSupport.h"

#include "trainers/BreakScreen.h"
#include "trainers/HopalongOrbit.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QApplication>
#include <QFile>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

using namespace vistorel;

namespace {

// The parameters the figures are drawn with: the first figure's, then a
// fixed set of random ones, the same for every benchmark.
std::vector<double> Parameters() {
    Random random;
    random.SetFixedSeed(99);
    std::vector<double> values{5.0};
    for (int i = 1; i < 64; ++i) values.push_back(random.NextDouble() * 100);
    return values;
}

void BareOrbit(benchmark::State& state) {
    const std::vector<double> parameters = Parameters();
    std::size_t n = 0;
    for (auto _ : state) {
        HopalongOrbit orbit(parameters[n++ % parameters.size()]);
        double sum = 0;
        for (int i = 0; i < kBreakFigurePoints; ++i) {
            sum += orbit.X() + orbit.Y();
            orbit.Next();
        }
        benchmark::DoNotOptimize(sum);
    }
}

void Figure(benchmark::State& state, Program* program, bool paint) {
    BreakScreen& screen = *program->breakScreen;
    const std::vector<double> parameters = Parameters();
    std::size_t n = 0;
    for (auto _ : state) {
        screen.BreakParameter = parameters[n % parameters.size()];
        screen.BreakColorBase = static_cast<TColor>(2000 * (n % 41));
        ++n;
        screen.DrawBreakFigure();
        if (paint) QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
}

void IpsStart(benchmark::State& state, Program* program) {
    for (auto _ : state) {
        program->ipsTest->StartTest();
        QCoreApplication::processEvents();
    }
}

void IpsRepaint(benchmark::State& state, Program* program) {
    program->ipsTest->StartTest();
    for (auto _ : state) {
        program->ipsTest->Repaint();
        QCoreApplication::processEvents();
    }
}

void ReadingStart(benchmark::State& state, Program* program, QString text) {
    ReadingSpeedTestWindow& window = *program->readingSpeedTest;
    program->SettingsRecord.TextPath.SetText(text);
    for (auto _ : state) {
        window.StartTest();
        state.PauseTiming();
        window.StopTest();
        state.ResumeTiming();
    }
    state.counters["chars"] = static_cast<double>(window.ReadChars);
}

// The same start until the window has laid out and painted what it shows:
// what the user waits for after pressing start.
void ReadingStartShown(benchmark::State& state, Program* program, QString text) {
    ReadingSpeedTestWindow& window = *program->readingSpeedTest;
    program->SettingsRecord.TextPath.SetText(text);
    for (auto _ : state) {
        window.StartTest();
        window.Widget()->repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.StopTest();
        state.ResumeTiming();
    }
    state.counters["chars"] = static_cast<double>(window.ReadChars);
}

// A text of one unbroken line of `bytes` letters (a base64 blob, say).
void WriteOneLineText(const QString& path, qint64 bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(bytes, 'a'));
}

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenPlatform();
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);

    bench::BenchProgram program;
    program->breakScreen->StartBreak();
    program->breakScreen->figureTimer.SetEnabled(false);
    program->breakScreen->Widget()->showNormal();
    program->breakScreen->SetOuterSize(1920, 1080);
    QCoreApplication::processEvents();
    program->ipsTest->Show();
    program->readingSpeedTest->Show();
    QCoreApplication::processEvents();
    bench::WriteLongPracticeText(program.File(QStringLiteral("long.txt")));
    WriteOneLineText(program.File(QStringLiteral("line.txt")), qint64{10} * 1024 * 1024);
    std::fprintf(stderr, "break screen %d x %d\n", program->breakScreen->Width(), program->breakScreen->Height());

    benchmark::RegisterBenchmark("Break/BareOrbit", BareOrbit)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Break/Figure1920x1080", Figure, &*program, false)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Break/FigureAndPaint1920x1080", Figure, &*program, true)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Ips/StartDrawsTheField", IpsStart, &*program)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Ips/Repaint", IpsRepaint, &*program)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Reading/StartSampleText", ReadingStart, &*program, QStringLiteral("sample.txt"))
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Reading/Start20000Lines", ReadingStart, &*program, QStringLiteral("long.txt"))
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Reading/StartShownSampleText", ReadingStartShown, &*program,
                                 QStringLiteral("sample.txt"))
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Reading/StartShown10MBOneLine", ReadingStartShown, &*program,
                                 QStringLiteral("line.txt"))
        ->Unit(benchmark::kMicrosecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
