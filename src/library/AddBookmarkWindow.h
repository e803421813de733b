#pragma once

#include "app/ImageButton.h"
#include "platform/Form.h"
#include "platform/Label.h"

#include <QLineEdit>
#include <array>

namespace vistorel {

class Program;

// The add bookmark window: stores the reading position of the current text under a name.
class AddBookmarkWindow : public Form {
public:
    explicit AddBookmarkWindow(Program& program);

    enum Button : int { kAccept, kCancel, kButtonCount };

    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;

    // The main window's bookmark button: pauses the exercise, then asks for a name.
    void OpenAddBookmark();
    // Accept: the line being read now is stored under the name.
    void AddBookmark();

    bool Hovered(Button button) const { return hover_[button]; }

    Label titleLabel;
    Label nameCaption;
    QLineEdit nameEdit;

private:
    Program& program;
    const std::array<ImageButton, kButtonCount> buttons_;
    std::array<bool, kButtonCount> hover_{};
};

}  // namespace vistorel
