#pragma once

#include "history/ReadingMeter.h"
#include "history/Results.h"
#include "platform/Label.h"
#include "platform/Timer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <functional>

namespace vistorel {

class Form;
class Program;

// What the program keeps of a running exercise: while it runs, the measured
// speed, the place in the text and the time left on the main window's panel;
// every 30 s of running time and at each pause, the session so far and the
// place; when it ends, the session (if it ran 10 s or more) and the place
// reached. The panel is brought up to date a few times a second by a timer of
// its own; what is saved goes to the results writer, whose thread writes it,
// so the steps keep their time.
class ExerciseProgress {
public:
    ExerciseProgress(Program& program, Form& mainWindow);

    // A new exercise has started with its text loaded.
    void Begin();
    // One look at the running exercise: the meter, the panel, and the save
    // when it is due.
    void Sample();
    // The exercise ends (quit, closed, started again, the program closed):
    // records the session and the place; nothing when none runs. A session
    // under kShortestStoredMs is not stored, and the panel says so.
    void Finish();
    bool Running() const { return running_; }

    // Where the panel text goes: beside the idle buttons, under "Exit".
    void Place(int panelX, int panelY);

    // Where the exercise of the current text stopped last; line 0 when none.
    ReadingPlace RememberedPlace() const;

    // Milliseconds on a steady clock; tests and the benchmark set their own.
    void SetClock(std::function<std::int64_t()> clock) { clock_ = std::move(clock); }

    ReadingMeter Meter;
    Timer sampleTimer;
    Label panelLabel;
    // Hides the panel's word that a short exercise was not stored.
    Timer noticeTimer;

    static constexpr int kSampleMs = 500;
    static constexpr std::int64_t kShortestStoredMs = 10000;
    static constexpr std::int64_t kSaveEveryMs = 30000;
    static constexpr int kNoticeMs = 6000;
    // Running time between two saves of a running exercise (the benchmark
    // saves more often); 0: never while it runs.
    std::int64_t SaveEveryMs = kSaveEveryMs;

private:
    // The session so far and the place into the results; false when the
    // session is too short to be a result (the place is saved all the same).
    bool Save(bool finished);

    Program& program;
    bool running_ = false;
    bool stepsRan_ = false;          // the steps ran at the last look
    std::int64_t savedAtMs_ = 0;     // running time at the last save
    std::int64_t startMs_ = 0;
    std::function<std::int64_t()> clock_;
    QElapsedTimer steady_;
    std::int64_t wordsBefore_ = 0;  // words the exercise window had shown before
    QDateTime startedAt_;
    QString path_;
    QString title_;
    int level_ = 0;
};

}  // namespace vistorel
