// The main window's control of a reading exercise: start and restart, the
// speed bar and the press-and-hold speed buttons, pause, next stage, quit,
// and a start whose text cannot be loaded. Buttons are pressed with the mouse.

#include "BookMaker.h"
#include "TestSupport.h"
#include "app/Program.h"
#include "app/MainWindow.h"
#include "dialogs/PreferencesWindow.h"
#include "engine/ExerciseWindow.h"
#include "engine/SpeedIndicator.h"

#include <QCheckBox>
#include <QPushButton>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace vistorel {
namespace {

// The program with a current text, its main window maximised.
class Exercise {
public:
    explicit Exercise(const QByteArray& text)
        : p([&](test::StartDirectory& dir) { dir.Write(QStringLiteral("text.txt"), text); }) {
        p->SettingsRecord.TextPath.SetText(QStringLiteral("text.txt"));
        p->SettingsRecord.FontSize = 12;
        p->SettingsRecord.BackColor = clWhite;
        p->mainWindow->ShowMaximized();
    }

    MainWindow& Main() const { return *p->mainWindow; }
    ExerciseWindow& Window() const { return *p->exerciseWindow; }
    Timer& StepTimer() const { return p->exerciseWindow->stepTimer; }
    Timer& StageTimer() const { return p->exerciseWindow->stageTimer; }
    bool AutomaticSpeed() const { return p->speedIndicator->automaticBox->isChecked(); }

    QPoint Inside(MainButton button) const {
        const HitRect r = Main().ButtonRect(button);
        return {r.Left + 5, r.Top + 5};
    }
    void Click(MainButton button) {
        QTest::mousePress(Main().Surface(), Qt::LeftButton, {}, Inside(button));
        QTest::mouseRelease(Main().Surface(), Qt::LeftButton, {}, Inside(button));
    }
    // Holds a speed button down for the given number of moveTimer ticks.
    void Hold(MainButton button, int ticks) {
        QTest::mousePress(Main().Surface(), Qt::LeftButton, {}, Inside(button));
        for (int i = 0; i < ticks && Main().moveTimer.Enabled(); ++i) Main().OnMoveTick();
    }
    void Release() { QTest::mouseRelease(Main().Surface(), Qt::LeftButton, {}, QPoint(10, 10)); }

    void Step(int n = 1) {
        for (int i = 0; i < n; ++i) Window().OnStepTick();
    }

    TColor PanelPixel(int x, int y) const { return Main().Canvas.Pixel(Main().PanelX + x, Main().PanelY + y); }

    // The middle row of the speed track: 'o' orange, 'b' black, '?' anything else.
    QString SpeedRow() const {
        QString row;
        for (int k = 0; k <= 84; ++k) {
            const TColor c = PanelPixel(465 + k, 27);
            row += c == clAccent ? u'o' : c == clBlack ? u'b' : u'?';
        }
        return row;
    }

    // The exercise panel is gone: its whole area is black.
    bool PanelBlank() const {
        for (int x = 259; x < 550; ++x) {
            for (int y = 18; y < 80; ++y) {
                if (PanelPixel(x, y) != clBlack) return false;
            }
        }
        return true;
    }

