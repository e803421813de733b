// Drawing rules of the canvas, checked pixel by pixel on an image surface.

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

#include <gtest/gtest.h>

using namespace vistorel;

namespace {

constexpr TColor kBack = 0x102030;

struct CanvasFixture : ::testing::Test {
    ImageSurface surface{40, 30, kBack};
    Canvas canvas{surface};
};

}  // namespace

TEST_F(CanvasFixture, RectangleCoversItsLeftAndTopEdgesButNotItsRightAndBottom) {
    canvas.Pen.Color = clRed;
    canvas.Brush.Color = clLime;
    canvas.Rectangle(5, 6, 15, 12);
    EXPECT_EQ(canvas.Pixel(5, 6), clRed);     // top-left corner
    EXPECT_EQ(canvas.Pixel(14, 11), clRed);   // last pixel inside: x2-1, y2-1
    EXPECT_EQ(canvas.Pixel(15, 11), kBack);   // right edge excluded
    EXPECT_EQ(canvas.Pixel(14, 12), kBack);   // bottom edge excluded
    EXPECT_EQ(canvas.Pixel(4, 6), kBack);
    EXPECT_EQ(canvas.Pixel(10, 9), clLime);   // inside: brush
    EXPECT_EQ(canvas.Pixel(14, 9), clRed);    // right outline
    EXPECT_EQ(canvas.Pixel(10, 11), clRed);   // bottom outline
}

TEST_F(CanvasFixture, ClearBrushDrawsOnlyTheOutlineAndReversedCornersAreNormalised) {
    canvas.Pen.Color = clWhite;
    canvas.Brush.Style = BrushStyle::Clear;
    canvas.Rectangle(20, 20, 10, 10);
    EXPECT_EQ(canvas.Pixel(10, 10), clWhite);
    EXPECT_EQ(canvas.Pixel(19, 19), clWhite);
    EXPECT_EQ(canvas.Pixel(15, 15), kBack);
    // Rectangles partly outside the surface are clipped, not refused.
    canvas.Brush.Style = BrushStyle::Solid;
    canvas.Brush.Color = clBlue;
    canvas.Rectangle(-10, -10, 3, 3);
    EXPECT_EQ(canvas.Pixel(0, 0), clBlue);
    EXPECT_EQ(canvas.Pixel(2, 2), clWhite);
    EXPECT_EQ(canvas.Pixel(3, 3), kBack);
}

TEST_F(CanvasFixture, LineToExcludesItsEndPointAndMovesThePen) {
    canvas.Pen.Color = clWhite;
    canvas.MoveTo(3, 0);
    canvas.LineTo(3, 10);
    EXPECT_EQ(canvas.Pixel(3, 0), clWhite);
    EXPECT_EQ(canvas.Pixel(3, 9), clWhite);
    EXPECT_EQ(canvas.Pixel(3, 10), kBack);
    EXPECT_EQ(canvas.PenPos(), QPoint(3, 10));
    canvas.LineTo(13, 10);  // continues from the pen position
    EXPECT_EQ(canvas.Pixel(3, 10), clWhite);
    EXPECT_EQ(canvas.Pixel(12, 10), clWhite);
    EXPECT_EQ(canvas.Pixel(13, 10), kBack);
    // A line that runs off the surface is clipped.
    canvas.MoveTo(30, 5);
    canvas.LineTo(60, 5);
    EXPECT_EQ(canvas.Pixel(39, 5), clWhite);
}

TEST_F(CanvasFixture, TextIsDrawnOnTheBrushUnlessTheBrushIsClear) {
    canvas.Font.Color = clWhite;
    canvas.Brush.Color = clRed;
    canvas.TextOut(2, 2, QStringLiteral("ii"));
    EXPECT_EQ(canvas.Pixel(2, 2), clRed);  // the text cell starts with background
    canvas.Brush.Style = BrushStyle::Clear;
    canvas.TextOut(2, 18, QStringLiteral("ii"));
    EXPECT_EQ(canvas.Pixel(2, 18), kBack);
    int lit = 0;
    for (int y = 18; y < 30; ++y) {
        for (int x = 2; x < 12; ++x) lit += canvas.Pixel(x, y) != kBack;
    }
    EXPECT_GT(lit, 0);
}

TEST_F(CanvasFixture, PixelsOutsideTheSurfaceAreIgnoredAndReadAsInvalid) {
    canvas.SetPixel(-1, 0, clWhite);
    canvas.SetPixel(40, 0, clWhite);
    canvas.SetPixel(39, 29, clWhite);
    EXPECT_EQ(canvas.Pixel(39, 29), clWhite);
    EXPECT_EQ(canvas.Pixel(40, 29), -1);
    EXPECT_EQ(canvas.Pixel(0, -1), -1);
}

TEST_F(CanvasFixture, ColoursKeepTheirRedGreenBlueOrder) {
    canvas.SetPixel(1, 1, clAccent);
    const QRgb rgb = surface.SurfaceImage().pixel(1, 1);
    EXPECT_EQ(qRed(rgb), 0xFF);
    EXPECT_EQ(qGreen(rgb), 0xA1);
    EXPECT_EQ(qBlue(rgb), 0x4D);
}

namespace {

QStringList& PainterWarnings() {
    static QStringList warnings;
    return warnings;
}

void CollectWarning(QtMsgType, const QMessageLogContext&, const QString& message) { PainterWarnings().append(message); }

}  // namespace

// A window shrunk to nothing has an empty surface: text and pictures drawn
// on it go nowhere, without a painter warning on the console for each.
TEST(EmptySurfaceCanvas, DrawsNothingAndWarnsOfNothing) {
    ImageSurface empty(120, 0);
    Canvas canvas{empty};
    Bitmap picture;
    picture.LoadFromFile(QStringLiteral(":/pictures/about.bmp"));
    PainterWarnings().clear();
    const QtMessageHandler previous = qInstallMessageHandler(CollectWarning);
    canvas.TextOut(2, 2, QStringLiteral("text"));
    canvas.Draw(0, 0, picture);
    qInstallMessageHandler(previous);
    EXPECT_TRUE(PainterWarnings().isEmpty()) << PainterWarnings().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(canvas.Pixel(2, 0), -1);
}
