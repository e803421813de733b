#pragma once

#include "platform/Form.h"
#include "platform/Timer.h"
#include "skin/ImageButton.h"
#include "skin/ImageButtonFocus.h"

#include <array>
#include <cstdint>

namespace vistorel {

class Program;

// The welcome window: the first window of the program and the one whose
// closing ends it. A logo and an animated button that leads to the main window.
class WelcomeWindow : public Form {
public:
    explicit WelcomeWindow(Program& program);

    void FormCreate() override;
    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;
    void OnAnimationTick();
    // The button: the main window opens and this one hides.
    void EnterProgram();
    // Gives the preferences window the captions it shows to a user who came in
    // through this window.
    void SetPreferencesCaptions();

    Timer animationTimer;
    std::uint8_t WelcomeFrame = 0;    // animation position 0..13; 0 and 1 show frame 1
    std::uint8_t WelcomeOpening = 1;  // 1 while the button opens, 0 while it closes
    // The button as the keyboard and a screen reader reach it.
    ImageButtonFocus* enterFocus = nullptr;

    static constexpr int kFrames = 13;
    static constexpr HitRect kButton = {150, 250, 250, 285};

private:
    void DrawFrame(int frame);

    Program& program;
    Bitmap logo_;
    std::array<Bitmap, kFrames + 1> frames_;  // entries 1..13
};

}  // namespace vistorel
