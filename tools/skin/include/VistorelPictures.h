#pragma once
// The pictures compiled into the program (drawn by skin_gen at build time).

namespace vistorel::pictures {

extern const char kAbout[];   // ":/pictures/about.bmp", 400x316, the top 249 rows shown
extern const char kLegend[];  // ":/pictures/legend.jpg", 231x154

}  // namespace vistorel::pictures
