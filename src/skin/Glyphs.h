#pragma once
// Small orange drawings for the buttons that open a file or a picture, in the
// look of the program's black windows.

#include <QIcon>

class QString;
class QToolButton;

namespace vistorel {

enum class Glyph { Folder, Picture };

// A 16 x 12 icon.
QIcon GlyphIcon(Glyph glyph);

// Makes a tool button one of these: flat until the pointer is over it, with a
// pointing hand, a tooltip, room for a 16 x 12 icon, reached with Tab (not
// taking the focus from a field when clicked), and named by its tooltip for
// screen readers.
void SetUpGlyphButton(QToolButton& button, const QString& tip);

}  // namespace vistorel
