// Drawing on surfaces with more device pixels than logical ones (a screen
// scaled by 2 or 1.5): a logical pixel is its block of device pixels, and a
// picture with a sharper version beside it is drawn from that one.

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vistorel;

namespace {

constexpr TColor kBack = 0x102030;

// A picture whose every point differs from its neighbours.
QImage Speckled(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(20 * x, 40 * y, 7 * (x + y)));
    }
    return image;
}

}  // namespace

// At ratio 2 the rules hold in logical pixels and cover whole blocks: the
// rectangle's last logical column is device columns 28 and 29, its excluded
// right edge starts at 30; a line is a block wide; sizes stay logical.
TEST(ScaledDrawing, LogicalPixelsAreBlocksOfDevicePixels) {
    ImageSurface surface(40, 30, kBack, 2);
    Canvas canvas(surface);
    EXPECT_EQ(canvas.Width(), 40);
    EXPECT_EQ(canvas.Height(), 30);
    canvas.Pen.Color = clRed;
    canvas.Brush.Color = clLime;
    canvas.Rectangle(5, 6, 15, 12);
    EXPECT_EQ(canvas.Pixel(14, 11), clRed);
    EXPECT_EQ(canvas.Pixel(15, 11), kBack);
    EXPECT_EQ(canvas.Pixel(10, 9), clLime);
    const QImage& image = surface.SurfaceImage();
    EXPECT_EQ(image.size(), QSize(80, 60));
    EXPECT_EQ(FromRgb(image.pixel(29, 23)), clRed);
    EXPECT_EQ(FromRgb(image.pixel(30, 23)), kBack);
    EXPECT_EQ(FromRgb(image.pixel(9, 11)), kBack);
    EXPECT_EQ(FromRgb(image.pixel(10, 12)), clRed);

    canvas.Pen.Color = clWhite;
    canvas.MoveTo(30, 0);
    canvas.LineTo(30, 5);
    EXPECT_EQ(FromRgb(image.pixel(61, 9)), clWhite);
    EXPECT_EQ(FromRgb(image.pixel(62, 0)), kBack);
    EXPECT_EQ(FromRgb(image.pixel(60, 10)), kBack);  // the end point excluded
    canvas.SetPixel(39, 29, clBlue);
    EXPECT_EQ(FromRgb(image.pixel(79, 59)), clBlue);
    EXPECT_EQ(canvas.Pixel(40, 29), -1);
}

// At 1.5 logical pixels are one or two device pixels wide; side by side they
// cover every device pixel once.
TEST(ScaledDrawing, AtAFractionalRatioNeighboursNeitherOverlapNorPart) {
    ImageSurface surface(4, 2, kBack, 1.5);
    Canvas canvas(surface);
    const TColor colours[] = {clRed, clLime, clBlue, clWhite};
    for (int x = 0; x < 4; ++x) {
        canvas.Brush.Color = colours[x];
        canvas.FillRect(x, 0, x + 1, 2);
    }
    const QImage& image = surface.SurfaceImage();
    ASSERT_EQ(image.width(), 6);
    const TColor expected[] = {clRed, clLime, clLime, clBlue, clWhite, clWhite};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(FromRgb(image.pixel(x, 2)), expected[x]) << "device column " << x;
    EXPECT_EQ(DeviceRect(QRect(1, 1, 2, 1), 1.5), QRect(1, 1, 3, 2));
}

// A picture with "@2x" beside it, twice its size, is drawn from that one on a
// surface of ratio 2, point for point; sizes and places stay those of the
// picture itself. One of another size, or a surface of ratio 1, uses the picture.
TEST(ScaledDrawing, PicturesAreDrawnFromTheirSharperVersion) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = QDir(dir.path()).filePath(QStringLiteral("begin.bmp"));
    ASSERT_TRUE(Speckled(3, 2).save(path, "BMP"));
    EXPECT_EQ(SharpPicturePath(path), QDir(dir.path()).filePath(QStringLiteral("begin@2x.bmp")));
    ASSERT_TRUE(Speckled(6, 4).save(SharpPicturePath(path), "BMP"));

    Bitmap bitmap;
    bitmap.LoadFromFile(path, 1);
    EXPECT_FALSE(bitmap.HasSharp());
    bitmap.LoadFromFile(path, 2);
    ASSERT_TRUE(bitmap.HasSharp());
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.ImageFor(1).size(), QSize(3, 2));

    ImageSurface surface(10, 10, kBack, 2);
    Canvas canvas(surface);
    canvas.Draw(1, 2, bitmap);
    const QImage& image = surface.SurfaceImage();
    const QImage sharp = Speckled(6, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) ASSERT_EQ(image.pixel(2 + x, 4 + y), sharp.pixel(x, y)) << x << ", " << y;
    }
    EXPECT_EQ(FromRgb(image.pixel(8, 4)), kBack);

    ASSERT_TRUE(Speckled(7, 4).save(SharpPicturePath(path), "BMP"));
    bitmap.LoadFromFile(path, 2);
    EXPECT_FALSE(bitmap.HasSharp());
}
