// Windows on a real desktop: each one is kept above the window the user
// opened it from (its transient parent), dialogs get that window as their
// parent, and windows are moved and shrunk onto the screen when shown.

#include "TestSupport.h"
#include "platform/Form.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>

using namespace vistorel;

namespace {

// A window whose click opens what the test says.
class OpeningForm : public Form {
public:
    explicit OpeningForm(Application& app, bool standalone = false) : Form(app) {
        SetStandalone(standalone);
        SetClientSize(200, 100);
    }
    void FormMouseDown(MouseButton, int, int) override {
        if (OnClick) OnClick();
    }
    std::function<void()> OnClick;
};

QWindow* TransientParentOf(const Form& form) {
    return form.Widget()->windowHandle() ? form.Widget()->windowHandle()->transientParent() : nullptr;
}

void ClickIn(const Form& form) { QTest::mouseClick(form.Surface(), Qt::LeftButton, {}, QPoint(10, 10)); }

}  // namespace

// Opened by a click in another window, a window is that one's transient and
// knows it as its opener; a standalone window never is anybody's. A window
// never goes above one that is kept above it: no circle of windows.
TEST(FormStacking, AWindowIsKeptAboveTheWindowItWasOpenedFrom) {
    test::TestApplication t;
    OpeningForm main(t.App, true);
    OpeningForm manager(t.App);
    OpeningForm adder(t.App);
    main.OnClick = [&] { manager.Show(); };
    manager.OnClick = [&] { adder.Show(); };
    main.Show();
    ClickIn(main);
    ASSERT_TRUE(manager.Visible());
    EXPECT_EQ(TransientParentOf(manager), main.Widget()->windowHandle());
    EXPECT_EQ(manager.Opener(), &main);
    ClickIn(manager);
    EXPECT_EQ(TransientParentOf(adder), manager.Widget()->windowHandle());

    // The manager shown again from the window above it keeps its opener.
    manager.Hide();
    adder.OnClick = [&] { manager.Show(); };
    ClickIn(adder);
    EXPECT_EQ(manager.Opener(), &main);
    EXPECT_EQ(TransientParentOf(manager), main.Widget()->windowHandle());

    OpeningForm other(t.App, true);
    manager.OnClick = [&] { other.Show(); };
    ClickIn(manager);
    EXPECT_EQ(TransientParentOf(other), nullptr);
    EXPECT_EQ(other.Opener(), nullptr);
}

// The calling window is found through a menu of its menu bar, and a hidden
// one gives way to the window that opened it; before any press there is none.
TEST(FormStacking, TheCallingWindowIsFoundThroughMenusAndHiddenWindows) {
    test::TestApplication t;
    EXPECT_EQ(t.App.CallingWindow(), nullptr);
    OpeningForm main(t.App, true);
    auto* bar = new QMenuBar;
    QMenu* menu = bar->addMenu(QStringLiteral("Текст"));
    main.SetMenuBar(bar);
    OpeningForm manager(t.App);
    main.Show();
    QTest::keyClick(menu, Qt::Key_Down);
    EXPECT_EQ(t.App.CallingForm(), &main);
    manager.Show();
    EXPECT_EQ(manager.Opener(), &main);
    ClickIn(manager);
    EXPECT_EQ(t.App.CallingWindow(), manager.Widget());
    manager.Hide();
    EXPECT_EQ(t.App.CallingWindow(), main.Widget());
}

// Windows that belong to another are dialogs for the desktop (on X only those
// carry the transient hint); none floats above other programs' windows.
TEST(FormStacking, WindowsAreDialogsOfTheirOpenerAndNeverAlwaysOnTop) {
    test::TestApplication t;
    OpeningForm main(t.App, true);
    OpeningForm borderless(t.App);
    FormDesign design;
    design.Border = BorderStyle::None;
    design.StayOnTop = true;
    design.Width = 300;
    design.Height = 200;
    borderless.ApplyDesign(design);
    EXPECT_EQ(main.Widget()->windowType(), Qt::Window);
    EXPECT_EQ(borderless.Widget()->windowType(), Qt::Dialog);
    EXPECT_TRUE(borderless.Widget()->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(borderless.Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
    design.Border = BorderStyle::SizeToolWin;
    borderless.ApplyDesign(design);
    EXPECT_EQ(borderless.Widget()->windowType(), Qt::Tool);
}

// On the 1280 x 1024 test screen a resizable window too large for it is
// shrunk to it, a fixed one moved to its corner; one that fits is not moved.
TEST(FormStacking, AShownWindowIsMovedAndShrunkOntoTheScreen) {
    test::TestApplication t;
    FormDesign design{QStringLiteral("big"), BorderStyle::Sizeable, false, 100, 200, 1400, 900, false, clBlack};
    Form resizable(t.App);
    resizable.ApplyDesign(design);
    resizable.Show();
    EXPECT_EQ(QRect(resizable.Left(), resizable.Top(), resizable.Width(), resizable.Height()), QRect(0, 124, 1280, 900));
    design.Border = BorderStyle::Dialog;
    Form fixed(t.App);
    fixed.ApplyDesign(design);
    fixed.Show();
    EXPECT_EQ(QRect(fixed.Left(), fixed.Top(), fixed.Width(), fixed.Height()), QRect(0, 124, 1400, 900));
    design.Left = 17;
    design.Width = 647;
    design.Height = 320;
    Form fits(t.App);
    fits.ApplyDesign(design);
    fits.Show();
    EXPECT_EQ(QPoint(fits.Left(), fits.Top()), QPoint(17, 200));
}
