#pragma once
// The ready workspace of a first run: the images, the practice text, a
// settings file that names the text, and a library holding its entry.

#include <QString>

namespace vistorel {

// Prepares `workspace` from the images folder and the practice text. What
// already exists is kept, so the user's own settings and library survive.
// Returns an empty string, or what could not be done.
QString PrepareWorkspace(const QString& workspace, const QString& images, const QString& practiceText);

}  // namespace vistorel
