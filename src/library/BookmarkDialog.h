#pragma once

#include "platform/Form.h"
#include "skin/ImageButton.h"
#include "skin/ImageButtonFocus.h"

#include <QPoint>
#include <array>

namespace vistorel {

class Program;

// What the two bookmark windows share: a dialog frame with an orange outline
// and the accept and cancel buttons (the pictures the preferences window
// loads), lit under the pointer; cancel hides the window.
class BookmarkDialog : public Form {
public:
    enum Button : int { kAccept, kCancel, kButtonCount };

    // The accept button is 50 x 30 at `accept`, the cancel button 60 x 30 at `cancel`.
    BookmarkDialog(Program& program, QPoint accept, QPoint cancel);

    // The buttons join the Tab order after the window's fields.
    void FormCreate() override;
    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;

    // The buttons as the keyboard and a screen reader reach them.
    ImageButtonFocus& Focus(Button button) const { return *focus_[button]; }

protected:
    // The accept button's action.
    virtual void Accept() = 0;

    Program& program;

private:
    const std::array<ImageButton, kButtonCount> buttons_;
    std::array<bool, kButtonCount> hover_{};
    std::array<ImageButtonFocus*, kButtonCount> focus_{};  // children of the surface
};

}  // namespace vistorel
