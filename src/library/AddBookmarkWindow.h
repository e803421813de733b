#pragma once

#include "library/BookmarkDialog.h"
#include "platform/Label.h"

#include <QLineEdit>

namespace vistorel {

class Program;

// The add bookmark window: stores the reading position of the current text under a name.
class AddBookmarkWindow : public BookmarkDialog {
public:
    explicit AddBookmarkWindow(Program& program);

    // The main window's bookmark button: pauses the exercise, then asks for a name.
    void OpenAddBookmark();
    // Accept: the line being read now is stored under the name.
    void AddBookmark();

    Label titleLabel;
    Label nameCaption;
    QLineEdit nameEdit;

private:
    void Accept() override { AddBookmark(); }
};

}  // namespace vistorel
