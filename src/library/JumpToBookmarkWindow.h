#pragma once

#include "app/ImageButton.h"
#include "platform/Form.h"
#include "platform/Label.h"

#include <QListWidget>
#include <array>

namespace vistorel {

class Program;

// The jump to bookmark window: restores a stored reading position of the current text.
class JumpToBookmarkWindow : public Form {
public:
    explicit JumpToBookmarkWindow(Program& program);

    enum Button : int { kAccept, kCancel, kButtonCount };

    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;

    // The main window's jump button: pauses the exercise, then lists the bookmarks.
    void OpenJumpToBookmark();
    // Accept: reading goes on from the selected bookmark's line.
    void JumpToBookmark();

    bool Hovered(Button button) const { return hover_[button]; }

    Label titleLabel;
    QListWidget bookmarkList;

private:
    Program& program;
    const std::array<ImageButton, kButtonCount> buttons_;
    std::array<bool, kButtonCount> hover_{};
};

}  // namespace vistorel
