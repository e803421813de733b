#include "app/MainMenu.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "dialogs/AboutWindow.h"
#include "dialogs/PreferencesWindow.h"
#include "history/StatisticsWindow.h"
#include "library/AddTextWindow.h"
#include "library/TextManagerWindow.h"
#include "trainers/BreakScreen.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/MemoryTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QMenu>
#include <QMenuBar>

#include <functional>

namespace vistorel {
namespace {

// Black with the orange accent, like the windows it opens.
const char kMenuStyle[] =
    "QMenuBar { background: #141414; color: #F2EEE9; border-bottom: 1px solid #9A5E2A; }"
    "QMenuBar::item { padding: 3px 10px; background: transparent; }"
    "QMenuBar::item:selected, QMenuBar::item:pressed { background: #FFA14D; color: #1A1108; }"
    "QMenu { background: #1A1A1A; color: #F2EEE9; border: 1px solid #FFA14D; }"
    "QMenu::item { padding: 4px 24px 4px 16px; }"
    "QMenu::item:selected { background: #FFA14D; color: #1A1108; }";

}  // namespace

MainMenu::MainMenu(Program& program, MainWindow& window) : bar_(new QMenuBar) {
    bar_->setStyleSheet(QString::fromLatin1(kMenuStyle));
    // Each command runs through the handler guard: an error it raises is
    // reported and the program carries on.
    const auto item = [&program](QMenu* menu, const QString& caption, std::function<void()> command) {
        QAction* action = menu->addAction(caption);
        QObject::connect(action, &QAction::triggered, action,
                         [&program, command = std::move(command)] { program.App.Guard(command); });
        return action;
    };

    // Menus open with Alt and their first letter; the shortcuts stand beside
    // their items and work in every window of the program.
    QMenu* file = bar_->addMenu(QStringLiteral("&Файл"));
    startAction = item(file, QStringLiteral("Старт"), [&window] { window.BeginExercise(); });
    resumeAction = item(file, QStringLiteral("Продолжить"), [&window] { window.ResumeExercise(); });
    exitAction = item(file, QStringLiteral("Выход"), [&window] { window.ExitProgram(); });
    exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    exitAction->setShortcutContext(Qt::ApplicationShortcut);

    QMenu* texts = bar_->addMenu(QStringLiteral("&Текст"));
    textManagerAction = item(texts, QStringLiteral("База текстов"), [&program] { program.textManager->Show(); });
    textManagerAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    textManagerAction->setShortcutContext(Qt::ApplicationShortcut);
    addTextAction = item(texts, QStringLiteral("Добавить текст"), [&program] { program.addTextWindow->Show(); });

    QMenu* settings = bar_->addMenu(QStringLiteral("&Настройки"));
    preferencesAction = item(settings, QStringLiteral("Основные"), [&program] { program.preferencesWindow->FillPreferences(); });
    automaticStagesAction = item(settings, QStringLiteral("Автоматическая смена этапов"),
                                 [&window, this] { window.SetAutomaticStages(automaticStagesAction->isChecked()); });
    automaticStagesAction->setCheckable(true);
    automaticStagesAction->setChecked(true);

    QMenu* trainers = bar_->addMenu(QStringLiteral("&ZazizAraderov"));
    breakAction = item(trainers, QStringLiteral("Перерыв"), [&program] { program.breakScreen->StartBreak(); });
    readingTestAction = item(trainers, QStringLiteral("Тест скорости чтения"), [&program] { program.readingSpeedTest->Show(); });
    ipsTestAction = item(trainers, QStringLiteral("IPS Тест-Тренер"), [&program] { program.ipsTest->Show(); });
    memoryTestAction = item(trainers, QStringLiteral("Тест памяти"), [&program] { program.memoryTest->Show(); });
    statisticsAction = item(trainers, QStringLiteral("Статистика"), [&program] { program.statisticsWindow->Show(); });

    QMenu* help = bar_->addMenu(QStringLiteral("&Помощь"));
    aboutAction = item(help, QStringLiteral("О программе"), [&program] { program.aboutWindow->Show(); });
    aboutAction->setShortcut(QKeySequence(Qt::Key_F1));
    aboutAction->setShortcutContext(Qt::ApplicationShortcut);
}

}  // namespace vistorel
