#pragma once
// What the user asked for on the command line: help, the version, or a run
// in the current folder or in the user's own data folder.

#include <QString>
#include <QStringList>

namespace vistorel {

struct CommandLine {
    enum class Action { Run, Help, Version, Refuse };
    Action Request = Action::Run;
    // Work in the user's own data folder (--data-folder), or in the folder
    // given with it, instead of the current folder.
    bool UseDataFolder = false;
    QString DataFolder;
    // The Qt options that decide where the windows go, when given.
    QString Platform;
    QString Display;
    // Why the command line was refused.
    QString Problem;
};

// Reads the arguments after the program name. Qt's own options (-platform,
// -display, -style ...) are accepted and left for Qt.
CommandLine ParseCommandLine(const QStringList& arguments);

// The version line: "Vistorel 4.0".
QString VersionText();
// The full help of `vistorel --help`.
QString HelpText();
// The short line shown with a refused command line.
QString UsageText();

}  // namespace vistorel
