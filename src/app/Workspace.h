#pragma once
// The folders the program works with besides the one it is started in: the
// user's own data folder, the installed data (pictures and the practice
// text), and a ready workspace made on the first start.

#include <QString>

namespace vistorel {

// The user's own data folder: "$XDG_DATA_HOME/vistorel", or
// "~/.local/share/vistorel" when XDG_DATA_HOME is not set or not absolute.
QString UserDataFolder();

// The installed data of a program that lives in programFolder: the folder
// "../share/vistorel" beside it when there is one (an installed program,
// wherever its prefix was moved), otherwise programFolder itself when it
// holds the "images" folder (the build tree). When neither is there, the
// place where the installed data should be, so that a message can name it.
QString InstalledDataFolder(const QString& programFolder);

// Makes folder a ready workspace for a first start: a copy of the practice
// text, a settings file that names it, and a library holding its entry; with
// imagesFolder given, also a link "images" to it. What already exists is
// kept, so the user's own settings and library survive every later start.
// Raises FileError when the folder cannot be made, the practice text cannot
// be read or copied, or a file cannot be written.
void PrepareWorkspace(const QString& folder, const QString& practiceText, const QString& imagesFolder = {});

}  // namespace vistorel
