#pragma once
// The main window's menu bar: the commands of the control panel's idle
// buttons, the text library, the trainers and the tests. Every item only
// opens a window (brought to the front when already open, never modal) or
// runs an operation of the program; the menu works also during an exercise.

#include <memory>

class QAction;
class QMenuBar;
class QObject;

namespace vistorel {

class MainWindow;
class Program;

class MainMenu {
public:
    MainMenu(Program& program, MainWindow& window);
    ~MainMenu();
    MainMenu(const MainMenu&) = delete;
    MainMenu& operator=(const MainMenu&) = delete;

    // The bar, for the main window to take (it then owns it).
    QMenuBar* Bar() const { return bar_; }

    QAction* startAction;
    QAction* resumeAction;
    QAction* exitAction;
    QAction* textManagerAction;
    QAction* addTextAction;
    QAction* preferencesAction;
    QAction* automaticStagesAction;  // checkable: the stages change by themselves
    QAction* breakAction;
    QAction* readingTestAction;
    QAction* ipsTestAction;
    QAction* memoryTestAction;
    QAction* statisticsAction;
    QAction* aboutAction;

private:
    QMenuBar* bar_;
    // Opens a menu with a Russian mnemonic when Alt and the key where the
    // Russian layout has that letter are pressed in a Latin layout.
    std::unique_ptr<QObject> latinMnemonics_;
};

}  // namespace vistorel
