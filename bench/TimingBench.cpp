// The step timer's rhythm: the real exercise window runs on the offscreen
// platform at several step intervals; for each, the mean interval error and
// the lateness of every step against its due time (start + k x interval).
// With "results off" the exercise runs without its progress on the panel and
// without recording its sessions, to set the two runs side by side.
//
//   vistorel_bench_timing [steps per interval] [results on|off]

#include "BenchSupport.h"

#include "app/MainWindow.h"
#include "engine/ExerciseWindow.h"
#include "history/ResultsDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace vistorel;

namespace {

struct Result {
    int interval;
    int steps;
    double meanErrorPercent;
    double p50, p99, max;  // lateness in ms
};

double Percentile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

Result Measure(Program& program, int interval, int steps) {
    ExerciseWindow& exercise = *program.exerciseWindow;
    const std::function<void()> step = exercise.stepTimer.OnTimer;
    QElapsedTimer clock;
    std::vector<qint64> ticks;
    ticks.reserve(static_cast<std::size_t>(steps));
    QEventLoop loop;
    exercise.stepTimer.OnTimer = [&] {
        ticks.push_back(clock.nsecsElapsed());
        step();
        if (static_cast<int>(ticks.size()) == steps) {
            exercise.stepTimer.SetEnabled(false);
            loop.quit();
        }
    };
    exercise.stepTimer.SetEnabled(false);
    exercise.stepTimer.SetInterval(interval);
    clock.start();
    exercise.stepTimer.SetEnabled(true);
    loop.exec();
    exercise.stepTimer.OnTimer = step;

    const double period = interval * 1e6;
    std::vector<double> lateness;
    for (std::size_t k = 0; k < ticks.size(); ++k) {
        lateness.push_back((static_cast<double>(ticks[k]) - period * static_cast<double>(k + 1)) / 1e6);
    }
    if (qEnvironmentVariableIsSet("VISTOREL_TIMING_TRACE")) {
        for (double l : lateness) std::fprintf(stderr, "%.3f ", l);
        std::fprintf(stderr, "\n");
    }
    const double meanInterval = static_cast<double>(ticks.back()) / static_cast<double>(ticks.size());
    return {interval, steps, 100.0 * (meanInterval - period) / period, Percentile(lateness, 0.5),
            Percentile(lateness, 0.99), *std::max_element(lateness.begin(), lateness.end())};
}

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenPlatform();
    QApplication qt(argc, argv);
    const int minimum = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const bool recording = !(argc > 2 && std::string(argv[2]) == "off");

    bench::BenchProgram program;
    program->mainWindow->BeginExercise();
    program->exerciseWindow->StopTimers();  // the stage clock stays in mode 1
    ExerciseProgress& progress = program->mainWindow->progress;
    if (!recording) {
        progress.Finish();
        program->Results.reset();
    }
    std::printf("results %s\n", recording ? "on: the panel's progress every 500 ms, a session recorded after each interval"
                                          : "off: no progress on the panel, nothing recorded");

    std::printf("%-10s %6s %12s %10s %10s %10s\n", "interval", "steps", "mean err %", "p50 ms", "p99 ms", "max ms");
    for (int interval : {118, 200, 1000}) {
        const int steps = interval == 1000 ? minimum : minimum * 3 / 2;
        const Result r = Measure(*program, interval, steps);
        if (recording) {
            // The session ends and a new one begins, as at a restart.
            progress.Finish();
            progress.Begin();
        }
        std::printf("%-10d %6d %12.3f %10.3f %10.3f %10.3f\n", r.interval, r.steps, r.meanErrorPercent, r.p50, r.p99,
                    r.max);
        std::fflush(stdout);
    }
    return 0;
}
