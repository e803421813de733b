#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The preferences window: level, text, font, colours and background picture of the exercises.
class PreferencesWindow : public Form {
public:
    explicit PreferencesWindow(Program& program);

    // Shows the window with its controls loaded from the settings.
    void FillPreferences();

private:
    Program& program;
};

}  // namespace vistorel