    test::ProgramUnderTest p;
};

// The track with a bar of the given length; its ends are the orange frame.
QString Bar(int length) {
    QString row;
    for (int k = 0; k <= 84; ++k) row += (k < length || k == 0 || k == 84) ? u'o' : u'b';
    return row;
}

QByteArray Words(int lines) {
    QByteArray text;
    for (int n = 1; n <= lines; ++n) text += "line" + QByteArray::number(n) + " some words here\n";
    return text;
}

// The speed bar shows 10000 / step interval pixels after each step.
TEST(ExerciseControl, SpeedBarShowsTheStepInterval) {
    Exercise e(Words(3));
    e.Click(kStart);
    ASSERT_TRUE(e.p.Test.Errors.Messages.isEmpty());
    EXPECT_TRUE(e.p->ExerciseActive);
    EXPECT_EQ(e.StepTimer().Interval(), 1000);
    EXPECT_EQ(e.Main().PanelX, 360);
    EXPECT_EQ(e.Main().PanelY, 903);
    e.Step();
    EXPECT_EQ(e.SpeedRow(), Bar(10));
    EXPECT_EQ(e.PanelPixel(465 + 5, 21), clAccent);
    EXPECT_EQ(e.PanelPixel(465 + 20, 21), clBlack);

    // The hard preset steps every 200 ms: a 50-pixel bar.
    e.p->Preset.Apply(2);
    e.p.Test.App.Guard([&] { e.Main().BeginExercise(); });
    EXPECT_EQ(e.StepTimer().Interval(), 200);
    e.Step();
    EXPECT_EQ(e.SpeedRow(), Bar(50));
}

// Holding Faster raises the speed by one per moveTimer tick up to 85, clears
// the automatic speed controller at the first change (stopping the stage
// clock) and leaves it alone at the limit; releasing the mouse stops it.
TEST(ExerciseControl, HoldingFasterStopsAtTheTopSpeed) {
    Exercise e(Words(3));
    e.Click(kStart);
    e.Step();
    ASSERT_EQ(e.SpeedRow(), Bar(10));

    e.Hold(kFaster, 1);
    EXPECT_TRUE(e.Main().moveTimer.Enabled());
    EXPECT_EQ(e.StepTimer().Interval(), 909);
    EXPECT_EQ(e.SpeedRow(), Bar(11));
    EXPECT_FALSE(e.AutomaticSpeed());
    EXPECT_FALSE(e.StageTimer().Enabled());
    EXPECT_TRUE(e.StepTimer().Enabled());

    std::map<int, int> intervals;  // speed -> step interval
    for (int speed = 12; speed <= 90; ++speed) {
        e.Main().OnMoveTick();
        intervals[speed] = e.StepTimer().Interval();
    }
    EXPECT_EQ(intervals[16], 625);
    EXPECT_EQ(intervals[32], 312);  // 312.5 goes to the even neighbour
    EXPECT_EQ(intervals[48], 208);
    EXPECT_EQ(intervals[85], 118);
    EXPECT_EQ(intervals[90], 118);
    EXPECT_EQ(e.SpeedRow(), Bar(85));
    e.Release();
    EXPECT_FALSE(e.Main().moveTimer.Enabled());

    // At the limit the controller's box keeps the state it has.
    e.p->speedIndicator->automaticBox->setChecked(true);
    ASSERT_TRUE(e.StageTimer().Enabled());
    e.Hold(kFaster, 3);
    e.Release();
    EXPECT_TRUE(e.AutomaticSpeed());
    EXPECT_TRUE(e.StageTimer().Enabled());
    EXPECT_EQ(e.StepTimer().Interval(), 118);
    e.Step();
    EXPECT_EQ(e.SpeedRow(), Bar(85));
}

// Holding Slower lowers the speed down to 5 (a step every 2000 ms); while
// paused it sets the speed without resuming.
TEST(ExerciseControl, HoldingSlowerStopsAtTheLowestSpeed) {
    Exercise e(Words(3));
    e.Click(kStart);
    e.Step();
    e.Click(kPause);
    e.Hold(kSlower, 20);
    EXPECT_EQ(e.StepTimer().Interval(), 2000);
    EXPECT_EQ(e.SpeedRow(), Bar(5));
    EXPECT_FALSE(e.AutomaticSpeed());
    EXPECT_FALSE(e.StepTimer().Running());
    EXPECT_FALSE(e.StageTimer().Running());
    e.Release();
    EXPECT_FALSE(e.Main().moveTimer.Enabled());
    e.Click(kPause);
    EXPECT_TRUE(e.StepTimer().Running());
    EXPECT_EQ(e.StepTimer().Interval(), 2000);
    e.Step();
    EXPECT_EQ(e.SpeedRow(), Bar(5));
}

// Before the first step the speed is 0: Slower does nothing, Faster gives speed 1.
TEST(ExerciseControl, SpeedButtonsBeforeTheFirstStep) {
    Exercise e(Words(3));
    e.Click(kStart);
    e.Hold(kSlower, 1);
    e.Release();
    EXPECT_EQ(e.StepTimer().Interval(), 1000);
    EXPECT_TRUE(e.AutomaticSpeed());
    EXPECT_TRUE(e.StageTimer().Enabled());

    e.Hold(kFaster, 1);
    e.Release();
    EXPECT_EQ(e.StepTimer().Interval(), 10000);
    EXPECT_EQ(e.SpeedRow(), Bar(1));
    EXPECT_EQ(e.PanelPixel(466, 21), clBlack);
    EXPECT_FALSE(e.AutomaticSpeed());
    EXPECT_FALSE(e.StageTimer().Enabled());
}

// Pause toggles each exercise timer on its own.
TEST(ExerciseControl, PauseTogglesEachTimer) {
    Exercise e(Words(3));
    e.Click(kStart);
    e.Step();
    e.Click(kPause);
    EXPECT_FALSE(e.StepTimer().Enabled());
    EXPECT_FALSE(e.StageTimer().Enabled());
    e.Click(kPause);
    EXPECT_TRUE(e.StepTimer().Enabled());
    EXPECT_TRUE(e.StageTimer().Enabled());

    // After a manual speed change only the step timer runs.
    e.Hold(kFaster, 1);
    e.Release();
    ASSERT_FALSE(e.StageTimer().Enabled());
    e.Click(kPause);
    EXPECT_FALSE(e.StepTimer().Enabled());
    EXPECT_TRUE(e.StageTimer().Enabled());
    e.Click(kPause);
    EXPECT_TRUE(e.StepTimer().Enabled());
    EXPECT_FALSE(e.StageTimer().Enabled());
    EXPECT_EQ(e.StepTimer().Interval(), 909);

    // Once the box is cleared, a later speed change leaves the stage clock as it is.
    e.Click(kPause);
    ASSERT_TRUE(e.StageTimer().Enabled());
    e.Hold(kFaster, 1);
    e.Release();
    EXPECT_EQ(e.StepTimer().Interval(), 833);
    EXPECT_TRUE(e.StageTimer().Enabled());
    EXPECT_FALSE(e.StepTimer().Enabled());
}

// Next ends the stage at once: each press starts the next stage with its own
// interval and a fresh stage count; after stage 5 it starts over at stage 1
// with the text re-centred.
TEST(ExerciseControl, NextRunsThroughTheStagesAndStartsOver) {
    Exercise e(Words(30));
    e.p->Preset.Apply(1);  // intervals 300, 400, 300, 700, 400; stages repeat
    e.Click(kStart);
    e.Step();
    struct Seen {
        int stage, mode, elapsed, interval;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    for (int press = 1; press <= 5; ++press) {
        e.Window().OnStageTick();
        e.Window().OnStageTick();
        if (press == 5) {
            e.Step();  // random place
            ASSERT_NE(QPoint(e.Window().wordLabel.Left(), e.Window().wordLabel.Top()), QPoint(283, 120));
        }
        e.Click(kNext);
        seen.push_back({e.p->Exercise.Stage, e.p->Exercise.ExerciseMode, e.p->Exercise.StageElapsed,
                        e.StepTimer().Interval()});
    }
    EXPECT_EQ(seen, (std::vector<Seen>{{2, 2, 1, 400}, {3, 3, 1, 300}, {4, 4, 1, 700}, {5, 5, 1, 400}, {1, 1, 1, 300}}));
    EXPECT_EQ(e.Window().wordLabel.Left(), 647 / 2 - 40);
    EXPECT_EQ(e.Window().wordLabel.Top(), 320 / 2 - 40);
    EXPECT_TRUE(e.StepTimer().Enabled());
    EXPECT_TRUE(e.StageTimer().Enabled());
}

// Next out of the line mode steps the reading position back one line, never below 0.
TEST(ExerciseControl, NextAfterTheLineModeGoesOnAfterTheLastLineShown) {
    Exercise e(Words(5));
    e.Click(kStart);
    e.Click(kNext);
    e.Click(kNext);
    e.Click(kNext);
    e.Step(3);
    ASSERT_EQ(e.Window().wordLabel.Caption(), QStringLiteral("line2 some words here"));
    EXPECT_EQ(e.p->TextLineBuffer.CurrentLine, 3);
    e.Click(kNext);
    EXPECT_EQ(e.p->Exercise.ExerciseMode, 5);
    EXPECT_EQ(e.p->TextLineBuffer.CurrentLine, 2);
    e.Step();
    EXPECT_EQ(e.Window().wordLabel.Caption(), QStringLiteral("line3 "));

    // Four presses before any step: the position stays at the start.
    e.p.Test.App.Guard([&] { e.Main().BeginExercise(); });
    for (int i = 0; i < 4; ++i) e.Click(kNext);
    EXPECT_EQ(e.p->Exercise.ExerciseMode, 5);
    EXPECT_EQ(e.p->TextLineBuffer.CurrentLine, 0);
    e.Step();
    EXPECT_EQ(e.Window().wordLabel.Caption(), QStringLiteral("line1 "));
}

// A text that cannot be loaded is reported; the exercise window does not
// open, and the panel goes back to its idle buttons (it must not look as if an
// exercise ran), so that Preferences works at once to choose another text.
TEST(ExerciseControl, StartWithoutALoadableText) {
    QByteArray tooLong;
    for (int n = 0; n < 20001; ++n) tooLong += "x\n";
    for (const char* path : {"text.txt", "no such text.txt", ""}) {
        Exercise e(tooLong);
        e.p->SettingsRecord.TextPath.SetText(QString::fromLatin1(path));
        e.Click(kStart);
        ASSERT_EQ(e.p.Test.Errors.Messages.size(), 1);
        EXPECT_FALSE(e.p.Test.Errors.Messages[0].isEmpty());
        EXPECT_FALSE(e.Window().Visible());
        EXPECT_FALSE(e.StepTimer().Enabled());
        EXPECT_FALSE(e.StageTimer().Enabled());
        EXPECT_FALSE(e.p->ExerciseActive);
        EXPECT_TRUE(e.PanelBlank());

        // The exercise buttons' places do nothing now; the idle buttons work.
        e.Click(kPause);
        e.Click(kNext);
        EXPECT_EQ(e.p->Exercise.ExerciseMode, 0);
        e.Hold(kFaster, 1);
        EXPECT_FALSE(e.Main().moveTimer.Enabled());
        e.Release();
        EXPECT_FALSE(e.StepTimer().Enabled());
        EXPECT_EQ(e.p.Test.Errors.Messages.size(), 1);
        e.Click(kPreferences);
        EXPECT_TRUE(e.p->preferencesWindow->Visible());
    }
}

// Start during an exercise loads the text again and begins afresh at stage 1,
// line 0, both timers running; a restart whose text is gone stops the old one.
TEST(ExerciseControl, StartDuringAnExerciseStartsAfresh) {
    Exercise e(Words(5));
    e.Click(kStart);
    e.Step(5);
    ASSERT_EQ(e.Window().wordLabel.Caption(), QStringLiteral("line2 "));
    for (int i = 0; i < 3; ++i) e.Click(kNext);
    e.Step(3);
    e.Hold(kSlower, 2);
    e.Release();
    ASSERT_FALSE(e.StageTimer().Enabled());
    e.p.Test.App.Guard([&] { e.Main().BeginExercise(); });
    EXPECT_EQ(e.p->Exercise.Stage, 1);
    EXPECT_EQ(e.p->Exercise.ExerciseMode, 1);
    EXPECT_EQ(e.p->TextLineBuffer.CurrentLine, 0);
    EXPECT_EQ(e.StepTimer().Interval(), 1000);
    EXPECT_TRUE(e.StepTimer().Enabled());
    EXPECT_TRUE(e.StageTimer().Enabled());
    EXPECT_TRUE(e.Window().Visible());
    e.Step();
    EXPECT_EQ(e.Window().wordLabel.Caption(), QStringLiteral("line1 "));
    EXPECT_EQ(e.Window().wordLabel.Left(), 323 - 6 * 12 / 2);

    // The text has gone since: the error is reported, the old exercise stops
    // and the panel is idle again.
    ASSERT_TRUE(QFile::remove(e.p.Dir.File(QStringLiteral("text.txt"))));
    e.p.Test.App.Guard([&] { e.Main().BeginExercise(); });
    EXPECT_EQ(e.p.Test.Errors.Messages.size(), 1);
    EXPECT_FALSE(e.StepTimer().Enabled());
    EXPECT_FALSE(e.StageTimer().Enabled());
    EXPECT_FALSE(e.Window().Visible());
    EXPECT_FALSE(e.p->ExerciseActive);
    EXPECT_TRUE(e.PanelBlank());
}

// A book is read off the GUI thread, with a panel over the main window: the
// exercise starts when it has been read; starts pressed meanwhile (clicks
// queued behind a long read) read nothing more; a book past the budget is
// one message; Escape cancels without one.
TEST(ExerciseControl, ATextIsReadOffTheGuiThreadOnceWithOneMessage) {
    Exercise e(Words(3));
    e.p.Dir.Write(QStringLiteral("story.fb2"), bookmaker::Fb2(bookmaker::StoryBook(2, 3)));
    e.p.Dir.Write(QStringLiteral("entities.fb2"), bookmaker::EntityFb2(4000, 100000));
    BackgroundWork& load = e.Main().textLoad;
    load.QuickMs = 0;
    e.p->SettingsRecord.TextPath.SetText(QStringLiteral("story.fb2"));
    e.Click(kStart);
    ASSERT_TRUE(load.Running());
    EXPECT_FALSE(e.p->ExerciseActive);
    EXPECT_FALSE(e.Window().Visible());
    ASSERT_NE(load.Indicator(), nullptr);
    EXPECT_TRUE(load.Indicator()->isVisible());
    e.Click(kStart);
    e.p.Test.App.Guard([&] { e.Main().BeginExercise(); });
    load.Finish();
    EXPECT_TRUE(e.p.Test.Errors.Messages.isEmpty()) << e.p.Test.Errors.Messages.join(u'\n').toStdString();
    EXPECT_TRUE(e.p->ExerciseActive);
    EXPECT_TRUE(e.StepTimer().Enabled());
    EXPECT_EQ(e.p->TextLineBuffer.LineCount, 8);  // two chapters: a title and three paragraphs each
    EXPECT_FALSE(load.Indicator()->isVisible());
    EXPECT_FALSE(load.Running());
    e.Click(kQuit);

    e.p->SettingsRecord.TextPath.SetText(QStringLiteral("entities.fb2"));
    for (int i = 0; i < 3; ++i) e.Click(kStart);
    load.Finish();
    QCoreApplication::processEvents();
    ASSERT_EQ(e.p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(e.p.Test.Errors.Messages[0].startsWith(QStringLiteral("Книга слишком велика"))) << e.p.Test.Errors.Messages[0].toStdString();
    EXPECT_FALSE(e.p->ExerciseActive);
    EXPECT_TRUE(e.PanelBlank());

    e.p->SettingsRecord.TextPath.SetText(QStringLiteral("story.fb2"));
    e.Click(kStart);
    QTest::keyClick(load.Indicator()->findChild<QPushButton*>(), Qt::Key_Escape);
    load.Finish();
    EXPECT_EQ(e.p.Test.Errors.Messages.size(), 1);
    EXPECT_FALSE(e.p->ExerciseActive);
    EXPECT_FALSE(e.Window().Visible());
}

// Quit stops both timers, hides the exercise window and blanks the panel.
TEST(ExerciseControl, QuitEndsTheExercise) {
    Exercise e(Words(3));
    e.Click(kStart);
    e.Step();
    ASSERT_FALSE(e.PanelBlank());
    e.Click(kQuit);
    EXPECT_FALSE(e.p->ExerciseActive);
    EXPECT_FALSE(e.StepTimer().Enabled());
    EXPECT_FALSE(e.StageTimer().Enabled());
    EXPECT_FALSE(e.Window().Visible());
    EXPECT_TRUE(e.PanelBlank());
    EXPECT_EQ(e.PanelPixel(460, 82), clBlack);
    // The exercise buttons are gone with it.
    e.Click(kPause);
    EXPECT_FALSE(e.StepTimer().Enabled());
    EXPECT_FALSE(e.Window().Visible());
}

}  // namespace
}  // namespace vistorel
