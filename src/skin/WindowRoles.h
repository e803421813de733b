#pragma once
// What a screen reader is told about the program's own windows: a window
// with a maximise button, a tool window and a full-screen one are frames,
// every other one (the dialogs, framed or skinned) a dialog, each named by
// its title.

namespace vistorel {

// Installs the rule for the whole application; installing it again changes nothing.
void InstallWindowRoles();

}  // namespace vistorel
