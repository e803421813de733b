// The program from the keyboard: every dialog window accepts on Enter and
// closes on Escape, a running exercise answers its keys in the main and the
// exercise window, the break screen closes on any key or a click, the menus
// have mnemonics and shortcuts, and the automatic change of stages shows on
// the panel and in the menu, which turns it back on.

#include "TestSupport.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "dialogs/AboutWindow.h"
#include "dialogs/PreferencesWindow.h"
#include "dialogs/WelcomeWindow.h"
#include "engine/ExerciseWindow.h"
#include "engine/SpeedIndicator.h"
#include "history/StatisticsWindow.h"
#include "library/AddBookmarkWindow.h"
#include "library/AddTextWindow.h"
#include "library/JumpToBookmarkWindow.h"
#include "library/TextManagerWindow.h"
#include "trainers/BreakScreen.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/MemoryTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QToolButton>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

class Keyboard : public ::testing::Test {
protected:
    Keyboard() {
        p.Dir.Write(QStringLiteral("text.txt"), QByteArray("one two three four\nfive six seven\neight nine\n"));
        p->SettingsRecord.TextPath.SetText(QStringLiteral("text.txt"));
        p->SettingsRecord.Level = 0;
        p->Preset.Apply(0);
        p->mainWindow->ShowMaximized();
    }
    MainWindow& Main() { return *p->mainWindow; }
    ExerciseWindow& Exercise() { return *p->exerciseWindow; }
    QString Errors() const { return p.Test.Errors.Messages.join('\n'); }
    // The caption of the button that has the keyboard; empty for anything else.
    static QString FocusedButton() {
        const auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        return button ? button->text() : QString();
    }
    test::ProgramUnderTest p;
};

