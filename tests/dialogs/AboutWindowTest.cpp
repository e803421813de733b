// The about window: its picture and addresses, and the close button drawn with
// the preferences window's accept pictures and hover flag.

#include "dialogs/AboutWindow.h"

#include "app/Program.h"
#include "dialogs/PreferencesWindow.h"
#include "support/TestSupport.h"

#include <QCursor>
#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace vistorel {
namespace {

// The picture's top rows show, the button closes the window on a press of any
// mouse button strictly inside its rectangle, and lights under the pointer.
TEST(AboutWindow, PictureAndCloseButton) {
    test::ProgramUnderTest p;
    QCursor::setPos(-1000, -1000);
    AboutWindow& about = *p->aboutWindow;
    about.Show();
    EXPECT_EQ(about.ClientWidth(), 409);
    EXPECT_EQ(about.ClientHeight(), 330);
    const QImage picture(QStringLiteral(":/pictures/about.bmp"));
    ASSERT_EQ(picture.size(), QSize(400, 316));
    EXPECT_EQ(about.Canvas.Pixel(200, 120), FromRgb(picture.pixel(200, 120)));
    EXPECT_EQ(about.Canvas.Pixel(200, 252), clBlack);  // rows below 249 are not shown
    EXPECT_TRUE(about.mailLabel.Caption().startsWith(QStringLiteral("e-mail:.")));
    EXPECT_LE(about.mailLabel.Left() + about.mailLabel.Width(), 409);
    EXPECT_LE(about.webPageLabel.Left() + about.webPageLabel.Width(), 409);

    const HitRect rect = about.CloseButton().Click;
    ASSERT_EQ(rect.Left, 180);
    ASSERT_EQ(rect.Right, 245);
    ASSERT_GT(rect.Top, about.mailLabel.Top() + about.mailLabel.Height());  // below the addresses
    const int y = rect.Top + 10;
    const QImage hover(QDir(test::ImagesDirectory()).filePath(QStringLiteral("accept1.bmp")));
    about.FormMouseMove(200, y);
    EXPECT_TRUE(p->preferencesWindow->AcceptHover());
    EXPECT_EQ(about.Canvas.Pixel(180 + 28, rect.Top + 13), FromRgb(hover.pixel(28, 13)));
    about.FormMouseMove(245, y);
    EXPECT_FALSE(p->preferencesWindow->AcceptHover());

    for (int x : {180, 245}) {
        about.FormMouseDown(MouseButton::Left, x, y);
        EXPECT_TRUE(about.Visible()) << x;
    }
    about.FormMouseDown(MouseButton::Right, 244, y);
    EXPECT_FALSE(about.Visible());
    about.Show();
    about.FormMouseDown(MouseButton::Middle, 181, rect.Top + 1);
    EXPECT_FALSE(about.Visible());
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
}

}  // namespace
}  // namespace vistorel
