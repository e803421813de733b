// The keyboard's and the screen reader's side of the painted buttons: a
// button over the picture that Tab reaches, with a ring while it has the
// focus, Space and Enter running the action, a push button's role and name
// for screen readers, and the mouse going on to the window below; and the
// roles the program's windows get.

#include "TestSupport.h"
#include "platform/Form.h"
#include "skin/ImageButtonFocus.h"
#include "skin/WindowRoles.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vistorel;

namespace {

class Window : public Form {
public:
    explicit Window(Application& app) : Form(app) { SetClientSize(300, 200); }
    bool FormKeyDown(int key, Qt::KeyboardModifiers) override {
        Keys.append(key);
        return true;
    }
    QList<int> Keys;
};

// The tests' start button, 60 x 30.
Bitmap Picture() {
    Bitmap bitmap;
    bitmap.LoadFromFile(QDir(test::ImagesDirectory()).filePath(QStringLiteral("test.bmp")));
    return bitmap;
}

}  // namespace

TEST(ImageButtonFocus, OverThePictureWithARingSpaceAndEnterActOnceAndOtherKeysGoOn) {
    test::TestApplication t;
    Window window(t.App);
    int actions = 0;
    ImageButtonFocus button(window, QStringLiteral("Старт"), [&] { ++actions; });
    const Bitmap picture = Picture();
    ASSERT_EQ(QSize(picture.Width(), picture.Height()), QSize(60, 30));
    button.Place(QPoint(10, 20), picture, {10, 20, 70, 50});
    // The ring stands one pixel clear of the picture, two pixels wide.
    EXPECT_EQ(button.geometry(), QRect(7, 17, 66, 36));
    button.Place(QPoint(10, 20), Bitmap(), {10, 20, 70, 50});  // no picture: the inside of the rectangle
    EXPECT_EQ(button.geometry(), QRect(8, 18, 65, 35));
    button.Place(QPoint(240, 170), picture, {240, 170, 300, 200});  // at the edge: the ring inside
    EXPECT_EQ(button.geometry(), QRect(237, 167, 63, 33));
    button.Place(QPoint(10, 20), picture, {10, 20, 70, 50});
    window.Show();
    QApplication::setActiveWindow(window.Widget());
    EXPECT_EQ(window.Surface()->childAt(40, 35), nullptr);  // the mouse goes to the surface

    const auto shown = [&](int x, int y) { return window.Surface()->grab().toImage().pixel(x, y); };
    button.clearFocus();  // the window gave the first control the focus
    const QRgb surface = shown(7, 35);
    EXPECT_NE(surface, ImageButtonFocus::kRingColour);
    // Given the focus by the program (or the mouse), it shows no ring until
    // the keyboard is used in the window.
    button.setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(shown(7, 35), surface);
    button.clearFocus();
    button.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(shown(7, 35), ImageButtonFocus::kRingColour);
    EXPECT_EQ(shown(8, 35), ImageButtonFocus::kRingColour);
    EXPECT_EQ(shown(9, 35), surface);  // the gap
    EXPECT_EQ(window.Canvas.Pixel(7, 35), FromRgb(surface));  // the ring is not drawn on the surface itself

    QTest::keyClick(&button, Qt::Key_Space);
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(actions, 3);
    QTest::keyClick(&button, Qt::Key_Return, Qt::AltModifier);
    QTest::keyClick(&button, Qt::Key_Right);
    EXPECT_EQ(actions, 3);
    EXPECT_EQ(window.Keys, (QList<int>{Qt::Key_Alt, Qt::Key_Return, Qt::Key_Right}));

    // A held key acts once, unless the button repeats (the speed buttons).
    QTest::sendKeyEvent(QTest::Press, &button, Qt::Key_Space, QStringLiteral(" "), {});
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(&button, &repeat);
    EXPECT_EQ(actions, 4);
    button.SetRepeating(true);
    QApplication::sendEvent(&button, &repeat);
    EXPECT_EQ(actions, 5);

    // A handler that throws is reported, as a click's would be.
    ImageButtonFocus failing(window, QStringLiteral("Стоп"), [] { throw Error(QStringLiteral("нет текста")); });
    failing.Activate();
    EXPECT_EQ(t.Errors.Messages, QStringList{QStringLiteral("нет текста")});
}

TEST(ImageButtonFocus, AScreenReaderSeesANamedPushButtonAndPressesIt) {
    test::TestApplication t;
    Window window(t.App);
    int actions = 0;
    ImageButtonFocus button(window, QStringLiteral("К закладке"), [&] { ++actions; });
    window.Show();
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&button);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->role(), QAccessible::Button);
    EXPECT_EQ(reader->text(QAccessible::Name), QStringLiteral("К закладке"));
    EXPECT_TRUE(reader->state().focusable);
    ASSERT_NE(reader->actionInterface(), nullptr);
    reader->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // The press is shown for a moment, then it clicks.
    for (int waited = 0; waited < 5000 && actions == 0; waited += 50) QTest::qWait(50);
    EXPECT_EQ(actions, 1);
}

TEST(WindowRoles, FramesForMainAndToolWindowsDialogsForTheRestNamedByTitle) {
    test::TestApplication t;
    InstallWindowRoles();
    InstallWindowRoles();  // once is enough
    const auto roleOf = [&](BorderStyle border) {
        Window window(t.App);
        window.SetBorderStyle(border);
        window.SetCaption(QStringLiteral("Окно"));
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(window.Widget());
        EXPECT_EQ(reader->text(QAccessible::Name), QStringLiteral("Окно"));
        return reader->role();
    };
    EXPECT_EQ(roleOf(BorderStyle::Sizeable), QAccessible::Window);
    EXPECT_EQ(roleOf(BorderStyle::Single), QAccessible::Window);
    EXPECT_EQ(roleOf(BorderStyle::SizeToolWin), QAccessible::Window);
    EXPECT_EQ(roleOf(BorderStyle::Dialog), QAccessible::Dialog);
    EXPECT_EQ(roleOf(BorderStyle::None), QAccessible::Dialog);
    // The client area inside stays what it is.
    Window window(t.App);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window.Surface())->role(), QAccessible::Client);
}
