// The main window's menu bar: its menus and captions, every command reaching
// its window or operation, "Старт" restarting a running exercise, "Выход"
// ending the program, and the control panel with the bar in place.

#include "app/MainMenu.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "dialogs/AboutWindow.h"
#include "dialogs/PreferencesWindow.h"
#include "engine/ExerciseWindow.h"
#include "library/AddTextWindow.h"
#include "library/TextManagerWindow.h"
#include "support/TestSupport.h"
#include "trainers/BreakScreen.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/MemoryTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

QByteArray Lines(int count) {
    QByteArray text;
    for (int n = 1; n <= count; ++n) text += "line" + QByteArray::number(n) + " a few words\r\n";
    return text;
}

class MainMenuTest : public ::testing::Test {
protected:
    MainMenuTest() : p([](test::StartDirectory& dir) { dir.Write(QStringLiteral("text.txt"), Lines(5)); }) {
        p->SettingsRecord.TextPath.SetText(QStringLiteral("text.txt"));
        Main().ShowMaximized();
        QCoreApplication::processEvents();
    }
    MainWindow& Main() { return *p->mainWindow; }
    MainMenu& Menu() { return p->mainWindow->menu; }

    test::ProgramUnderTest p;
};

// The menus and their items, in order, with the captions the user sees.
TEST_F(MainMenuTest, MenusAndCaptions) {
    QStringList shown;
    for (QAction* menuAction : Menu().Bar()->actions()) {
        QString line = menuAction->text() + QStringLiteral(":");
        for (QAction* item : menuAction->menu()->actions()) line += QStringLiteral(" ") + item->text() + u'|';
        shown << line;
    }
    EXPECT_EQ(shown, QStringList({QStringLiteral("Файл: Старт| Выход|"), QStringLiteral("Текст: База текстов| Добавить текст|"),
                                  QStringLiteral("Настройки: Основные|"),
                                  QStringLiteral("ZazizAraderov: Перерыв| Тест скорости чтения| IPS Тест-Тренер| Тест памяти|"),
                                  QStringLiteral("Помощь: О программе|")}));
}

// Every item opens its window (once, without a modal loop: the trigger
// returns with the window up) or starts its operation.
TEST_F(MainMenuTest, EveryItemReachesItsWindow) {
    const std::vector<std::pair<QAction*, Form*>> items = {
        {Menu().textManagerAction, p->textManager.get()},  {Menu().addTextAction, p->addTextWindow.get()},
        {Menu().preferencesAction, p->preferencesWindow.get()}, {Menu().readingTestAction, p->readingSpeedTest.get()},
        {Menu().ipsTestAction, p->ipsTest.get()},          {Menu().memoryTestAction, p->memoryTest.get()},
        {Menu().aboutAction, p->aboutWindow.get()},        {Menu().breakAction, p->breakScreen.get()},
    };
    for (const auto& [action, window] : items) {
        ASSERT_FALSE(window->Visible()) << action->text().toStdString();
        action->trigger();
        EXPECT_TRUE(window->Visible()) << action->text().toStdString();
    }
    EXPECT_TRUE(p->breakScreen->figureTimer.Enabled());
    EXPECT_TRUE(p->breakScreen->Maximized());

    // Chosen again, an open window keeps its contents.
    p->readingSpeedTest->statusLabel.SetCaption(QStringLiteral("результат"));
    Menu().readingTestAction->trigger();
    EXPECT_EQ(p->readingSpeedTest->statusLabel.Caption(), QStringLiteral("результат"));
    p->breakScreen->Close();
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << p.Test.Errors.Messages.join('\n').toStdString();
}

// "Старт" begins an exercise, and chosen during one starts it afresh from
// stage 1 and line 0; the panel works with the bar above it.
TEST_F(MainMenuTest, StartBeginsAndRestartsTheExercise) {
    EXPECT_EQ(Main().Height(), Main().ClientHeight() + Menu().Bar()->height());
    EXPECT_GT(Menu().Bar()->height(), 0);
    Main().Repaint();
    EXPECT_EQ(Main().PanelY, Main().Height() - 150);

    Menu().startAction->trigger();
    ASSERT_TRUE(p->ExerciseActive);
    ExerciseWindow& exercise = *p->exerciseWindow;
    for (int i = 0; i < 6; ++i) exercise.OnStepTick();
    Main().SkipStage();
    ASSERT_EQ(p->Exercise.Stage, 2);
    ASSERT_GT(p->TextLineBuffer.CurrentLine, 0);

    Menu().startAction->trigger();
    EXPECT_TRUE(p->ExerciseActive);
    EXPECT_EQ(p->Exercise.Stage, 1);
    EXPECT_EQ(p->TextLineBuffer.CurrentLine, 0);
    EXPECT_TRUE(exercise.stepTimer.Enabled());
    EXPECT_TRUE(exercise.Visible());

    // The panel's Quit button, below the bar, still ends it.
    const HitRect quit = Main().ButtonRect(kQuit);
    Main().FormMouseDown(MouseButton::Left, quit.Left + 5, quit.Top + 5);
    EXPECT_FALSE(p->ExerciseActive);
    EXPECT_FALSE(exercise.Visible());
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << p.Test.Errors.Messages.join('\n').toStdString();
}

// "Выход" during an exercise saves the settings and ends the program.
TEST_F(MainMenuTest, ExitSavesAndEnds) {
    Menu().startAction->trigger();
    Menu().exitAction->trigger();
    EXPECT_TRUE(p.Test.App.Terminated());
    EXPECT_EQ(p.Dir.Read(QStringLiteral("Vistorel.ini")).size(), 220);
    EXPECT_FALSE(Main().Visible());
}

}  // namespace
}  // namespace vistorel
