// Draws every installation image of the program, each also at twice its size
// ("name@2x.bmp"): skin_gen IMAGES_DIR PICTURES_DIR.
// Run at build time with the offscreen platform; fails (and so fails the build)
// when an image cannot be written or a caption does not fit its button.

#include "SkinPaint.h"

#include <QGuiApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: skin_gen IMAGES_DIR PICTURES_DIR\n");
        return 2;
    }
    try {
        using namespace vistorel::skin;
        int written = 0;
        // Each picture at its size and at twice it, for screens scaled by 2.
        for (const int scale : {1, 2}) {
            Output out(args.at(1), args.at(2), scale);
            MakeBackgrounds(out);
            MakeControlPanel(out);
            MakeButtons(out);
            MakeTitles(out);
            MakeStartButton(out);
            MakeLogo(out);
            MakeRings(out);
            MakeAboutPicture(out);
            MakeLegend(out);
            if (scale == 1) MakeIcons(out);  // drawn in every size the desktop asks for
            written += out.Written();
        }
        std::printf("skin_gen: wrote %d images\n", written);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skin_gen: %s\n", e.what());
        return 1;
    }
    return 0;
}
