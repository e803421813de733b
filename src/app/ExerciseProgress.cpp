#include "app/ExerciseProgress.h"

#include "app/Program.h"
#include "engine/ExerciseWindow.h"
#include "history/ResultsDatabase.h"

#include <QLabel>
#include <QRect>
#include <algorithm>

namespace vistorel {
namespace {

// 9 points, 12 pixels.
const Font kPanelFont{QStringLiteral("MS Sans Serif"), 12, false, false, false, false, clAccent};

// The strip over the panel's name plate, relative to the panel origin: the
// black band of the buttons goes on down into it, just tall enough for a line
// of the font, descenders included.
constexpr QRect kStrip(6, 84, 548, 14);

}  // namespace

ExerciseProgress::ExerciseProgress(Program& program, Form& mainWindow)
    : sampleTimer(program.App, kSampleMs), panelLabel(mainWindow, 0, 0, QString(), kPanelFont), program(program) {
    sampleTimer.SetEnabled(false);
    sampleTimer.OnTimer = [this] { Sample(); };
    panelLabel.SetBackground(clBlack);
    QLabel* strip = panelLabel.Widget();
    strip->setFixedSize(kStrip.size());
    strip->setAlignment(Qt::AlignCenter);
    strip->hide();
}

void ExerciseProgress::Place(int panelX, int panelY) {
    panelLabel.SetLeft(panelX + kStrip.left());
    panelLabel.SetTop(panelY + kStrip.top());
}

QString ExerciseProgress::PanelText() const {
    QStringList parts = Meter.PanelLines();
    const ExerciseWindow& exercise = *program.exerciseWindow;
    if (program.ExerciseLoaded && !exercise.stepTimer.Enabled()) parts.prepend(QStringLiteral("пауза"));
    return parts.join(QStringLiteral(" · "));
}

void ExerciseProgress::Begin() {
    Finish();
    const ExerciseWindow& exercise = *program.exerciseWindow;
    path_ = program.SettingsRecord.TextPath.Text();
    title_ = program.TextTitle();
    level_ = program.SettingsRecord.Level;
    startedAt_ = QDateTime::currentDateTime();
    clock_.start();
    wordsBefore_ = exercise.ShownWords;
    Meter.Start(0, program.TextLineBuffer.Lines, program.TextLineBuffer.CurrentLine);
    running_ = true;
    panelLabel.SetCaption(PanelText());
    panelLabel.Widget()->show();
    sampleTimer.SetEnabled(true);
}

void ExerciseProgress::Sample() {
    if (!running_) return;
    const ExerciseWindow& exercise = *program.exerciseWindow;
    Meter.Sample(clock_.elapsed(), exercise.stepTimer.Enabled(), exercise.ShownWords - wordsBefore_,
                 program.TextLineBuffer.CurrentLine);
    // Redrawn only when it reads differently: each redraw is time the steps may wait for.
    const QString text = PanelText();
    if (text != panelLabel.Caption()) panelLabel.SetCaption(text);
}

void ExerciseProgress::Finish() {
    sampleTimer.SetEnabled(false);
    panelLabel.Widget()->hide();
    if (!running_) return;
    Sample();
    running_ = false;
    if (Meter.WordsShown() == 0 || !program.Results) return;  // nothing was read
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
    program.Results->Record(session);
    // The word modes stop inside a line; the line mode stops before the line it shows next.
    const bool lineMode = program.Exercise.ExerciseMode == 4 && !program.SettingsRecord.SmartDivider;
    const int line = program.TextLineBuffer.CurrentLine;
    if (line >= 1) program.Results->SavePlace(path_, title_, {line, lineMode ? 0 : program.Words.WordIndex, {}});
}

ReadingPlace ExerciseProgress::RememberedPlace() const {
    if (!program.Results) return {};
    return program.Results->Place(program.SettingsRecord.TextPath.Text()).value_or(ReadingPlace{});
}

}  // namespace vistorel
