#include "app/ExerciseProgress.h"

#include "app/Program.h"
#include "engine/ExerciseWindow.h"
#include "history/PlaceFingerprint.h"
#include "history/ResultsDatabase.h"
#include "history/ResultsWriter.h"

#include <QLabel>
#include <algorithm>

namespace vistorel {
namespace {

const Font kPanelFont{QStringLiteral("MS Sans Serif"), 7, false, false, false, false, clAccent};

}  // namespace

ExerciseProgress::ExerciseProgress(Program& program, Form& mainWindow)
    : sampleTimer(program.App, kSampleMs),
      panelLabel(mainWindow, 0, 0, QString(), kPanelFont),
      noticeTimer(program.App, kNoticeMs),
      program(program) {
    sampleTimer.SetEnabled(false);
    sampleTimer.OnTimer = [this] { Sample(); };
    noticeTimer.SetEnabled(false);
    noticeTimer.OnTimer = [this] {
        noticeTimer.SetEnabled(false);
        if (!running_) panelLabel.Widget()->hide();
    };
    panelLabel.SetBackground(clBlack);
    panelLabel.Widget()->hide();
    steady_.start();
    clock_ = [this] { return steady_.elapsed(); };
}

void ExerciseProgress::Place(int panelX, int panelY) {
    panelLabel.SetLeft(panelX + 176);
    panelLabel.SetTop(panelY + 47);
}

void ExerciseProgress::Begin() {
    Finish();
    const ExerciseWindow& exercise = *program.exerciseWindow;
    path_ = program.SettingsRecord.TextPath.Text();
    title_ = program.TextTitle();
    level_ = program.SettingsRecord.Level;
    // The start names the session (a later save of it replaces the earlier):
    // two sessions never share one, however quickly one follows the other.
    const QDateTime now = QDateTime::currentDateTime();
    startedAt_ = startedAt_.isValid() && now <= startedAt_ ? startedAt_.addMSecs(1) : now;
    startMs_ = clock_();
    savedAtMs_ = 0;
    stepsRan_ = true;
    wordsBefore_ = exercise.ShownWords;
    Meter.Start(0, program.TextLineBuffer.Lines, program.TextLineBuffer.CurrentLine);
    running_ = true;
    noticeTimer.SetEnabled(false);
    panelLabel.SetCaption(Meter.PanelLines().join(u'\n'));
    panelLabel.Widget()->show();
    sampleTimer.SetEnabled(true);
}

void ExerciseProgress::Sample() {
    if (!running_) return;
    const ExerciseWindow& exercise = *program.exerciseWindow;
    const bool stepsRun = exercise.stepTimer.Enabled();
    Meter.Sample(clock_() - startMs_, stepsRun, exercise.ShownWords - wordsBefore_, program.TextLineBuffer.CurrentLine);
    // Redrawn only when it reads differently: each redraw is time the steps may wait for.
    const QString text = Meter.PanelLines().join(u'\n');
    if (text != panelLabel.Caption()) panelLabel.SetCaption(text);
    // Saved before the next look could pass the period, so that no more than
    // SaveEveryMs of running time is ever unsaved; and at each pause.
    const bool paused = stepsRan_ && !stepsRun;
    stepsRan_ = stepsRun;
    const std::int64_t active = Meter.ActiveMs();
    const bool due = active + kSampleMs > savedAtMs_ + SaveEveryMs;
    if (SaveEveryMs > 0 && (due || paused) && active > savedAtMs_) {
        Save(false);
        savedAtMs_ = active;
    }
}

void ExerciseProgress::Finish() {
    sampleTimer.SetEnabled(false);
    if (!running_) return;
    Sample();
    running_ = false;
    if (!Save(true) && Meter.WordsShown() > 0 && program.Writer) {
        panelLabel.SetCaption(QStringLiteral("Упражнение короче %1 с:\nрезультат не сохранён").arg(kShortestStoredMs / 1000));
        noticeTimer.SetEnabled(true);
        return;
    }
    panelLabel.Widget()->hide();
}

bool ExerciseProgress::Save(bool finished) {
    if (Meter.WordsShown() == 0 || !program.Writer) return false;  // nothing was read
    // The word modes stop inside a line; the line mode stops before the line it shows next.
    const bool lineMode = program.Exercise.ExerciseMode == 4 && !program.SettingsRecord.SmartDivider;
    const int line = program.TextLineBuffer.CurrentLine;
    if (line >= 1) {
        program.Writer->SavePlace(path_, title_,
                                  {line, lineMode ? 0 : program.Words.WordIndex,
                                   PlaceFingerprint(program.TextLineBuffer.Lines, line)});
    }
    if (Meter.ActiveMs() < kShortestStoredMs) return false;
    ExerciseSessionResult session;
    session.StartedAt = startedAt_;
    session.EndedAt = QDateTime::currentDateTime();
    session.Title = title_;
    session.Path = path_;
    session.Level = level_;
    session.LastStage = std::clamp<int>(program.Exercise.Stage, 1, 5);
    session.ActiveSeconds = static_cast<double>(Meter.ActiveMs()) / 1000.0;
    session.WordsShown = Meter.WordsShown();
    session.LinesAdvanced = Meter.LinesAdvanced();
    session.WordsPerMinute = Meter.AverageWordsPerMinute();
    if (finished) {
        program.Writer->Record(session);
    } else {
        program.Writer->SaveRunning(session);
    }
    return true;
}

ReadingPlace ExerciseProgress::RememberedPlace() const {
    const QString path = program.SettingsRecord.TextPath.Text();
    if (program.Writer) {
        if (std::optional<ReadingPlace> waiting = program.Writer->WaitingPlace(path)) return *waiting;
    }
    if (!program.Results) return {};
    return program.Results->Place(path).value_or(ReadingPlace{});
}

}  // namespace vistorel
