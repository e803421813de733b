#pragma once
// A font as the window code describes it: face name, height in pixels, style
// and colour. Sizes in points are converted at 96 pixels per inch.

#include "platform/Colour.h"

#include <QFont>
#include <QString>

namespace vistorel {

struct Font {
    QString Name = QStringLiteral("MS Sans Serif");
    int Height = 11;  // pixels; 0 means the toolkit's default size
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    TColor Color = clBlack;

    // Point size, as the window code reads and sets it.
    int Size() const;
    void SetSize(int points);

    QFont ToQFont() const;
    bool operator==(const Font&) const = default;
};

// Pixel height of the toolkit's default font (a font of height 0).
inline constexpr int kDefaultFontHeight = 11;

// Maps the face names of the window definitions to installed faces.
void InstallFontSubstitutions();

}  // namespace vistorel
