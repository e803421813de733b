#pragma once

#include "app/ImageButton.h"
#include "platform/Form.h"

namespace vistorel {

class Program;

// The preferences window: level, text, font, colours and background picture of the exercises.
class PreferencesWindow : public Form {
public:
    explicit PreferencesWindow(Program& program);

    void FormCreate() override;

    // Shows the window with its controls loaded from the settings.
    void FillPreferences();

    // The accept and cancel pictures, and the accept button's hover flag: the
    // about and bookmark windows draw the same buttons with them.
    const ButtonImages& AcceptImages() const { return accept_; }
    const ButtonImages& CancelImages() const { return cancel_; }
    bool& AcceptHover() { return acceptHover_; }
    bool& CancelHover() { return cancelHover_; }

private:
    Program& program;
    ButtonImages accept_;
    ButtonImages cancel_;
    bool acceptHover_ = false;
    bool cancelHover_ = false;
};

}  // namespace vistorel
