// The program on a screen scaled by 2: its windows in logical pixels as
// designed, their pictures drawn from the sharper versions point for point,
// and the mouse hitting the buttons where they are seen.

#include "TestSupport.h"
#include "app/MainWindow.h"
#include "app/Program.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

using namespace vistorel;

namespace {

QImage Picture(const QString& name) {
    return QImage(test::ImagesDirectory() + QLatin1Char('/') + name).convertToFormat(QImage::Format_RGB32);
}

// Where the device pixels of the surface from (x, y) on differ from the picture.
::testing::AssertionResult DeviceShows(const QImage& surface, QPoint at, const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (surface.pixel(at + QPoint(x, y)) != picture.pixel(x, y)) {
                return ::testing::AssertionFailure() << "differs at " << x << ", " << y;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

// The main window maximised fills 1280 x 1024 logical pixels; its surface has
// four device pixels for each; the Start button is its sharp picture, and a
// move to the button's logical place lights it, with the sharp hover picture.
TEST(ScaledScreen, TheMainWindowShowsSharpPicturesWhereTheMouseFindsThem) {
    ASSERT_EQ(qApp->devicePixelRatio(), 2);
    test::ProgramUnderTest p;
    MainWindow& main = *p->mainWindow;
    main.ShowMaximized();
    main.Repaint();
    EXPECT_EQ(main.Width(), 1280);
    EXPECT_EQ(main.Height(), 1024);
    const QImage& surface = main.SurfaceImage();
    EXPECT_EQ(surface.size(), QSize(2 * main.ClientWidth(), 2 * main.ClientHeight()));
    const QPoint start(main.PanelX + 8, main.PanelY + 16);
    EXPECT_TRUE(DeviceShows(surface, 2 * start, Picture(QStringLiteral("begin@2x.bmp"))));
    EXPECT_TRUE(DeviceShows(surface, 2 * QPoint(main.PanelX, main.PanelY), Picture(QStringLiteral("control@2x.bmp")).copy(0, 0, 1120, 12)));

    main.FormMouseMove(start.x() + 10, start.y() + 10);
    EXPECT_TRUE(main.Hovered(kStart));
    EXPECT_TRUE(DeviceShows(main.SurfaceImage(), 2 * start, Picture(QStringLiteral("begin1@2x.bmp"))));
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << p.Test.Errors.Messages.join('\n').toStdString();
}
