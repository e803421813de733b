// Windows: the persistent surface, the order of show and paint, mouse and key
// events in client coordinates, the handler guard and closing.

#include "TestSupport.h"
#include "platform/Form.h"
#include "platform/Label.h"

#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace vistorel;

namespace {

class ProbeForm : public Form {
public:
    explicit ProbeForm(Application& app) : Form(app) {
        SetClientSize(200, 100);
        SetColor(0x112233);
    }
    void FormShow() override { events.append(QStringLiteral("show")); }
    void FormPaint() override {
        events.append(QStringLiteral("paint"));
        Canvas.SetPixel(0, 0, clWhite);
    }
    void FormMouseDown(MouseButton button, int x, int y) override {
        events.append(QStringLiteral("down %1 %2 %3").arg(static_cast<int>(button)).arg(x).arg(y));
        if (throwOnClick) throw RangeError(QStringLiteral("List index out of bounds (-1)"));
    }
    void FormMouseMove(int x, int y) override { events.append(QStringLiteral("move %1 %2").arg(x).arg(y)); }
    void FormMouseUp(MouseButton, int x, int y) override { events.append(QStringLiteral("up %1 %2").arg(x).arg(y)); }
    void FormKeyPress(QChar key) override { events.append(QStringLiteral("key ") + key); }
    void FormClose() override { events.append(QStringLiteral("close")); }

    QStringList events;
    bool throwOnClick = false;
};

}  // namespace

TEST(Form, ShowRunsTheShowHandlerThenPaintsOnTheWindowColour) {
    test::TestApplication t;
    ProbeForm form(t.App);
    form.Show();
    EXPECT_EQ(form.events, QStringList({QStringLiteral("show"), QStringLiteral("paint")}));
    EXPECT_EQ(form.Canvas.Pixel(0, 0), clWhite);
    EXPECT_EQ(form.Canvas.Pixel(199, 99), 0x112233);
    EXPECT_EQ(form.ClientWidth(), 200);
    EXPECT_EQ(form.ClientHeight(), 100);
}

TEST(Form, DrawingsOutsideThePaintHandlerStayUntilTheNextRepaint) {
    test::TestApplication t;
    ProbeForm form(t.App);
    form.Show();
    form.Canvas.SetPixel(50, 50, clRed);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.Canvas.Pixel(50, 50), clRed);
    EXPECT_EQ(form.Widget()->grab().toImage().pixelColor(50, 50), QColor(255, 0, 0));
    form.Repaint();
    EXPECT_EQ(form.Canvas.Pixel(50, 50), 0x112233);
    EXPECT_EQ(form.Canvas.Pixel(0, 0), clWhite);
}

TEST(Form, EveryDrawingReachesTheScreenHoweverManyAreasChanged) {
    test::TestApplication t;
    ProbeForm form(t.App);
    form.SetClientSize(200, 100);
    form.Show();
    QCoreApplication::processEvents();
    // Overlapping outlines and lines in several places, then one pixel in many.
    form.Canvas.Pen.Color = clRed;
    form.Canvas.Brush.Style = BrushStyle::Clear;
    form.Canvas.Rectangle(10, 10, 60, 40);
    form.Canvas.Rectangle(30, 20, 90, 70);
    form.Canvas.MoveTo(150, 0);
    form.Canvas.LineTo(150, 100);
    QCoreApplication::processEvents();
    QImage shown = form.Widget()->grab().toImage();
    for (QPoint p : {QPoint(10, 10), QPoint(59, 39), QPoint(89, 69), QPoint(150, 50)}) {
        EXPECT_EQ(shown.pixelColor(p), QColor(255, 0, 0)) << p.x() << "," << p.y();
    }
    for (int i = 0; i < 100; ++i) form.Canvas.SetPixel(i * 2, i, clLime);
    QCoreApplication::processEvents();
    shown = form.Widget()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(0, 255, 0));
    EXPECT_EQ(shown.pixelColor(198, 99), QColor(0, 255, 0));
}

