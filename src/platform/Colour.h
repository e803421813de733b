#pragma once
// Colours are 32-bit values in the 0x00BBGGRR layout (red in the low byte);
// they are converted to Qt colours here and nowhere else.

#include <QColor>
#include <cstdint>

namespace vistorel {

using TColor = std::int32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clBtnFace = 0xC8D0D4;  // the grey of dialog faces
inline constexpr TColor clAccent = 0x4DA1FF;   // the program's orange

inline QColor ToQColor(TColor c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

inline TColor FromQColor(const QColor& c) {
    return static_cast<TColor>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

// The 0x00RRGGBB value Qt keeps in a QImage pixel, from a colour value.
inline std::uint32_t ToRgb(TColor c) {
    return 0xFF000000u | (static_cast<std::uint32_t>(c & 0xFF) << 16) |
           (static_cast<std::uint32_t>(c) & 0xFF00u) | ((static_cast<std::uint32_t>(c) >> 16) & 0xFFu);
}

inline TColor FromRgb(std::uint32_t rgb) {
    return static_cast<TColor>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

}  // namespace vistorel
