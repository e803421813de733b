#include "trainers/TestButtons.h"

#include "app/Program.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "skin/DesignedFrame.h"

#include <algorithm>

namespace vistorel {
namespace {

struct TestButtonDesign {
    const char* normal;
    const char* hover;
    int x;
    HitRect rect;  // y relative to the outer height, bounds exclusive
};

constexpr std::array<TestButtonDesign, kTestButtonCount> kTestButtons = {{
    {"images\\test.bmp", "images\\test1.bmp", 340, {340, -60, 400, -30}},
    {"images\\stop.bmp", "images\\stop1.bmp", 430, {430, -60, 500, -30}},
}};

}  // namespace

void TestButtonSet::Load(const Program& program) {
    Hover.fill(false);
    for (TestButton b : {kTestStop, kTestStart}) {
        LoadButtonImages(program, Images[b], kTestButtons[b].normal, kTestButtons[b].hover);
    }
}

TestButtonRow::TestButtonRow(Form& window, TestButtonSet& set, std::function<void()> start, std::function<void()> stop)
    : window_(window),
      set_(set),
      focus_{new ImageButtonFocus(window, QStringLiteral("Старт"), std::move(start)),
             new ImageButtonFocus(window, QStringLiteral("Стоп"), std::move(stop))} {}

ImageButton TestButtonRow::Button(TestButton button) const {
    const int h = DesignedOuterHeight(window_);
    const TestButtonDesign& design = kTestButtons[button];
    const HitRect rect = design.rect.Offset(0, h);
    return ImageButton{&set_.Images[button], QPoint(design.x, h - 60), rect, rect};
}

void TestButtonRow::Draw() {
    for (TestButton b : {kTestStart, kTestStop}) {
        const ImageButton button = Button(b);
        button.DrawNormal(window_.Canvas);
        focus_[b]->Place(button);
    }
}

void TestButtonRow::TrackHover(int x, int y) {
    for (TestButton b : {kTestStart, kTestStop}) Button(b).Track(window_.Canvas, x, y, set_.Hover[b]);
}

void TestButtonRow::ShowLeftOfStart(Label& label, const QString& text, int top) const {
    label.SetTop(top);
    label.SetCaption(text);
    const int room = Button(kTestStart).At.x() - 4;
    if (label.Left() + label.Width() <= room) return;
    QString broken = text;
    if (broken.contains(QStringLiteral(" ("))) {
        broken.replace(QStringLiteral(" ("), QStringLiteral("\n("));
    } else {
        broken.replace(QStringLiteral(": "), QStringLiteral(":\n"));
    }
    label.SetCaption(broken);
    label.SetTop(std::min(top, window_.ClientHeight() - label.Height()));
}

}  // namespace vistorel