TEST(Form, MouseEventsArriveInClientCoordinatesAlsoOverLabels) {
    test::TestApplication t;
    ProbeForm form(t.App);
    Label label(form, 10, 10, QStringLiteral("a label over the surface"));
    form.Show();
    form.events.clear();
    QTest::mousePress(form.Surface(), Qt::RightButton, {}, QPoint(15, 12));
    QTest::mouseRelease(form.Surface(), Qt::RightButton, {}, QPoint(15, 12));
    QTest::mouseMove(form.Surface(), QPoint(30, 40));
    ASSERT_GE(form.events.size(), 3);
    EXPECT_EQ(form.events[0], QStringLiteral("down 1 15 12"));
    EXPECT_EQ(form.events[1], QStringLiteral("up 15 12"));
    EXPECT_TRUE(form.events.contains(QStringLiteral("move 30 40")));
    EXPECT_TRUE(label.Widget()->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(Form, AnErrorInAHandlerIsReportedAndTheWindowGoesOn) {
    test::TestApplication t;
    ProbeForm form(t.App);
    form.Show();
    form.throwOnClick = true;
    QTest::mouseClick(form.Surface(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(t.Errors.Messages.size(), 1);
    EXPECT_EQ(t.Errors.Messages[0], QStringLiteral("List index out of bounds (-1)"));
    form.throwOnClick = false;
    QTest::mouseClick(form.Surface(), Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_TRUE(form.events.contains(QStringLiteral("down 0 6 6")));
    EXPECT_EQ(t.Errors.Messages.size(), 1);
}

TEST(Form, KeysReachTheKeyHandlerAsCharacters) {
    test::TestApplication t;
    ProbeForm form(t.App);
    form.Show();
    QTest::keyClick(form.Widget(), Qt::Key_Space);
    QTest::keyClick(form.Widget(), Qt::Key_Shift);  // no character: ignored
    EXPECT_EQ(form.events.filter(QStringLiteral("key")), QStringList({QStringLiteral("key  ")}));
}

TEST(Form, ClosingRunsTheCloseHandlerAndOnlyTheMainFormEndsTheProgram) {
    test::TestApplication t;
    ProbeForm other(t.App);
    ProbeForm main(t.App);
    main.SetMainForm(true);
    other.Show();
    other.Close();
    EXPECT_TRUE(other.events.contains(QStringLiteral("close")));
    EXPECT_FALSE(other.Visible());
    EXPECT_FALSE(t.App.Terminated());
    main.Close();  // also while hidden
    EXPECT_TRUE(main.events.contains(QStringLiteral("close")));
    EXPECT_TRUE(t.App.Terminated());
}

TEST(Form, OuterSizeIncludesTheMenuBarAndLabelsFitTheirText) {
    test::TestApplication t;
    ProbeForm form(t.App);
    auto* menu = new QMenuBar;
    menu->addMenu(QStringLiteral("Файл"));
    form.SetMenuBar(menu);
    form.SetClientSize(300, 150);
    form.Show();
    EXPECT_EQ(form.ClientHeight(), 150);
    EXPECT_GT(form.Height(), 150);
    EXPECT_GE(form.Width(), 300);

    Label label(form, 0, 0, QStringLiteral("ab"));
    const int shortWidth = label.Width();
    label.SetCaption(QStringLiteral("a much longer caption"));
    EXPECT_GT(label.Width(), shortWidth);
    Font big = label.Font();
    big.SetSize(24);
    label.SetFont(big);
    EXPECT_EQ(label.Font().Size(), 24);
    EXPECT_EQ(label.Font().Height, 32);
    EXPECT_GE(label.Height(), 32);
}

// A window with a fixed single border keeps its size when restored (it cannot
// be dragged to another), and may still be maximised.
TEST(Form, FixedSingleBorderIsNotResizableButCanBeMaximised) {
    test::TestApplication t;
    ProbeForm form(t.App);
    form.SetBorderStyle(BorderStyle::Single);
    form.SetClientSize(561, 224);
    QWidget& window = *form.Widget();
    EXPECT_EQ(window.minimumSize(), QSize(561, 224));
    EXPECT_EQ(window.maximumSize(), QSize(561, 224));
    form.ShowMaximized();
    EXPECT_TRUE(form.Maximized());
    EXPECT_GT(form.ClientWidth(), 561);
    window.showNormal();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form.Maximized());
    EXPECT_EQ(window.minimumSize(), QSize(561, 224));
    EXPECT_EQ(window.maximumSize(), QSize(561, 224));
    EXPECT_EQ(form.ClientWidth(), 561);
}
