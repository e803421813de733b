// The results the program keeps of the user's training: an exercise ended
// in any way leaves its session and its place (a session under 10 s of
// running time only its place, and the panel says so), a running exercise is
// saved every 30 s of running time and at each pause, «Продолжить» starts at
// that place even in a text that changed (and «Старт» at line 1), the panel
// shows the place while the exercise runs, each finished test is recorded
// once, and a results file that cannot be used is reported once at start
// while the training goes on.

#include "app/ExerciseProgress.h"
#include "app/MainMenu.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "engine/ExerciseWindow.h"
#include "history/HistoryTestSupport.h"
#include "history/ResultsDatabase.h"
#include "history/ResultsWriter.h"
#include "support/TestSupport.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/MemoryTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <chrono>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

// Ten lines of three numbered words: "L1W1 L1W2 L1W3" and so on.
QByteArray NumberedText() {
    QByteArray text;
    for (int line = 1; line <= 10; ++line) {
        for (int word = 1; word <= 3; ++word) {
            text += "L" + QByteArray::number(line) + "W" + QByteArray::number(word) + (word < 3 ? " " : "\n");
        }
    }
    return text;
}

class Trainer {
public:
    Trainer()
        : p([](test::StartDirectory& dir) { dir.Write(QStringLiteral("text.txt"), NumberedText()); }) {
        p->SettingsRecord.TextPath.SetText(QStringLiteral("text.txt"));
        p->SettingsRecord.FontSize = 12;
        p->mainWindow->ShowMaximized();
        p->mainWindow->progress.SetClock([this] { return nowMs; });
    }
    void Step(int n) {
        for (int i = 0; i < n; ++i) p->exerciseWindow->OnStepTick();
    }
    // Time passes: long enough for an exercise to be a result.
    void Pass(std::int64_t ms = 11000) { nowMs += ms; }
    // Quit, and its results written.
    void End() {
        p->mainWindow->EndExercise();
        Flush();
    }
    void Flush() { ASSERT_TRUE(p->Writer->Flush(10000)); }
    QString Shown() const { return p->exerciseWindow->wordLabel.Caption(); }
    ResultTable Sessions() const { return p->Results->Table(ResultKind::Exercise); }

    test::ProgramUnderTest p;
    std::int64_t nowMs = 0;
};

TEST(ExerciseHistory, AnExerciseEndedByQuitStartAgainOrExitLeavesItsSessionAndPlace) {
    Trainer t;
    MainWindow& main = *t.p->mainWindow;
    main.BeginExercise();
    t.Step(5);  // words 1..3 of line 1, 1..2 of line 2
    EXPECT_EQ(t.Shown(), QStringLiteral("L2W2 "));
    t.Pass();
    t.End();
    ResultTable sessions = t.Sessions();
    ASSERT_EQ(sessions.Rows.size(), 1u);
    EXPECT_EQ(sessions.Rows[0].Cells.value(3), QStringLiteral("5"));  // words shown
    EXPECT_EQ(sessions.Rows[0].Cells.value(4), QStringLiteral("2"));  // lines entered
    EXPECT_EQ(sessions.Rows[0].Cells.value(8), QStringLiteral("text"));
    ReadingPlace place = t.p->Results->Place(QStringLiteral("text.txt")).value_or(ReadingPlace{});
    EXPECT_EQ(place.Line, 2);
    EXPECT_EQ(place.Word, 2);

    // Quit twice records once; a start without a step records nothing.
    t.End();
    main.BeginExercise();
    t.Pass();
    main.BeginExercise();
    t.Flush();
    EXPECT_EQ(t.Sessions().Rows.size(), 1u);
    t.Step(7);
    t.Pass();
    main.BeginExercise();  // started again
    t.Flush();
    EXPECT_EQ(t.Sessions().Rows.size(), 2u);
    EXPECT_EQ(t.Sessions().Rows[0].Cells.value(3), QStringLiteral("7"));
    t.Step(4);
    t.Pass();
    main.ExitProgram();  // waits for its results
    EXPECT_EQ(t.Sessions().Rows.size(), 3u);
    place = t.p->Results->Place(QStringLiteral("text.txt")).value_or(ReadingPlace{});
    EXPECT_EQ(place.Line, 2);
    EXPECT_EQ(place.Word, 1);
}

