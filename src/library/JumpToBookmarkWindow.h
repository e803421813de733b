#pragma once

#include "platform/Form.h"

namespace vistorel {

class Program;

// The jump to bookmark window: restores a stored reading position of the current text.
class JumpToBookmarkWindow : public Form {
public:
    explicit JumpToBookmarkWindow(Program& program);

    // The main window's jump button: pauses the exercise, then lists the bookmarks.
    void OpenJumpToBookmark();

private:
    Program& program;
};

}  // namespace vistorel
