#pragma once
// The start and stop buttons along the bottom of the three test windows: the
// same pictures at the same places, and one pair of hover flags for all three
// (the reading speed test window keeps the pictures and the flags).

#include "skin/ImageButton.h"
#include "skin/ImageButtonFocus.h"

#include <array>
#include <functional>

namespace vistorel {

class Form;
class Label;
class Program;

enum TestButton : int { kTestStart, kTestStop, kTestButtonCount };

// The pictures and the hover flags of the two buttons.
struct TestButtonSet {
    std::array<ButtonImages, kTestButtonCount> Images;
    std::array<bool, kTestButtonCount> Hover{};

    // "images\test.bmp", "images\test1.bmp", "images\stop.bmp", "images\stop1.bmp".
    void Load(const Program& program);
};

// The two buttons as one window draws and hit-tests them.
class TestButtonRow {
public:
    // The buttons' actions, for the keyboard and screen readers (the mouse
    // goes to the window's own handler).
    TestButtonRow(Form& window, TestButtonSet& set, std::function<void()> start, std::function<void()> stop);

    // The button's place for the window's current size.
    ImageButton Button(TestButton button) const;
    // The button as the keyboard and a screen reader reach it.
    ImageButtonFocus& Focus(TestButton button) const { return *focus_[button]; }
    // The normal pictures; the hover flags stay as they are.
    void Draw();
    // The hover rule for both buttons.
    void TrackHover(int x, int y);
    bool Clicked(TestButton button, int x, int y) const { return Button(button).Clicked(x, y); }
    // Shows a result line at `top`, clear of the start button: one too long
    // for the room left of it goes on two lines, the figures in brackets (or
    // what follows a colon) on the second, and the label rises as far as it
    // must to keep both inside the window.
    void ShowLeftOfStart(Label& label, const QString& text, int top) const;

private:
    Form& window_;
    TestButtonSet& set_;
    std::array<ImageButtonFocus*, kTestButtonCount> focus_{};  // children of the window's surface
};

}  // namespace vistorel
