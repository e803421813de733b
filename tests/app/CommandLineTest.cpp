// The command line: the data folder option, Qt's own options left for Qt,
// and everything else refused with the reason.

#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace vistorel {
namespace {

using Action = CommandLine::Action;

CommandLine Runs(bool useDataFolder, const QString& dataFolder = {}, const QString& platform = {},
                 const QString& display = {}) {
    CommandLine line;
    line.UseDataFolder = useDataFolder;
    line.DataFolder = dataFolder;
    line.Platform = platform;
    line.Display = display;
    return line;
}

CommandLine Asks(Action request) {
    CommandLine line;
    line.Request = request;
    return line;
}

// A refused line whose reason holds this text.
CommandLine Refuses(const QString& problem) {
    CommandLine line = Asks(Action::Refuse);
    line.Problem = problem;
    return line;
}

// Every form the program takes, and the mistakes a user makes: the first of
// help, version or a mistake decides, and Qt's options with their values are
// passed over (the display check reads -platform and -display).
TEST(CommandLine, TakesTheDataFolderAndQtsOptionsAndRefusesAnythingElse) {
    const QString folder = QStringLiteral("/home/anna/Чтение");
    const std::vector<std::pair<QStringList, CommandLine>> cases = {
        {{}, Runs(false)},
        {{QStringLiteral("--data-folder")}, Runs(true)},
        {{QStringLiteral("--data-folder=") + folder}, Runs(true, folder)},
        {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--display"), QStringLiteral(":3"),
          QStringLiteral("-reverse"), QStringLiteral("-style=fusion"), QStringLiteral("-style"), QStringLiteral("fusion"),
          QStringLiteral("--data-folder")},
         Runs(true, {}, QStringLiteral("offscreen"), QStringLiteral(":3"))},
        {{QStringLiteral("--data-folder"), QStringLiteral("-h")}, Asks(Action::Help)},
        {{QStringLiteral("--help"), QStringLiteral("--bogus")}, Asks(Action::Help)},
        {{QStringLiteral("--version"), QStringLiteral("extra")}, Asks(Action::Version)},
        {{QStringLiteral("--bogus"), QStringLiteral("--help")}, Refuses(QStringLiteral("неизвестный параметр «--bogus»"))},
        {{QStringLiteral("-v")}, Refuses(QStringLiteral("неизвестный параметр «-v»"))},
        {{QStringLiteral("--data-folder=")}, Refuses(QStringLiteral("не указана папка"))},
        {{QStringLiteral("--data-folder"), QStringLiteral("-display")},
         Refuses(QStringLiteral("для параметра «-display» не указано значение"))},
        {{QStringLiteral("book.txt")}, Refuses(QStringLiteral("лишний аргумент «book.txt»"))},
    };
    for (const auto& [arguments, expected] : cases) {
        const CommandLine line = ParseCommandLine(arguments);
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(line.Request, expected.Request);
        if (expected.Request == Action::Refuse) {
            EXPECT_TRUE(line.Problem.contains(expected.Problem)) << line.Problem.toStdString();
        } else if (expected.Request == Action::Run) {
            EXPECT_EQ(line.UseDataFolder, expected.UseDataFolder);
            EXPECT_EQ(line.DataFolder, expected.DataFolder);
            EXPECT_EQ(line.Platform, expected.Platform);
            EXPECT_EQ(line.Display, expected.Display);
        }
    }
}

}  // namespace
}  // namespace vistorel
