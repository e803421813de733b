#include "platform/Font.h"

#include <cmath>

namespace vistorel {
namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

}  // namespace

int Font::Size() const { return MulDiv(Height, 72, 96); }

void Font::SetSize(int points) { Height = MulDiv(points, 96, 72); }

QFont Font::ToQFont() const {
    QFont font(Name);
    font.setPixelSize(Height > 0 ? Height : kDefaultFontHeight);
    font.setBold(Bold);
    font.setItalic(Italic);
    font.setUnderline(Underline);
    font.setStrikeOut(StrikeOut);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void InstallFontSubstitutions() {
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Westminster"), QStringLiteral("DejaVu Sans Mono"));
}

}  // namespace vistorel
