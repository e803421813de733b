#pragma once

#include "platform/Form.h"
#include "platform/Label.h"
#include "skin/ImageButton.h"
#include "skin/ImageButtonFocus.h"
#include "skin/Skin.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <array>
#include <memory>

namespace vistorel {

class Program;

// The text manager: the library's texts with their descriptions; choose, add, edit, delete.
class TextManagerWindow : public Form {
public:
    explicit TextManagerWindow(Program& program);

    enum Button : int { kAccept, kAdd, kEdit, kDelete, kButtonCount };

    void FormCreate() override;
    void FormShow() override;
    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;
    // Delete deletes the selected text, F2 edits it.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers) override;

    // The list shows the titles of the library, in order, none selected.
    void RefreshTextList();
    // Path and description of the selected text.
    void ShowSelectedText();
    // Accept: the selected text becomes the one the exercises read.
    void ChooseSelectedText();
    // Add and Edit: the add text window, for a new entry or for the selected one.
    void OpenForAdding();
    void OpenForReplacing();
    // Delete: the selected entry leaves the library and its file, once the
    // user has said yes to losing it with its bookmarks.
    void DeleteSelectedText();
    // The close symbol.
    void CloseManager();
    // A text or book file dropped on the window: the add text window opens
    // for a new entry with the file's path, and a book's title and annotation.
    void OpenDroppedFile(const QString& path);

    // The library slot of the selected list entry; 0 when none is selected.
    int SelectedSlot() const;
    bool Hovered(Button button) const { return hover_[button]; }
    // The buttons and the close symbol as the keyboard and a screen reader reach them.
    ImageButtonFocus& Focus(Button button) const { return *focus_[button]; }
    ImageButtonFocus& CloseFocus() const { return *closeFocus_; }

    Label titleCaption;
    Label descriptionCaption;
    Label pathCaption;
    Label pathLabel;
    QListWidget titleList;
    QPlainTextEdit descriptionView;
    TitleAnimation titleAnimation;

    static constexpr HitRect kCloseRect = {420, 2, 440, 20};

private:
    // The selected slot; with none selected the action named is refused.
    int RequireSelection(const QString& action) const;

    Program& program;
    Bitmap tile_;
    Bitmap close_;
    std::array<ButtonImages, kButtonCount> images_;
    const std::array<ImageButton, kButtonCount> buttons_;
    std::array<bool, kButtonCount> hover_{};
    std::array<ImageButtonFocus*, kButtonCount> focus_{};  // children of the surface
    ImageButtonFocus* closeFocus_ = nullptr;
    std::unique_ptr<QObject> dropTarget_;  // takes the files dropped on the window
};

}  // namespace vistorel
