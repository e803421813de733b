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

#include <QKeyEvent>
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

// The Russian letter on the key of the standard Russian layout that carries
// `latinKey` (a Qt key code: capital Latin letters and the ASCII punctuation)
// in the US layout; none for other keys.
QChar RussianLetterOnKey(int latinKey) {
    static constexpr char16_t kKeys[][2] = {
        {u'Q', u'Й'}, {u'W', u'Ц'}, {u'E', u'У'}, {u'R', u'К'}, {u'T', u'Е'}, {u'Y', u'Н'}, {u'U', u'Г'},
        {u'I', u'Ш'}, {u'O', u'Щ'}, {u'P', u'З'}, {u'[', u'Х'}, {u']', u'Ъ'}, {u'A', u'Ф'}, {u'S', u'Ы'},
        {u'D', u'В'}, {u'F', u'А'}, {u'G', u'П'}, {u'H', u'Р'}, {u'J', u'О'}, {u'K', u'Л'}, {u'L', u'Д'},
        {u';', u'Ж'}, {u'\'', u'Э'}, {u'Z', u'Я'}, {u'X', u'Ч'}, {u'C', u'С'}, {u'V', u'М'}, {u'B', u'И'},
        {u'N', u'Т'}, {u'M', u'Ь'}, {u',', u'Б'}, {u'.', u'Ю'}, {u'`', u'Ё'},
    };
    for (const auto& [latin, russian] : kKeys) {
        if (latinKey == latin) return QChar(russian);
    }
    return {};
}

// Alt and a letter open the menu of that mnemonic in the Russian layout,
// where Qt finds it by itself. In a Latin layout the key event carries the
// Latin letter, which no mnemonic has; the menu at the Russian letter of the
// same key is opened here, as Qt opens it: the menu shown, its first item lit.
class LatinMnemonics : public QObject {
public:
    LatinMnemonics(QMenuBar& bar, QWidget& window) : bar_(bar) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() != Qt::AltModifier) return false;
        const QChar letter = RussianLetterOnKey(key->key());
        if (letter.isNull()) return false;
        const QKeySequence wanted(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(letter.unicode())));
        for (QAction* action : bar_.actions()) {
            if (action->menu() == nullptr || !action->isEnabled() || QKeySequence::mnemonic(action->text()) != wanted) {
                continue;
            }
            bar_.setActiveAction(action);
            if (!action->menu()->actions().isEmpty()) action->menu()->setActiveAction(action->menu()->actions().front());
            return true;
        }
        return false;
    }

private:
    QMenuBar& bar_;
};

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
    // The window keeps the mode of its last opening; before any, it adds.
    addTextAction = item(texts, QStringLiteral("Добавить текст"), [&program] {
        AddTextWindow& adder = *program.addTextWindow;
        if (adder.ModeChosen()) {
            adder.Show();
        } else {
            adder.OpenForAdding();
        }
    });

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

    latinMnemonics_ = std::make_unique<LatinMnemonics>(*bar_, *window.Widget());
}

MainMenu::~MainMenu() = default;

}  // namespace vistorel
