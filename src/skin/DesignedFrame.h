#pragma once
// The windows were designed with a caption bar and borders around their
// client area, and the main window with a menu bar above it. Whatever is
// placed from the bottom of a window keeps its place above the client area's
// bottom whatever frame the desktop draws (a thick title bar, none at all)
// and however tall the menu bar comes out.

namespace vistorel {

class Form;

// The caption bar and the borders above and below the client area.
constexpr int kDesignedFrameHeight = 29;
// The menu bar of a window that has one.
constexpr int kDesignedMenuBarHeight = 20;

// The outer height the window had as designed: its client area, its menu bar
// if it has one, and that frame.
int DesignedOuterHeight(const Form& window);

}  // namespace vistorel
