#pragma once
// What the library windows share: a change of the library that is saved at
// once and taken back in memory when the save fails, the orange-on-black look
// of their controls, and text titles that stay inside their window.

#include "platform/Font.h"

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace vistorel {

class Label;
class Program;

// Applies `change` to the library in memory, then saves the library file.
// When the save fails, the slots, TextCount and CurrentTextIndex are put back
// as they were before the change, so that memory agrees with the file (which
// keeps its previous contents), and the error goes on to the caller.
void ChangeTextLibrary(Program& program, const std::function<void()>& change);

// Keeps a slot number pointing at the same text after slot `deleted` was
// deleted: the deleted slot itself becomes 0 (no text), a later one moves
// down by one. Returns whether the number changed.
bool FollowDeletion(std::uint16_t& slot, int deleted);

// The slot of the current text, or 0 when the current text is not a text of
// the library (also when the slot number no longer designates a library entry).
int CurrentLibrarySlot(const Program& program);

// The windows' font: "MS Sans Serif", 8 points, orange.
Font LibraryFont(bool bold = false);

// Gives a list, edit field, text box, check box or label the orange text on
// black of the library windows, in their font.
void StyleLibraryControl(QWidget& control);

// Shows a text's title in a label placed at `left`; a title too long for the
// window is moved left, and shortened with "…" if it still does not fit, so
// that it stays readable inside a client area `clientWidth` wide.
void ShowTitle(Label& label, const QString& title, int left, int clientWidth);

}  // namespace vistorel
