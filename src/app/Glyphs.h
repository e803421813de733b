#pragma once
// Small orange drawings for the buttons that open a file or a picture, in the
// look of the program's black windows.

#include <QIcon>

namespace vistorel {

enum class Glyph { Folder, Picture };

// A 16 x 12 icon.
QIcon GlyphIcon(Glyph glyph);

}  // namespace vistorel
