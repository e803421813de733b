// Image buttons as every skinned window uses them: pictures loaded by their
// names, a hit rectangle that excludes its edges, the hover picture drawn
// once on entering and the normal one once on leaving, and the designed frame
// that places bottom buttons whatever frame the desktop draws.

#include "TestSupport.h"
#include "platform/Bitmap.h"
#include "platform/Errors.h"
#include "platform/Form.h"
#include "skin/DesignedFrame.h"
#include "skin/ImageButton.h"
#include "skin/PictureLoader.h"

#include <gtest/gtest.h>

using namespace vistorel;

namespace {

class FolderPictures : public PictureLoader {
public:
    FolderPictures(Application& app, QString folder) : app_(app), folder_(std::move(folder)) {}
    void LoadImageOrReport(Bitmap& bitmap, const QString& name) const override {
        try {
            bitmap.LoadFromFile(ResolveImageName(folder_, name));
        } catch (const Error& e) {
            app_.ReportError(e.Message());
        }
    }

private:
    Application& app_;
    QString folder_;
};

class Surface : public Form {
public:
    explicit Surface(Application& app) : Form(app) { SetClientSize(300, 200); }
};

}  // namespace

TEST(ImageButton, HoverPictureOnceOnEnteringNormalOnceOnLeavingInsideExclusiveBounds) {
    test::TestApplication t;
    test::StartDirectory dir;
    FolderPictures pictures(t.App, dir.Path());
    ButtonImages images;
    LoadButtonImages(pictures, images, "images\\test.bmp", "images\\test1.bmp");
    LoadButtonImages(pictures, images, "images\\nothere.bmp", "images\\test1.bmp");
    ASSERT_EQ(t.Errors.Messages.size(), 1);  // the missing picture, reported once
    EXPECT_TRUE(t.Errors.Messages.front().contains(QStringLiteral("nothere.bmp")));
    LoadButtonImages(pictures, images, "images\\test.bmp", "images\\test1.bmp");

    Surface surface(t.App);
    surface.Show();
    const HitRect rect{10, 20, 70, 50};
    const ImageButton button{&images, QPoint(10, 20), rect, rect};
    button.DrawNormal(surface.Canvas);
    const TColor normal = surface.Canvas.Pixel(40, 35);

    bool hovered = false;
    EXPECT_FALSE(button.Track(surface.Canvas, 10, 35, hovered));  // on the left edge: outside
    EXPECT_FALSE(button.Track(surface.Canvas, 40, 50, hovered));  // on the bottom edge: outside
    EXPECT_TRUE(button.Track(surface.Canvas, 11, 21, hovered));
    EXPECT_TRUE(hovered);
    const TColor lit = surface.Canvas.Pixel(40, 35);
    EXPECT_NE(lit, normal);
    EXPECT_FALSE(button.Track(surface.Canvas, 69, 49, hovered));  // still inside: nothing drawn again
    EXPECT_TRUE(button.Track(surface.Canvas, 70, 49, hovered));   // on the right edge: left
    EXPECT_FALSE(hovered);
    EXPECT_EQ(surface.Canvas.Pixel(40, 35), normal);
    EXPECT_TRUE(button.Clicked(69, 49));
    EXPECT_FALSE(button.Clicked(69, 20));
}

TEST(DesignedFrame, OuterHeightIsTheClientAreaAndTheDesignedCaptionAndBorders) {
    test::TestApplication t;
    Surface surface(t.App);
    EXPECT_EQ(DesignedOuterHeight(surface), 229);
}
