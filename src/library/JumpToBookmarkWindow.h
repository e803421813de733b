#pragma once

#include "library/BookmarkDialog.h"
#include "platform/Label.h"

#include <QListWidget>

namespace vistorel {

class Program;

// The jump to bookmark window: restores a stored reading position of the current text.
class JumpToBookmarkWindow : public BookmarkDialog {
public:
    explicit JumpToBookmarkWindow(Program& program);

    // The main window's jump button: pauses the exercise, then lists the bookmarks.
    void OpenJumpToBookmark();
    // Accept: reading goes on from the selected bookmark's line.
    void JumpToBookmark();

    Label titleLabel;
    QListWidget bookmarkList;

private:
    void Accept() override { JumpToBookmark(); }
};

}  // namespace vistorel
