#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The add bookmark window: stores the reading position of the current text under a name.
class AddBookmarkWindow : public Form {
public:
    explicit AddBookmarkWindow(Program& program);

    // The main window's bookmark button: pauses the exercise, then asks for a name.
    void OpenAddBookmark();

private:
    Program& program;
};

}  // namespace vistorel