TEST(ExerciseHistory, ContinueStartsAtTheRememberedLineAndWordAndStartAtLineOne) {
    Trainer t;
    QAction* resume = t.p->mainWindow->menu.resumeAction;
    // Nothing remembered yet: line 1.
    resume->trigger();
    t.Step(1);
    EXPECT_EQ(t.Shown(), QStringLiteral("L1W1 "));
    t.End();

    ASSERT_TRUE(t.p->Results->SavePlace(QStringLiteral("text.txt"), QString(), {7, 2, {}}));
    resume->trigger();
    EXPECT_EQ(t.p->Exercise.Stage, 1);
    EXPECT_TRUE(t.p->exerciseWindow->stageTimer.Enabled());
    t.Step(2);
    EXPECT_EQ(t.Shown(), QStringLiteral("L8W1 "));  // after L7W3
    t.p->mainWindow->menu.startAction->trigger();
    t.Step(1);
    EXPECT_EQ(t.Shown(), QStringLiteral("L1W1 "));

    // A place past the end of a text that has become shorter starts at line 1, and says so.
    t.End();
    ASSERT_TRUE(t.p->Results->SavePlace(QStringLiteral("text.txt"), QString(), {11, 1, {}}));
    EXPECT_EQ(t.p.Test.Errors.Messages, QStringList());
    resume->trigger();
    t.Step(1);
    EXPECT_EQ(t.Shown(), QStringLiteral("L1W1 "));
    ASSERT_EQ(t.p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(t.p.Test.Errors.Messages[0].contains(QStringLiteral("строка 11"))) << t.p.Test.Errors.Messages[0].toStdString();
}

// The place is found again by what its line and the lines around it say.
TEST(ExerciseHistory, ContinueFindsThePlaceInATextThatChangedOrSaysThatItStartsAgain) {
    Trainer t;
    t.p->mainWindow->BeginExercise();
    t.Step(5);
    ASSERT_EQ(t.Shown(), QStringLiteral("L2W2 "));
    t.End();  // under 10 s: no session, but the place
    QByteArray added;
    for (int line = 1; line <= 20; ++line) added += "New" + QByteArray::number(line) + " words here\n";
    t.p.Dir.Write(QStringLiteral("text.txt"), added + NumberedText());
    t.p->mainWindow->menu.resumeAction->trigger();
    t.Step(1);
    EXPECT_EQ(t.Shown(), QStringLiteral("L2W3 "));
    EXPECT_EQ(t.p.Test.Errors.Messages, QStringList{QStringLiteral("Текст изменился: продолжение с ближайшего места")});

    // Nothing of the text left: line 1 of what is there now.
    t.End();
    t.p.Dir.Write(QStringLiteral("text.txt"), "Other words\nentirely\n");
    t.p->mainWindow->menu.resumeAction->trigger();
    t.Step(1);
    EXPECT_EQ(t.Shown(), QStringLiteral("Other "));
    ASSERT_EQ(t.p.Test.Errors.Messages.size(), 2);
    EXPECT_TRUE(t.p.Test.Errors.Messages[1].contains(QStringLiteral("с начала"))) << t.p.Test.Errors.Messages[1].toStdString();
}

// A session is a result from 10 s of running time on; a shorter one keeps
// only its place, and the panel says so until it has been read.
TEST(ExerciseHistory, AnExerciseUnderTenSecondsIsNotStoredAndThePanelSaysSo) {
    Trainer t;
    ExerciseProgress& progress = t.p->mainWindow->progress;
    t.p->mainWindow->BeginExercise();
    t.Step(4);
    t.Pass(9999);
    t.End();
    EXPECT_EQ(t.Sessions().Rows.size(), 0u);
    EXPECT_EQ(t.p->Results->Place(QStringLiteral("text.txt")).value_or(ReadingPlace{}).Line, 2);
    EXPECT_TRUE(progress.panelLabel.Widget()->isVisible());
    EXPECT_EQ(progress.panelLabel.Caption(), QStringLiteral("Упражнение короче 10 с:\nрезультат не сохранён"));
    ASSERT_TRUE(progress.noticeTimer.Enabled());
    progress.noticeTimer.Tick();
    EXPECT_FALSE(progress.panelLabel.Widget()->isVisible());
    EXPECT_FALSE(progress.noticeTimer.Enabled());

    t.p->mainWindow->BeginExercise();
    t.Step(4);
    t.Pass(10000);
    t.End();
    EXPECT_EQ(t.Sessions().Rows.size(), 1u);
    EXPECT_FALSE(progress.panelLabel.Widget()->isVisible());
}

// What a kill would leave: the session so far and the place, saved as the
// running time reaches each 30 s (by the look before it passes) and at a pause.
TEST(ExerciseHistory, ARunningExerciseIsSavedEveryThirtySecondsOfRunningTimeAndAtAPause) {
    Trainer t;
    ExerciseProgress& progress = t.p->mainWindow->progress;
    const auto saved = [&]() -> QStringList {
        t.Flush();
        const ResultTable sessions = t.Sessions();
        return sessions.Rows.empty() ? QStringList() : sessions.Rows[0].Cells.mid(2, 2);  // minutes, words
    };
    t.p->mainWindow->BeginExercise();
    t.Step(3);
    t.Pass(29400);
    progress.Sample();
    EXPECT_EQ(saved(), QStringList());
    t.Pass(200);  // the next look would be past 30 s
    progress.Sample();
    EXPECT_EQ(saved(), (QStringList{"0.5", "3"}));
    EXPECT_EQ(t.p->Results->Place(QStringLiteral("text.txt")).value_or(ReadingPlace{}).Word, 3);
    t.Step(2);
    t.Pass(12400);
    progress.Sample();  // 42 s: nothing due
    EXPECT_EQ(saved(), (QStringList{"0.5", "3"}));
    t.p->mainWindow->TogglePause();
    progress.Sample();
    EXPECT_EQ(saved(), (QStringList{"0.7", "5"}));
    t.Pass(60000);  // paused: no running time, nothing saved
    progress.Sample();
    t.p->mainWindow->TogglePause();
    t.Step(1);
    t.End();
    ASSERT_EQ(t.Sessions().Rows.size(), 1u);
    EXPECT_EQ(t.Sessions().Rows[0].Cells.mid(2, 2), (QStringList{"0.7", "6"}));
}

TEST(ExerciseHistory, ThePanelShowsThePlaceWhileTheExerciseRuns) {
    Trainer t;
    ExerciseProgress& progress = t.p->mainWindow->progress;
    EXPECT_FALSE(progress.panelLabel.Widget()->isVisible());
    t.p->mainWindow->BeginExercise();
    t.Step(7);  // into line 3
    t.Pass();
    progress.Sample();
    EXPECT_TRUE(progress.panelLabel.Widget()->isVisible());
    EXPECT_EQ(progress.panelLabel.Caption().split(u'\n').value(1), QStringLiteral("строка 3 из 10, 30 %"));
    EXPECT_TRUE(progress.sampleTimer.Enabled());
    t.p->mainWindow->EndExercise();
    EXPECT_FALSE(progress.panelLabel.Widget()->isVisible());
    EXPECT_FALSE(progress.sampleTimer.Enabled());
}

TEST(ExerciseHistory, EachFinishedTestIsRecordedOnce) {
    Trainer t;
    ReadingSpeedTestWindow& reading = *t.p->readingSpeedTest;
    auto now = std::chrono::steady_clock::now();
    reading.stopwatch.SetSource([&now] { return now; });
    reading.Show();
    reading.StartTest();
    reading.StopTest();  // under a second: measures nothing
    reading.StartTest();
    now += std::chrono::milliseconds(30000);
    reading.StopTest();
    reading.StopTest();
    t.Flush();
    const ResultTable readings = t.p->Results->Table(ResultKind::ReadingTest);
    ASSERT_EQ(readings.Rows.size(), 1u);
    EXPECT_EQ(readings.Rows[0].Cells.value(3), QStringLiteral("30.00"));
    EXPECT_EQ(readings.Rows[0].Cells.value(4), QString::number(reading.ReadChars));
    EXPECT_EQ(readings.Rows[0].Cells.value(6), QStringLiteral("text.txt"));

    IpsTestWindow& ips = *t.p->ipsTest;
    ips.stopwatch.SetSource([&now] { return now; });
    ips.Show();
    ips.StartTest();
    ips.StopTest();  // under a second: measures nothing
    ips.StartTest();
    now += std::chrono::milliseconds(20000);
    ips.StopTest();
    ips.StopTest();  // shows the scores again
    t.Flush();
    const ResultTable ipsRows = t.p->Results->Table(ResultKind::IpsTest);
    ASSERT_EQ(ipsRows.Rows.size(), 1u);
    EXPECT_EQ(ipsRows.Rows[0].Cells.value(5), QString::number(ips.Field.TargetsTotal));  // none found
    EXPECT_EQ(ipsRows.Rows[0].Cells.value(6), QStringLiteral("20.00"));

    MemoryTestWindow& memory = *t.p->memoryTest;
    memory.Show();
    memory.StopTest();  // before any run: nothing
    memory.StartTest();
    for (int i = 1; i <= 8; ++i) {
        memory.answerBoxes[static_cast<std::size_t>(i - 1)]->setText(QString::number(memory.Run.ShownRing(i)));
    }
    memory.StopTest();
    memory.StopTest();
    t.Flush();
    const ResultTable memories = t.p->Results->Table(ResultKind::MemoryTest);
    ASSERT_EQ(memories.Rows.size(), 1u);
    EXPECT_EQ(memories.Rows[0].Cells.value(2), QStringLiteral("64"));
    EXPECT_EQ(t.p.Test.Errors.Messages, QStringList());
}

TEST(ExerciseHistory, AResultsFileThatCannotBeUsedIsReportedOnceAndTheExerciseRuns) {
    test::ProgramUnderTest p([](test::StartDirectory& dir) {
        dir.Write(QStringLiteral("text.txt"), NumberedText());
        dir.Write(QStringLiteral("Vistorel.sqlite"), test::RandomBytes(4096, 9));
    });
    ASSERT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(QStringLiteral("повреждён"))) << p.Test.Errors.Messages[0].toStdString();
    p->SettingsRecord.TextPath.SetText(QStringLiteral("text.txt"));
    std::int64_t now = 0;
    p->mainWindow->progress.SetClock([&now] { return now; });
    p->mainWindow->BeginExercise();
    p->exerciseWindow->OnStepTick();
    now = 10000;
    p->mainWindow->EndExercise();
    EXPECT_TRUE(p->Writer->Flush(10000));
    EXPECT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_EQ(p->Results->Table(ResultKind::Exercise).Rows.size(), 1u);
}

}  // namespace
}  // namespace vistorel
