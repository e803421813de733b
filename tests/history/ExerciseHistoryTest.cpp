// The results the program keeps of the user's training: an exercise ended
// in any way leaves its session and its place, «Продолжить» starts at that
// place (and «Старт» at line 1), the panel shows the place while the exercise
// runs, each finished test is recorded once, and a results file that cannot
// be used is reported once at start while the training goes on.

#include "app/ExerciseProgress.h"
#include "app/MainMenu.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "engine/ExerciseWindow.h"
#include "history/HistoryTestSupport.h"
#include "history/ResultsDatabase.h"
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
    }
    void Step(int n) {
        for (int i = 0; i < n; ++i) p->exerciseWindow->OnStepTick();
    }
    QString Shown() const { return p->exerciseWindow->wordLabel.Caption(); }
    ResultTable Sessions() const { return p->Results->Table(ResultKind::Exercise); }

    test::ProgramUnderTest p;
};

TEST(ExerciseHistory, AnExerciseEndedByQuitStartAgainOrExitLeavesItsSessionAndPlace) {
    Trainer t;
    MainWindow& main = *t.p->mainWindow;
    main.BeginExercise();
    t.Step(5);  // words 1..3 of line 1, 1..2 of line 2
    EXPECT_EQ(t.Shown(), QStringLiteral("L2W2 "));
    main.EndExercise();
    ResultTable sessions = t.Sessions();
    ASSERT_EQ(sessions.Rows.size(), 1u);
    EXPECT_EQ(sessions.Rows[0].Cells.value(3), QStringLiteral("5"));  // words shown
    EXPECT_EQ(sessions.Rows[0].Cells.value(4), QStringLiteral("2"));  // lines entered
    EXPECT_EQ(sessions.Rows[0].Cells.value(8), QStringLiteral("text"));
    ReadingPlace place = t.p->Results->Place(QStringLiteral("text.txt")).value_or(ReadingPlace{});
    EXPECT_EQ(place.Line, 2);
    EXPECT_EQ(place.Word, 2);

    // Quit twice records once; a start without a step records nothing.
    main.EndExercise();
    main.BeginExercise();
    main.BeginExercise();
    EXPECT_EQ(t.Sessions().Rows.size(), 1u);
    t.Step(7);
    main.BeginExercise();  // started again
    EXPECT_EQ(t.Sessions().Rows.size(), 2u);
    EXPECT_EQ(t.Sessions().Rows[0].Cells.value(3), QStringLiteral("7"));
    t.Step(4);
    main.ExitProgram();
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
    t.p->mainWindow->EndExercise();

    ASSERT_TRUE(t.p->Results->SavePlace(QStringLiteral("text.txt"), QString(), {7, 2, {}}));
    resume->trigger();
    EXPECT_EQ(t.p->Exercise.Stage, 1);
    EXPECT_TRUE(t.p->exerciseWindow->stageTimer.Enabled());
    t.Step(2);
    EXPECT_EQ(t.Shown(), QStringLiteral("L8W1 "));  // after L7W3
    t.p->mainWindow->menu.startAction->trigger();
    t.Step(1);
    EXPECT_EQ(t.Shown(), QStringLiteral("L1W1 "));

    // A place past the end of a text that has become shorter starts at line 1.
    t.p->mainWindow->EndExercise();
    ASSERT_TRUE(t.p->Results->SavePlace(QStringLiteral("text.txt"), QString(), {11, 1, {}}));
    resume->trigger();
    t.Step(1);
    EXPECT_EQ(t.Shown(), QStringLiteral("L1W1 "));
}

TEST(ExerciseHistory, ThePanelShowsThePlaceWhileTheExerciseRuns) {
    Trainer t;
    ExerciseProgress& progress = t.p->mainWindow->progress;
    EXPECT_FALSE(progress.panelLabel.Widget()->isVisible());
    t.p->mainWindow->BeginExercise();
    t.Step(7);  // into line 3
    progress.Sample();
    EXPECT_TRUE(progress.panelLabel.Widget()->isVisible());
    EXPECT_EQ(progress.panelLabel.Caption().split(QStringLiteral(" · ")).value(1), QStringLiteral("строка 3 из 10, 30 %"));
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
    p->mainWindow->BeginExercise();
    p->exerciseWindow->OnStepTick();
    p->mainWindow->EndExercise();
    EXPECT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_EQ(p->Results->Table(ResultKind::Exercise).Rows.size(), 1u);
}

}  // namespace
}  // namespace vistorel