TEST_F(Keyboard, DialogsAcceptOnEnterAndCloseOnEscape) {
    // Escape, pressed in a field where the window has one.
    const std::vector<std::pair<Form*, QWidget*>> dialogs = {
        {p->preferencesWindow.get(), p->preferencesWindow->textPathEdit},
        {p->textManager.get(), &p->textManager->titleList},
        {p->addTextWindow.get(), &p->addTextWindow->descriptionEdit},
        {p->addBookmarkWindow.get(), &p->addBookmarkWindow->nameEdit},
        {p->jumpToBookmarkWindow.get(), &p->jumpToBookmarkWindow->bookmarkList},
        {p->aboutWindow.get(), p->aboutWindow->Widget()},
        {p->readingSpeedTest.get(), p->readingSpeedTest->Widget()},
        {p->ipsTest.get(), p->ipsTest->Widget()},
        {p->memoryTest.get(), p->memoryTest->answerBoxes[3]},
    };
    for (const auto& [window, field] : dialogs) {
        window->Show();
        QTest::keyClick(field, Qt::Key_Escape);
        EXPECT_FALSE(window->Visible()) << window->Caption().toStdString();
    }

    // Enter accepts: the preferences take the path typed ...
    p->preferencesWindow->FillPreferences();
    p->preferencesWindow->textPathEdit->setText(QStringLiteral("other.txt"));
    QTest::keyClick(p->preferencesWindow->textPathEdit, Qt::Key_Return);
    EXPECT_FALSE(p->preferencesWindow->Visible());
    EXPECT_EQ(p->SettingsRecord.TextPath.Text(), QStringLiteral("other.txt"));
    // ... the add text window stores (Enter in the description is a new line) ...
    AddTextWindow& adder = *p->addTextWindow;
    adder.OpenForAdding();
    adder.titleEdit.setText(QStringLiteral("Новый"));
    adder.pathEdit.setText(QStringLiteral("text.txt"));
    QTest::keyClicks(&adder.descriptionEdit, QStringLiteral("first"));
    QTest::keyClick(&adder.descriptionEdit, Qt::Key_Return);
    QTest::keyClicks(&adder.descriptionEdit, QStringLiteral("second"));
    EXPECT_TRUE(adder.Visible());
    QTest::keyClick(&adder.titleEdit, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(adder.Visible());
    ASSERT_EQ(p->TextCount, 1);
    EXPECT_EQ(p->TextLibrary[1].DescriptionLineCount, 2);
    // ... the text manager chooses the selected text, once ...
    p->textManager->Show();
    p->textManager->titleList.setCurrentRow(0);
    QTest::keyClick(&p->textManager->titleList, Qt::Key_Return);
    EXPECT_FALSE(p->textManager->Visible());
    EXPECT_EQ(p->SettingsRecord.TextPath.Text(), QStringLiteral("text.txt"));
    EXPECT_EQ(p->CurrentTextIndex, 1);
    // ... a bookmark is added once, and the jump list jumps to it.
    Main().BeginExercise();
    p->TextLineBuffer.CurrentLine = 2;
    p->addBookmarkWindow->OpenAddBookmark();
    QTest::keyClick(&p->addBookmarkWindow->nameEdit, Qt::Key_Return);
    EXPECT_FALSE(p->addBookmarkWindow->Visible());
    EXPECT_EQ(p->TextLibrary[1].BookmarkCount, 1);
    p->TextLineBuffer.CurrentLine = 0;
    p->jumpToBookmarkWindow->OpenJumpToBookmark();
    p->jumpToBookmarkWindow->bookmarkList.setCurrentRow(0);
    QTest::keyClick(&p->jumpToBookmarkWindow->bookmarkList, Qt::Key_Return);
    EXPECT_FALSE(p->jumpToBookmarkWindow->Visible());
    EXPECT_EQ(p->TextLineBuffer.CurrentLine, 2);
    // The about window closes on Enter too; the welcome window goes in.
    p->aboutWindow->Show();
    QTest::keyClick(p->aboutWindow->Widget(), Qt::Key_Return);
    EXPECT_FALSE(p->aboutWindow->Visible());
    Main().Hide();
    p->welcomeWindow->Show();
    QTest::keyClick(p->welcomeWindow->Widget(), Qt::Key_Return);
    EXPECT_FALSE(p->welcomeWindow->Visible());
    EXPECT_TRUE(Main().Visible());
    EXPECT_TRUE(Errors().isEmpty()) << Errors().toStdString();
}

TEST_F(Keyboard, ExerciseRunsFromTheKeyboard) {
    // No exercise: the keys do nothing.
    QTest::keyClick(Main().Widget(), Qt::Key_Right);
    QTest::keyClick(Main().Widget(), Qt::Key_N);
    EXPECT_FALSE(p->ExerciseActive);
    EXPECT_EQ(p->Exercise.SpeedValue, 0);

    Main().BeginExercise();
    Exercise().OnStepTick();
    ASSERT_EQ(p->Exercise.SpeedValue, 10);  // a step every 1000 ms
    QTest::keyClick(Main().Widget(), Qt::Key_Space);
    EXPECT_FALSE(Exercise().stepTimer.Enabled() || Exercise().stageTimer.Enabled());
    QTest::keyClick(Main().Widget(), Qt::Key_Space);
    EXPECT_TRUE(Exercise().stepTimer.Enabled() && Exercise().stageTimer.Enabled());

    // Two steps faster, as two ticks of a held button: 10000 / 12.
    QTest::keyClick(Main().Widget(), Qt::Key_Right);
    QTest::keyClick(Main().Widget(), Qt::Key_Plus);
    EXPECT_EQ(p->Exercise.SpeedValue, 12);
    EXPECT_EQ(Exercise().stepTimer.Interval(), 833);
    EXPECT_EQ(Main().Canvas.Pixel(Main().PanelX + 465 + 11, Main().PanelY + 27), clAccent);
    EXPECT_EQ(Main().Canvas.Pixel(Main().PanelX + 465 + 12, Main().PanelY + 27), clBlack);
    QTest::keyClick(Exercise().Widget(), Qt::Key_Left);
    QTest::keyClick(Exercise().Widget(), Qt::Key_Minus);
    QTest::keyClick(Main().Widget(), Qt::Key_Minus);
    EXPECT_EQ(Exercise().stepTimer.Interval(), 1111);

    // The next stage: N, or the same key in the Russian layout.
    QTest::keyClick(Main().Widget(), Qt::Key_N);
    EXPECT_EQ(p->Exercise.Stage, 2);
    QTest::sendKeyEvent(QTest::Click, Exercise().Widget(), static_cast<Qt::Key>(u'Т'), QStringLiteral("т"), {});
    EXPECT_EQ(p->Exercise.Stage, 3);
    EXPECT_EQ(p->Exercise.ExerciseMode, 3);

    // A bookmark pauses the exercise; the text is no library text, which the
    // program says. Space in the exercise window goes on.
    QTest::keyClick(Exercise().Widget(), Qt::Key_B);
    ASSERT_EQ(p.Test.Dialogs.Messages.size(), 1);
    EXPECT_TRUE(p.Test.Dialogs.Messages[0].contains(QStringLiteral("bookmark")));
    EXPECT_FALSE(Exercise().stepTimer.Enabled());
    QTest::keyClick(Exercise().Widget(), Qt::Key_Space);
    EXPECT_TRUE(Exercise().stepTimer.Enabled());

    QTest::keyClick(Exercise().Widget(), Qt::Key_Escape);
    EXPECT_FALSE(p->ExerciseActive);
    EXPECT_FALSE(Exercise().Visible());
    EXPECT_FALSE(Exercise().stepTimer.Enabled() || Exercise().stageTimer.Enabled());
    Main().BeginExercise();
    QTest::keyClick(Main().Widget(), Qt::Key_Escape);
    EXPECT_FALSE(p->ExerciseActive);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().toStdString();
}

TEST_F(Keyboard, ManualStagesShownAndTurnedBack) {
    QAction* automatic = Main().menu.automaticStagesAction;
    const QLabel* notice = Main().manualStagesLabel.Widget();
    ASSERT_TRUE(automatic->isCheckable());
    EXPECT_EQ(automatic->text().remove(u'&'), QStringLiteral("Автоматическая смена этапов"));
    EXPECT_TRUE(automatic->isChecked());
    Main().BeginExercise();
    Exercise().OnStepTick();
    EXPECT_FALSE(notice->isVisible());

    QTest::keyClick(Main().Widget(), Qt::Key_Right);
    EXPECT_FALSE(Exercise().stageTimer.Enabled());
    EXPECT_FALSE(automatic->isChecked());
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(Main().manualStagesLabel.Caption(), QStringLiteral("Смена этапов: вручную"));

    automatic->trigger();
    EXPECT_TRUE(automatic->isChecked());
    EXPECT_TRUE(p->speedIndicator->automaticBox->isChecked());
    EXPECT_TRUE(Exercise().stageTimer.Enabled());
    EXPECT_FALSE(notice->isVisible());

    // Off again from the menu; turned on while paused, the stage clock waits
    // for the steps and goes on with them.
    automatic->trigger();
    EXPECT_FALSE(Exercise().stageTimer.Enabled());
    EXPECT_TRUE(notice->isVisible());
    QTest::keyClick(Main().Widget(), Qt::Key_Space);
    automatic->trigger();
    EXPECT_FALSE(Exercise().stageTimer.Enabled());
    QTest::keyClick(Main().Widget(), Qt::Key_Space);
    EXPECT_TRUE(Exercise().stepTimer.Enabled() && Exercise().stageTimer.Enabled());

    // With no exercise the notice is gone, and a new one starts as set.
    QTest::keyClick(Main().Widget(), Qt::Key_Left);
    EXPECT_TRUE(notice->isVisible());
    Main().EndExercise();
    EXPECT_FALSE(notice->isVisible());
    Main().BeginExercise();
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(Errors().isEmpty()) << Errors().toStdString();
}

TEST_F(Keyboard, BreakScreenClosesOnAnyKeyOrClick) {
    BreakScreen& screen = *p->breakScreen;
    screen.StartBreak();
    QTest::keyClick(screen.Widget(), Qt::Key_Shift);
    EXPECT_TRUE(screen.Visible());
    QTest::keyClick(screen.Widget(), Qt::Key_Escape);
    EXPECT_FALSE(screen.Visible());
    EXPECT_FALSE(screen.figureTimer.Enabled());
    screen.StartBreak();
    QTest::keyClick(screen.Widget(), Qt::Key_F);
    EXPECT_FALSE(screen.Visible());
    screen.StartBreak();
    QTest::mouseClick(screen.Surface(), Qt::RightButton, {}, QPoint(300, 200));
    EXPECT_FALSE(screen.Visible());
}

TEST_F(Keyboard, MenusHaveMnemonicsAndShortcuts) {
    QStringList mnemonics;
    for (const QAction* menu : Main().menu.Bar()->actions()) {
        mnemonics.append(QKeySequence::mnemonic(menu->text()).toString(QKeySequence::PortableText));
    }
    EXPECT_EQ(mnemonics, (QStringList{"Alt+Ф", "Alt+Т", "Alt+Н", "Alt+Z", "Alt+П"}));
    EXPECT_EQ(Main().menu.exitAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(Main().menu.aboutAction->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(Main().menu.textManagerAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));

    // The shortcuts work in the active main window.
    QApplication::setActiveWindow(Main().Widget());
    QTest::keyClick(Main().Widget(), Qt::Key_F1);
    EXPECT_TRUE(p->aboutWindow->Visible());
    QTest::keyClick(Main().Widget(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(p->textManager->Visible());
    QTest::keyClick(Main().Widget(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(p.Test.App.Terminated());
}

}  // namespace
}  // namespace vistorel

namespace vistorel {
namespace {

// The control panel from the keyboard: Tab goes through the buttons that
// react, Space and Enter work them, the exercise panel's buttons take the
// keyboard while an exercise runs and give it back to «Старт» when it ends,
// and J opens the bookmarks.
TEST_F(Keyboard, ThePanelsButtonsFromTheKeyboard) {
    MainWindow& main = Main();
    QApplication::setActiveWindow(main.Widget());
    main.Focus(kStart).setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 6; ++i) {
        order.append(FocusedButton());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // The exercise panel's buttons are not drawn, so Tab passes them by.
    EXPECT_EQ(order, (QStringList{"Старт", "Настройки", "Выход", "О программе", "Тексты", ""}));
    EXPECT_EQ(main.Focus(kStart).geometry(), QRect(main.PanelX + 5, main.PanelY + 13, 90, 36));

    QTest::keyClick(&main.Focus(kStart), Qt::Key_Space);
    ASSERT_TRUE(p->ExerciseActive);
    EXPECT_TRUE(main.Focus(kPause).hasFocus());
    EXPECT_FALSE(main.Focus(kStart).isEnabled());
    EXPECT_TRUE(main.Focus(kJump).isVisible());
    Exercise().OnStepTick();  // a step every 1000 ms: speed 10
    QTest::keyClick(&main.Focus(kPause), Qt::Key_Return);
    EXPECT_FALSE(Exercise().stepTimer.Enabled());
    EXPECT_EQ(main.progress.panelLabel.Caption().section(QStringLiteral(" · "), 0, 0), QStringLiteral("пауза"));
    QTest::keyClick(&main.Focus(kPause), Qt::Key_Space);
    EXPECT_TRUE(Exercise().stepTimer.Enabled());
    EXPECT_NE(main.progress.panelLabel.Caption().section(QStringLiteral(" · "), 0, 0), QStringLiteral("пауза"));
    QTest::keyClick(&main.Focus(kFaster), Qt::Key_Space);
    QTest::keyClick(&main.Focus(kFaster), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(p->Exercise.SpeedValue, 12);
    QTest::keyClick(&main.Focus(kSlower), Qt::Key_Space);
    EXPECT_EQ(p->Exercise.SpeedValue, 11);
    // J (О in the Russian layout) opens the bookmarks; the text is no library text.
    QTest::keyClick(main.Widget(), Qt::Key_J);
    QTest::sendKeyEvent(QTest::Click, main.Widget(), static_cast<Qt::Key>(u'О'), QStringLiteral("о"), {});
    EXPECT_EQ(p.Test.Dialogs.Messages,
              QStringList(2, QStringLiteral("Error:Unknown text, no bookmarks found")));

    main.Focus(kQuit).setFocus(Qt::TabFocusReason);
    QTest::keyClick(&main.Focus(kQuit), Qt::Key_Space);
    EXPECT_FALSE(p->ExerciseActive);
    EXPECT_TRUE(main.Focus(kStart).hasFocus());
    EXPECT_FALSE(main.Focus(kQuit).isVisible());
    EXPECT_TRUE(Errors().isEmpty()) << Errors().toStdString();
}

// Alt and the key of a Russian mnemonic open its menu in a Latin layout
// too, as the Russian letter itself does: the menu shown, its first item lit.
TEST_F(Keyboard, MnemonicsWorkInTheLatinLayout) {
    QApplication::setActiveWindow(Main().Widget());
    const QList<QAction*> menus = Main().menu.Bar()->actions();
    const std::vector<std::pair<Qt::Key, int>> keys = {{Qt::Key_A, 0}, {Qt::Key_N, 1}, {Qt::Key_Y, 2}, {Qt::Key_G, 4}};
    for (const auto& [key, index] : keys) {
        QMenu* menu = menus[index]->menu();
        QTest::keyClick(Main().Widget(), key, Qt::AltModifier);
        EXPECT_TRUE(menu->isVisible()) << menu->title().toStdString();
        EXPECT_EQ(menu->activeAction(), menu->actions().front()) << menu->title().toStdString();
        menu->hide();
    }
    // A key whose Russian letter is no mnemonic opens nothing; Alt+Z is the
    // Latin mnemonic of its own menu.
    QTest::keyClick(Main().Widget(), Qt::Key_B, Qt::AltModifier);
    for (const QAction* menu : menus) EXPECT_FALSE(menu->menu()->isVisible());
    QTest::keyClick(Main().Widget(), Qt::Key_Z, Qt::AltModifier);
    EXPECT_TRUE(menus[3]->menu()->isVisible());
    menus[3]->menu()->hide();
}

// «Текст → Добавить текст» adds a text until the window has been opened for
// adding or replacing; after that it keeps the mode of that opening.
TEST_F(Keyboard, AddTextFromTheMenuAddsOnAFreshStart) {
    AddTextWindow& adder = *p->addTextWindow;
    Main().menu.addTextAction->trigger();
    ASSERT_TRUE(adder.Visible());
    EXPECT_TRUE(adder.AddTextMode);
    EXPECT_EQ(adder.numberLabel.Caption(), QStringLiteral("1"));
    adder.titleEdit.setText(QStringLiteral("Первый"));
    adder.pathEdit.setText(QStringLiteral("text.txt"));
    QTest::keyClick(&adder.Focus(AddTextWindow::kAdd), Qt::Key_Space);
    ASSERT_EQ(p->TextCount, 1);
    EXPECT_EQ(p->TextLibrary[1].Title.Text(), QStringLiteral("Первый"));

    adder.OpenForReplacing(1);
    QTest::keyClick(&adder.Focus(AddTextWindow::kCancel), Qt::Key_Return);
    EXPECT_FALSE(adder.Visible());
    Main().menu.addTextAction->trigger();
    EXPECT_FALSE(adder.AddTextMode);
    EXPECT_EQ(adder.EditedTextIndex, 1);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().toStdString();
}

// A window closed from the keyboard gives it back to the window it came
// from, so that the menus' shortcuts go on working without a window manager;
// Escape closes the statistics.
TEST_F(Keyboard, AClosedWindowGivesTheKeyboardBack) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main().Widget()));
    p->textManager->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(p->textManager->Widget()));
    p->textManager->Focus(TextManagerWindow::kAdd).Activate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(p->addTextWindow->Widget()));
    QTest::keyClick(&p->addTextWindow->titleEdit, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitForWindowActive(p->textManager->Widget()));
    QTest::keyClick(&p->textManager->titleList, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitForWindowActive(Main().Widget()));

    Main().menu.statisticsAction->trigger();
    ASSERT_TRUE(p->statisticsWindow->Visible());
    QTest::keyClick(p->statisticsWindow->Widget(), Qt::Key_Escape);
    EXPECT_FALSE(p->statisticsWindow->Visible());
}

// A screen reader reads every field by the caption beside it, and every
// small glyph button by what it does; Tab reaches the glyph buttons.
TEST_F(Keyboard, FieldsAndGlyphButtonsAreNamedForScreenReaders) {
    const auto name = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    PreferencesWindow& preferences = *p->preferencesWindow;
    AddTextWindow& adder = *p->addTextWindow;
    const std::vector<std::pair<QWidget*, QString>> named = {
        {&adder.titleEdit, QStringLiteral("Название")},
        {&adder.pathEdit, QStringLiteral("Путь к файлу")},
        {&adder.descriptionEdit, QStringLiteral("Описание")},
        {&adder.chooseFileButton, QStringLiteral("Выбрать файл текста")},
        {&p->textManager->titleList, QStringLiteral("Название текста")},
        {&p->jumpToBookmarkWindow->bookmarkList, QStringLiteral("Закладки")},
        {&p->addBookmarkWindow->nameEdit, QStringLiteral("Название закладки")},
        {preferences.levelList, QStringLiteral("Уровень сложности")},
        {preferences.fontSizeSpin, QStringLiteral("Размер шрифта")},
        {preferences.fontButton, QStringLiteral("Выбрать шрифт")},
        {preferences.backColorButton, QStringLiteral("Цвет фона")},
        {preferences.textColorButton, QStringLiteral("Цвет текста")},
        {preferences.pictureButton, QStringLiteral("Выбрать картинку")},
        {preferences.usePictureBox, QStringLiteral("Показывать картинку")},
        {p->memoryTest->answerBoxes[7], QStringLiteral("Кольцо 8")},
    };
    for (const auto& [widget, expected] : named) EXPECT_EQ(name(widget), expected);
    for (QWidget* glyph : std::initializer_list<QWidget*>{&adder.chooseFileButton, preferences.fontButton,
                                                         preferences.textFileButton, preferences.pictureButton}) {
        EXPECT_EQ(glyph->focusPolicy(), Qt::TabFocus) << name(glyph).toStdString();
    }
    // The windows are frames and dialogs, by their titles.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Main().Widget())->role(), QAccessible::Window);
    QAccessibleInterface* manager = QAccessible::queryAccessibleInterface(p->textManager->Widget());
    EXPECT_EQ(manager->role(), QAccessible::Dialog);
    EXPECT_EQ(manager->text(QAccessible::Name), QStringLiteral("Text manager"));
}

// The tests' «Старт» and «Стоп» from the keyboard: the reading test starts
// and stops with Space, and Tab in the memory test goes from «Старт» through
// the eight answers to «Стоп».
TEST_F(Keyboard, TheTestsStartAndStopFromTheKeyboard) {
    p.Dir.Write(QStringLiteral("long.txt"), QByteArray(2100, 'a'));
    p->SettingsRecord.TextPath.SetText(QStringLiteral("long.txt"));
    ReadingSpeedTestWindow& reading = *p->readingSpeedTest;
    reading.Show();
    QTest::keyClick(&reading.Buttons().Focus(kTestStart), Qt::Key_Space);
    EXPECT_TRUE(reading.Running());
    QTest::keyClick(&reading.Buttons().Focus(kTestStop), Qt::Key_Return);
    EXPECT_FALSE(reading.Running());

    MemoryTestWindow& memory = *p->memoryTest;
    QList<QWidget*> chain;
    for (QWidget* w = &memory.Buttons().Focus(kTestStart); chain.size() < 10; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus) chain.append(w);
    }
    EXPECT_EQ(chain.front(), &memory.Buttons().Focus(kTestStart));
    EXPECT_EQ(chain[1], memory.answerBoxes[0]);
    EXPECT_EQ(chain[8], memory.answerBoxes[7]);
    EXPECT_EQ(chain[9], &memory.Buttons().Focus(kTestStop));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().toStdString();
}

}  // namespace
}  // namespace vistorel
