// The main window's menu bar: every command reaching its window or operation,
// "Старт" restarting a running exercise, "Выход" ending the program, and the
// control panel with the bar in place.

#include "app/MainMenu.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "dialogs/AboutWindow.h"
#include "dialogs/PreferencesWindow.h"
#include "engine/ExerciseWindow.h"
#include "library/AddTextWindow.h"
#include "library/TextManagerWindow.h"
#include "skin/DesignedFrame.h"
#include "support/TestSupport.h"
#include "trainers/BreakScreen.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/MemoryTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

class MainMenuTest : public ::testing::Test {
protected:
    MainMenuTest() {
        p.Dir.Write(QStringLiteral("text.txt"), QByteArray("line1 a few words\r\nline2 a few more\r\nline3\r\n"));
        p->SettingsRecord.TextPath.SetText(QStringLiteral("text.txt"));
        p->mainWindow->ShowMaximized();
    }
    MainMenu& Menu() { return p->mainWindow->menu; }
    test::ProgramUnderTest p;
};

// Each item, under its menu with its caption, opens its window.
TEST_F(MainMenuTest, EveryItemReachesItsWindow) {
    const std::vector<std::tuple<QString, QAction*, Form*>> items = {
        {"Текст/База текстов", Menu().textManagerAction, p->textManager.get()},
        {"Текст/Добавить текст", Menu().addTextAction, p->addTextWindow.get()},
        {"Настройки/Основные", Menu().preferencesAction, p->preferencesWindow.get()},
        {"ZazizAraderov/Перерыв", Menu().breakAction, p->breakScreen.get()},
        {"ZazizAraderov/Тест скорости чтения", Menu().readingTestAction, p->readingSpeedTest.get()},
        {"ZazizAraderov/IPS Тест-Тренер", Menu().ipsTestAction, p->ipsTest.get()},
        {"ZazizAraderov/Тест памяти", Menu().memoryTestAction, p->memoryTest.get()},
        {"Помощь/О программе", Menu().aboutAction, p->aboutWindow.get()},
    };
    for (const auto& [path, action, window] : items) {
        const auto* menu = qobject_cast<QMenu*>(action->parent());
        EXPECT_EQ(QString(menu->title() + u'/' + action->text()).remove(u'&'), path);
        ASSERT_FALSE(window->Visible());
        action->trigger();
        EXPECT_TRUE(window->Visible()) << path.toStdString();
    }
    EXPECT_TRUE(p->breakScreen->figureTimer.Enabled());
    p->breakScreen->Close();
    EXPECT_EQ(Menu().Bar()->actions().size(), 5);
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << p.Test.Errors.Messages.join('\n').toStdString();
}

// "Старт" begins an exercise and, during one, starts it afresh from stage 1
// and line 0; the panel below the bar still works; "Выход" during the
// exercise saves the settings and ends the program.
TEST_F(MainMenuTest, StartRestartsAndExitEnds) {
    MainWindow& main = *p->mainWindow;
    main.Repaint();
    EXPECT_EQ(main.Height(), main.ClientHeight() + Menu().Bar()->height());
    EXPECT_EQ(main.PanelY, main.ClientHeight() + kDesignedMenuBarHeight + kDesignedFrameHeight - 150);

    EXPECT_EQ(Menu().startAction->text(), QStringLiteral("Старт"));
    Menu().startAction->trigger();
    ASSERT_TRUE(p->ExerciseActive);
    for (int i = 0; i < 6; ++i) p->exerciseWindow->OnStepTick();
    main.SkipStage();
    ASSERT_GT(p->TextLineBuffer.CurrentLine, 0);
    Menu().startAction->trigger();
    EXPECT_EQ(p->Exercise.Stage, 1);
    EXPECT_EQ(p->TextLineBuffer.CurrentLine, 0);
    EXPECT_TRUE(p->exerciseWindow->stepTimer.Enabled() && p->exerciseWindow->Visible());

    const HitRect quit = main.ButtonRect(kQuit);
    main.FormMouseDown(MouseButton::Left, quit.Left + 5, quit.Top + 5);
    EXPECT_FALSE(p->ExerciseActive || p->exerciseWindow->Visible());

    Menu().startAction->trigger();
    EXPECT_EQ(Menu().exitAction->text(), QStringLiteral("Выход"));
    Menu().exitAction->trigger();
    EXPECT_TRUE(p.Test.App.Terminated());
    EXPECT_EQ(p.Dir.Read(QStringLiteral("Vistorel.ini")).size(), 220);
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << p.Test.Errors.Messages.join('\n').toStdString();
}

}  // namespace
}  // namespace vistorel
