#include "library/AddBookmarkWindow.h"

#include "app/Program.h"
#include "dialogs/PreferencesWindow.h"
#include "engine/ExerciseWindow.h"
#include "library/LibraryShared.h"

namespace vistorel {

AddBookmarkWindow::AddBookmarkWindow(Program& program)
    : Form(program.App),
      titleLabel(*this, 160, 8, QStringLiteral("Метка 1"), LibraryFont(true)),
      nameCaption(*this, 24, 40, QStringLiteral("Название закладки"), LibraryFont(true)),
      nameEdit(Surface()),
      program(program),
      // The pictures are those the preferences window loads.
      buttons_{{
          {&program.preferencesWindow->AcceptImages(), {180, 90}, {180, 90, 230, 120}, {180, 90, 230, 120}},
          {&program.preferencesWindow->CancelImages(), {240, 90}, {240, 90, 300, 120}, {240, 90, 300, 120}},
      }} {
    ApplyDesign({QStringLiteral("Добавить закладку"), BorderStyle::Dialog, true, 212, 142, 384, 132, false, clBlack});
    nameEdit.setGeometry(16, 64, 337, 21);
    nameEdit.setMaxLength(40);
    StyleLibraryControl(nameEdit);
    // Enter in the name field accepts, like the Accept button.
    QObject::connect(&nameEdit, &QLineEdit::returnPressed, &nameEdit, [this] { App().Guard([this] { AddBookmark(); }); });
}

void AddBookmarkWindow::FormPaint() {
    Canvas.Pen.Color = clAccent;
    Canvas.Brush.Style = BrushStyle::Clear;
    Canvas.Rectangle(0, 0, Width() - 4, Height() - 4);
    for (const ImageButton& button : buttons_) button.DrawNormal(Canvas);
}

void AddBookmarkWindow::FormMouseMove(int x, int y) {
    for (int b = 0; b < kButtonCount; ++b) buttons_[b].Track(Canvas, x, y, hover_[b]);
}

void AddBookmarkWindow::FormMouseDown(MouseButton, int x, int y) {
    if (buttons_[kAccept].Clicked(x, y)) AddBookmark();
    if (buttons_[kCancel].Clicked(x, y)) Hide();
}

void AddBookmarkWindow::OpenAddBookmark() {
    program.exerciseWindow->StopTimers();
    const int slot = CurrentLibrarySlot(program);
    if (slot == 0) {
        App().StandardDialogs().ShowMessage(QStringLiteral("ERROR:Can not add bookmark to unknown file!"));
        return;
    }
    Show();
    ShowTitle(titleLabel, program.TextLibrary[slot].Title.Text(), 160, ClientWidth());
    nameEdit.setText(QStringLiteral("Строка номер %1").arg(program.TextLineBuffer.CurrentLine));
    nameEdit.selectAll();
    nameEdit.setFocus();
}

void AddBookmarkWindow::AddBookmark() {
    const int slot = CurrentLibrarySlot(program);
    if (slot == 0) {
        throw Error(QStringLiteral("Текст, к которому добавлялась закладка, больше не выбран в базе текстов: "
                                   "закладку сохранить некуда. Нажмите «Отмена»."));
    }
    TextRecord& text = program.TextLibrary[slot];
    if (text.BookmarkCount >= kMaxBookmarks) {
        throw Error(QStringLiteral("У этого текста уже %1 закладок, больше не помещается. "
                                   "Закладки сбрасываются, если заново сохранить текст в базе текстов.")
                        .arg(kMaxBookmarks));
    }
    ChangeTextLibrary(program, [&] {
        const int k = text.BookmarkCount + 1;
        text.BookmarkName(k).SetText(nameEdit.text());
        text.BookmarkLine(k) = program.TextLineBuffer.CurrentLine;  // the line read at this moment
        text.BookmarkCount = static_cast<std::uint16_t>(k);
    });
    Hide();
}

}  // namespace vistorel
