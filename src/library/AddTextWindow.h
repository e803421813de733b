#pragma once

#include "books/Document.h"
#include "platform/BackgroundWork.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "skin/ImageButton.h"
#include "skin/ImageButtonFocus.h"
#include "skin/Skin.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QToolButton>
#include <array>
#include <cstdint>

namespace vistorel {

class Program;

// The add text window: title, file and description of a library entry, added or replaced.
class AddTextWindow : public Form {
public:
    explicit AddTextWindow(Program& program);

    enum Button : int { kAdd, kCancel, kButtonCount };

    void FormCreate() override;
    void FormPaint() override;
    void FormMouseMove(int x, int y) override;
    void FormMouseDown(MouseButton button, int x, int y) override;

    // The text manager's Add: the next store appends an entry. The fields
    // start empty, but for a path that the preferences handed over.
    void OpenForAdding();
    // The text manager's Edit: the next store replaces the entry in `slot`
    // (0: none chosen, storing is then refused).
    void OpenForReplacing(int slot);
    // Puts a file path into the path field, so that the next entry stored starts with it.
    void SetFilePath(const QString& path);
    // The folder button: a text file chosen in the file dialog goes into the path field.
    void ChooseTextFile();
    // A text or book file goes into the path field; a book's title (with its
    // author) and annotation fill a title and a description still empty,
    // made to fit what the record holds (the book's own are kept in the
    // results file, for the text manager). A damaged book is refused with its
    // reason, and the fields stay as they were. A book is read off the GUI
    // thread; a file chosen while one is read is not taken.
    void TakeTextFile(const QString& path);
    // The copy box takes its choice for the path in the field: on when the
    // path does not fit the record. The notice below says what storing will do.
    void PathChanged();
    void UpdateCopyNotice();
    // The Add button: the fields become a library entry, saved at once.
    void StoreTextEntry();
    // The Cancel button and the close symbol.
    void Cancel();
    // The library entry in `slot` was deleted: the entry being replaced keeps
    // designating the same text, or none when it was the one deleted.
    void TextDeleted(int slot);

    // Storing appends an entry (true) or replaces entry EditedTextIndex (false).
    bool AddTextMode = false;
    std::uint16_t EditedTextIndex = 0;
    // Whether the window was ever opened for adding or for replacing.
    bool ModeChosen() const { return modeChosen_; }

    // The buttons and the close symbol as the keyboard and a screen reader reach them.
    ImageButtonFocus& Focus(Button button) const { return *focus_[button]; }
    ImageButtonFocus& CloseFocus() const { return *closeFocus_; }


    Label numberCaption;
    Label numberLabel;
    Label titleCaption;
    Label pathCaption;
    Label descriptionCaption;
    QLineEdit titleEdit;
    QLineEdit pathEdit;
    QToolButton chooseFileButton;
    QPlainTextEdit descriptionEdit;
    // Storing copies the file into the library folder first.
    QCheckBox copyBox;
    QLabel copyNotice;
    TitleAnimation titleAnimation;
    // Reads a chosen book off the GUI thread.
    BackgroundWork bookLoad;

    static constexpr HitRect kCloseRect = {390, 5, 410, 25};

private:
    // Whether the path in the field fits the record as it is.
    bool PathFits() const;
    // The book's details for the results file: what the program filled in and
    // the user kept, where the record holds it shortened.
    struct Filled {
        QString Path;
        QString Title, FullTitle;
        QString Description, Annotation;
    };
    void SaveBookDetails(const QString& storedPath) const;
    // Fills the fields from the book's details.
    void TakeBook(const QString& path, const BookInfo& info);

    Program& program;
    QString offeredPath_;  // the path the preferences chose, until it is stored
    Filled filled_;
    Bitmap tile_;
    Bitmap close_;
    std::array<ButtonImages, kButtonCount> images_;
    const std::array<ImageButton, kButtonCount> buttons_;
    std::array<bool, kButtonCount> hover_{};
    std::array<ImageButtonFocus*, kButtonCount> focus_{};  // children of the surface
    ImageButtonFocus* closeFocus_ = nullptr;
    bool modeChosen_ = false;
};

// The lines a description is stored as: its lines, each longer than `width`
// characters broken at spaces (a word longer than a line is broken where the
// line ends); empty lines at the end are dropped.
QStringList BreakDescription(const QString& text, int width);

// The text cut to at most `width` characters at the last space that allows it
// (between letters when there is none).
QString CutAtWord(const QString& text, int width);

// A book's annotation (paragraphs separated by '\n') as the description box
// shows it: paragraphs with an empty line between, cut at a word with "…" so
// that BreakDescription(…, width) gives at most maxLines lines.
QString AnnotationAsDescription(const QString& annotation, int width, int maxLines);

}  // namespace vistorel
