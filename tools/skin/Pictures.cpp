// The pictures library's own code is just their paths; the pictures
// themselves sit in the resource object library attached to it, which
// registers them when the program starts.

#include "VistorelPictures.h"

namespace vistorel::pictures {

const char kAbout[] = ":/pictures/about.bmp";
const char kLegend[] = ":/pictures/legend.jpg";

}  // namespace vistorel::pictures
