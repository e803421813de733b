#include "app/CommandLine.h"

#include "app/Workspace.h"

#include <array>

namespace vistorel {
namespace {

// Qt's own options that a Qt program takes, with whether a value follows.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr std::array kQtOptions = {
    QtOption{"-platform", true},   QtOption{"-platformpluginpath", true}, QtOption{"-platformtheme", true},
    QtOption{"-plugin", true},     QtOption{"-display", true},            QtOption{"-geometry", true},
    QtOption{"-qwindowgeometry", true}, QtOption{"-qwindowicon", true},   QtOption{"-qwindowtitle", true},
    QtOption{"-session", true},    QtOption{"-style", true},              QtOption{"-stylesheet", true},
    QtOption{"-name", true},       QtOption{"-title", true},              QtOption{"-reverse", false},
    QtOption{"-widgetcount", false}, QtOption{"-nograb", false},          QtOption{"-dograb", false},
    QtOption{"-sync", false},
};

const QtOption* FindQtOption(const QString& argument) {
    // Qt takes its options with one dash or two.
    const QString name = argument.startsWith(QStringLiteral("--")) ? argument.mid(1) : argument;
    for (const QtOption& option : kQtOptions) {
        if (name == QLatin1String(option.name)) return &option;
    }
    return nullptr;
}

bool IsStyleWithValue(const QString& argument) {
    return argument.startsWith(QStringLiteral("-style=")) || argument.startsWith(QStringLiteral("-stylesheet=")) ||
           argument.startsWith(QStringLiteral("--style=")) || argument.startsWith(QStringLiteral("--stylesheet="));
}

CommandLine Refused(const QString& problem) {
    CommandLine refused;
    refused.Request = CommandLine::Action::Refuse;
    refused.Problem = problem;
    return refused;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    const QString dataFolderWithValue = QStringLiteral("--data-folder=");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("-h") || argument == QStringLiteral("--help")) {
            line.Request = CommandLine::Action::Help;
            return line;
        }
        if (argument == QStringLiteral("--version")) {
            line.Request = CommandLine::Action::Version;
            return line;
        }
        if (argument == QStringLiteral("--data-folder")) {
            line.UseDataFolder = true;
            line.DataFolder.clear();
        } else if (argument.startsWith(dataFolderWithValue)) {
            line.UseDataFolder = true;
            line.DataFolder = argument.mid(dataFolderWithValue.size());
            if (line.DataFolder.isEmpty()) {
                return Refused(QStringLiteral("после «--data-folder=» не указана папка"));
            }
        } else if (const QtOption* option = FindQtOption(argument)) {
            if (!option->takesValue) continue;
            if (i + 1 >= arguments.size()) {
                return Refused(QStringLiteral("для параметра «%1» не указано значение").arg(argument));
            }
            const QString& value = arguments[++i];
            if (argument.endsWith(QStringLiteral("-platform"))) line.Platform = value;
            if (argument.endsWith(QStringLiteral("-display"))) line.Display = value;
        } else if (IsStyleWithValue(argument)) {
            continue;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            return Refused(QStringLiteral("неизвестный параметр «%1»").arg(argument));
        } else {
            return Refused(QStringLiteral("лишний аргумент «%1»: программа не принимает имён файлов").arg(argument));
        }
    }
    return line;
}

QString VersionText() { return QStringLiteral("Vistorel " VISTOREL_VERSION); }

QString UsageText() {
    return QStringLiteral("Использование: vistorel [--data-folder[=ПАПКА]] [--help] [--version]\n"
                          "Подробнее: vistorel --help");
}

QString HelpText() {
    return QStringLiteral(
               "Использование: vistorel [ПАРАМЕТРЫ]\n"
               "Висторель — тренажёр скорочтения.\n"
               "\n"
               "Программа работает в своей рабочей папке: там лежат настройки (Vistorel.ini)\n"
               "и библиотека текстов (book_data.dat). Запущенная без параметров, например из\n"
               "терминала, она работает в текущей папке.\n"
               "\n"
               "Параметры:\n"
               "  --data-folder          работать в папке данных пользователя\n"
               "                         ($XDG_DATA_HOME/vistorel, по умолчанию\n"
               "                         ~/.local/share/vistorel; сейчас это\n"
               "                         %1).\n"
               "                         Так программу запускает её пункт в меню приложений.\n"
               "                         При первом запуске папка создаётся с учебным\n"
               "                         текстом, настройками, которые его называют, и\n"
               "                         библиотекой с его записью; то, что в ней уже есть,\n"
               "                         не перезаписывается.\n"
               "  --data-folder=ПАПКА    то же в указанной папке\n"
               "  -h, --help             показать эту справку и выйти\n"
               "      --version          показать версию программы и выйти\n"
               "\n"
               "Если в рабочей папке нет папки images, картинки окон берутся из установленных\n"
               "файлов программы (share/vistorel/images рядом с папкой bin программы); туда\n"
               "программа ничего не пишет.\n"
               "Принимаются и стандартные параметры Qt: -platform, -display, -style и другие.\n"
               "\n"
               "Код выхода: 0 — успешно, 1 — не удалось открыть окна, 2 — ошибка в параметрах.")
        .arg(UserDataFolder());
}

}  // namespace vistorel
