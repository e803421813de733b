#include "library/AddBookmarkWindow.h"

#include "app/Program.h"
#include "engine/ExerciseWindow.h"
#include "library/LibraryShared.h"
#include "platform/TextCodec.h"

namespace vistorel {

AddBookmarkWindow::AddBookmarkWindow(Program& program)
    : BookmarkDialog(program, {180, 90}, {240, 90}),
      titleLabel(*this, 160, 8, QStringLiteral("Метка 1"), LibraryFont(true)),
      nameCaption(*this, 24, 40, QStringLiteral("Название закладки"), LibraryFont(true)),
      nameEdit(Surface()) {
    ApplyDesign({QStringLiteral("Добавить закладку"), BorderStyle::Dialog, true, 212, 142, 384, 132, false, clBlack});
    nameEdit.setGeometry(16, 64, 337, 21);
    nameEdit.setMaxLength(40);
    StyleLibraryControl(nameEdit);
    nameEdit.setAccessibleName(nameCaption.Caption());
    // Enter in the name field accepts, like the Accept button: the dialog's keys.
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
    RequireCp1251(nameEdit.text(), nameCaption.Caption());
    ChangeTextLibrary(program, [&] {
        const int k = text.BookmarkCount + 1;
        text.BookmarkName(k).SetText(nameEdit.text());
        text.BookmarkLine(k) = program.TextLineBuffer.CurrentLine;  // the line read at this moment
        text.BookmarkCount = static_cast<std::uint16_t>(k);
    });
    Hide();
}

}  // namespace vistorel
