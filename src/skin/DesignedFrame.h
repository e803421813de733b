#pragma once
// The windows were designed with a caption bar and borders around their
// client area. Buttons placed from the bottom of the window keep their place
// above the client area's bottom whatever frame the desktop draws.

namespace vistorel {

class Form;

// The caption bar and the borders above and below the client area.
constexpr int kDesignedFrameHeight = 29;

// The outer height the window had as designed: its client area and that frame.
int DesignedOuterHeight(const Form& window);

}  // namespace vistorel
