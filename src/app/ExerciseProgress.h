#pragma once

#include "history/ReadingMeter.h"
#include "history/Results.h"
#include "platform/Label.h"
#include "platform/Timer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>

namespace vistorel {

class Form;
class Program;

// What the program keeps of a running exercise: while it runs, the measured
// speed, the place in the text and the time left on the main window's panel;
// when it ends, the session and the place reached go into the results. The
// panel is brought up to date a few times a second by a timer of its own,
// and nothing is written while the exercise runs, so the steps keep their time.
class ExerciseProgress {
public:
    ExerciseProgress(Program& program, Form& mainWindow);

    // A new exercise has started with its text loaded.
    void Begin();
    // One look at the running exercise: the meter and the panel.
    void Sample();
    // The exercise ends (quit, closed, started again, the program closed):
    // records the session and the place; nothing when none runs.
    void Finish();
    bool Running() const { return running_; }

    // Where the panel text goes: one line along the bottom of the panel.
    void Place(int panelX, int panelY);
    // The speed, the place and the time left, after «пауза» while the steps wait.
    QString PanelText() const;

    // Where the exercise of the current text stopped last; line 0 when none.
    ReadingPlace RememberedPlace() const;

    ReadingMeter Meter;
    Timer sampleTimer;
    Label panelLabel;

    static constexpr int kSampleMs = 500;

private:
    Program& program;
    bool running_ = false;
    QElapsedTimer clock_;
    std::int64_t wordsBefore_ = 0;  // words the exercise window had shown before
    QDateTime startedAt_;
    QString path_;
    QString title_;
    int level_ = 0;
};

}  // namespace vistorel
