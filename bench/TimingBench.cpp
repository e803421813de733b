// The step timer's rhythm: the real exercise window runs on the offscreen
// platform at several step intervals; for each, the mean interval error and
// the lateness of every step against its due time (start + k x interval).
// First on an idle machine, as the program runs an exercise (its thread's
// priority raised where the system allows); then with a busy loop on every
// other core, side by side without and with the raised priority. With
// "results off" the exercise runs without its progress on the panel and
// without recording its sessions, to set the two runs side by side. With
// "saving" the exercise is saved while it runs, as every 30 s of running
// time, and every second (thirty times as often, so that the saves' cost
// shows), beside the same run with no saving, at the two shortest intervals.
//
//   vistorel_bench_timing [steps per interval] [results on|off|saving]

#include "BenchSupport.h"

#include "app/MainWindow.h"
#include "history/ResultsDatabase.h"
#include "history/ResultsWriter.h"
#include "engine/ExerciseWindow.h"
#include "platform/ThreadPriority.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>
#include <csignal>
#include <functional>
#include <cstdio>
#include <string>
#include <ctime>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
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

// Busy loops in processes of their own, one on every core but one, at the
// priority the benchmark started with; stopped when this goes.
class BusyCores {
public:
    explicit BusyCores(int nice) {
        const long cores = sysconf(_SC_NPROCESSORS_ONLN);
        for (long i = 1; i < cores; ++i) {
            const pid_t child = fork();
            if (child == 0) {
                setpriority(PRIO_PROCESS, 0, nice);
                volatile unsigned long spin = 0;
                for (;;) spin = spin + 1;
            }
            if (child > 0) children_.push_back(child);
        }
    }
    ~BusyCores() {
        for (const pid_t child : children_) kill(child, SIGKILL);
        for (const pid_t child : children_) waitpid(child, nullptr, 0);
    }
    BusyCores(const BusyCores&) = delete;
    BusyCores& operator=(const BusyCores&) = delete;
    int Count() const { return static_cast<int>(children_.size()); }

private:
    std::vector<pid_t> children_;
};

void PrintHeader() {
    std::printf("%-7s %-8s %-10s %6s %12s %10s %10s %10s\n", "load", "priority", "interval", "steps", "mean err %",
                "p50 ms", "p99 ms", "max ms");
}

void Print(const char* load, const char* priority, const Result& r) {
    std::printf("%-7s %-8s %-10d %6d %12.3f %10.3f %10.3f %10.3f\n", load, priority, r.interval, r.steps,
                r.meanErrorPercent, r.p50, r.p99, r.max);
    std::fflush(stdout);
}

const char* PriorityName(const ThreadPriority& priority) { return priority.Raised() ? "raised" : "normal"; }

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// The same steps with the running exercise saved never, as it is (every 30 s
// of running time) and every second; how many saves were stored meanwhile.
int MeasureSaving(Program& program, ThreadPriority& priority, int startNice, const std::function<int(int)>& steps) {
    ExerciseProgress& progress = program.mainWindow->progress;
    int stored = 0;
    program.Results->SetRecordedListener([&stored](ResultKind) { ++stored; });
    const auto run = [&](const char* load) {
        for (const int interval : {118, 200}) {
            for (const std::int64_t every : {std::int64_t{0}, ExerciseProgress::kSaveEveryMs, std::int64_t{1000}}) {
                progress.SaveEveryMs = every;
                stored = 0;
                const Result r = Measure(program, interval, steps(interval));
                program.Writer->Flush(5000);
                const std::string saving = every == 0 ? "off" : std::to_string(every / 1000) + " s";
                std::printf("%-7s %-8s %-10d %6d %6d %12.3f %10.3f %10.3f %10.3f\n", load, saving.c_str(), r.interval,
                            r.steps, stored, r.meanErrorPercent, r.p50, r.p99, r.max);
                std::fflush(stdout);
            }
        }
    };
    const auto header = [] {
        std::printf("%-7s %-8s %-10s %6s %6s %12s %10s %10s %10s\n", "load", "saving", "interval", "steps", "saves",
                    "mean err %", "p50 ms", "p99 ms", "max ms");
    };
    std::printf("saving while running: the session so far and the place, written by the results thread\n");
    header();
    run("idle");
    // What a save costs the thread of the steps, in that thread's own CPU
    // time (which other programs on the machine do not change): a look at
    // the running exercise (which has shown words by now) without a save,
    // and with one.
    ExerciseWindow& exercise = *program.exerciseWindow;
    stored = 0;
    exercise.stepTimer.SetEnabled(true);  // running, though no step is let run meanwhile
    for (const std::int64_t every : {std::int64_t{0}, std::int64_t{1}}) {
        progress.SaveEveryMs = every;
        constexpr int kLooks = 300;
        double total = 0;
        for (int look = 0; look < kLooks; ++look) {
            usleep(2000);
            const double before = ThreadCpuMicroseconds();
            progress.Sample();
            total += ThreadCpuMicroseconds() - before;
        }
        std::printf("one look at the running exercise, %s: %.1f us of the steps' thread's CPU time\n",
                    every == 0 ? "without a save" : "with a save", total / kLooks);
    }
    exercise.stepTimer.SetEnabled(false);
    program.Writer->Flush(10000);
    std::printf("saves stored meanwhile: %d\n", stored);
    priority.Restore();
    const BusyCores busy(startNice);
    priority.Raise();
    std::printf("\n%d busy loop(s) beside the step timer\n", busy.Count());
    header();
    run("loaded");
    priority.Restore();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenPlatform();
    QApplication qt(argc, argv);
    const int minimum = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const std::string mode = argc > 2 ? argv[2] : "on";
    const bool recording = mode != "off";

    const int startNice = ThreadNice(gettid());
    bench::BenchProgram program;
    program->mainWindow->BeginExercise();
    program->exerciseWindow->StopTimers();  // the stage clock stays in mode 1
    ExerciseProgress& progress = program->mainWindow->progress;
    if (!recording) {
        progress.Finish();
        program->Writer.reset();
        program->Results.reset();
    }
    ThreadPriority& priority = program->ExercisePriority;
    const auto steps = [minimum](int interval) { return interval == 1000 ? minimum : minimum * 3 / 2; };
    if (mode == "saving") return MeasureSaving(*program, priority, startNice, steps);
    std::printf("results %s\n", recording ? "on: the panel's progress every 500 ms, the session saved every 30 s of "
                                            "running time and at each pause, and recorded at the end"
                                          : "off: no progress on the panel, nothing recorded");
    const std::vector<int> intervals = {118, 200, 1000};

    PrintHeader();
    for (int interval : intervals) Print("idle", PriorityName(priority), Measure(*program, interval, steps(interval)));

    // The busy loops start at the benchmark's own priority, before any raise.
    priority.Restore();
    const BusyCores busy(startNice);
    std::printf("\n%d busy loop(s) beside the step timer\n", busy.Count());
    PrintHeader();
    for (int interval : intervals) {
        priority.Restore();
        Print("loaded", PriorityName(priority), Measure(*program, interval, steps(interval)));
        priority.Raise();
        Print("loaded", PriorityName(priority), Measure(*program, interval, steps(interval)));
    }
    priority.Restore();
    return 0;
}
