#include "library/JumpToBookmarkWindow.h"

#include "app/Program.h"
#include "engine/ExerciseWindow.h"
#include "library/LibraryShared.h"
#include "skin/ListKeys.h"

#include <algorithm>

namespace vistorel {

JumpToBookmarkWindow::JumpToBookmarkWindow(Program& program)
    : BookmarkDialog(program, {80, 240}, {140, 240}),
      titleLabel(*this, 88, 8, QStringLiteral("Перейти к закладке"), LibraryFont(true)),
      bookmarkList(Surface()) {
    ApplyDesign({QStringLiteral("Jump to bookmark"), BorderStyle::Dialog, true, 184, 71, 286, 273, false, clBlack});
    bookmarkList.setGeometry(16, 24, 249, 209);
    bookmarkList.setSelectionMode(QAbstractItemView::SingleSelection);
    StyleLibraryControl(bookmarkList);
    bookmarkList.setAccessibleName(QStringLiteral("Закладки"));
    ChooseWithArrows(bookmarkList);
    // A double click on a bookmark accepts it, like the Accept button (and
    // Enter, the dialog's key).
    QObject::connect(&bookmarkList, &QListWidget::itemDoubleClicked, &bookmarkList,
                     [this] { App().Guard([this] { JumpToBookmark(); }); });
}

void JumpToBookmarkWindow::OpenJumpToBookmark() {
    program.exerciseWindow->StopTimers();
    const int slot = CurrentLibrarySlot(program);
    if (slot == 0) {
        App().StandardDialogs().ShowMessage(QStringLiteral("Error:Unknown text, no bookmarks found"));
        return;
    }
    Show();
    const TextRecord& text = program.TextLibrary[slot];
    bookmarkList.clear();
    ShowTitle(titleLabel, text.Title.Text(), 88, ClientWidth());
    const int count = std::min<int>(text.BookmarkCount, kMaxBookmarks);
    for (int k = 1; k <= count; ++k) bookmarkList.addItem(text.BookmarkName(k).Text());
    bookmarkList.setFocus();
}

void JumpToBookmarkWindow::JumpToBookmark() {
    const int slot = CurrentLibrarySlot(program);
    if (slot == 0) {
        throw Error(QStringLiteral("Текст этих закладок больше не выбран в базе текстов. Нажмите «Отмена»."));
    }
    const QList<QListWidgetItem*> selected = bookmarkList.selectedItems();
    if (selected.isEmpty()) throw RangeError(QStringLiteral("Выберите закладку в списке, затем нажмите «Принять»."));
    const TextRecord& text = program.TextLibrary[slot];
    const int k = bookmarkList.row(selected.front()) + 1;
    if (k > text.BookmarkCount) {
        throw RangeError(QStringLiteral("Этой закладки больше нет: текст сохранили заново. Нажмите «Отмена»."));
    }
    const std::uint32_t line = text.BookmarkLine(k);
    if (line > 65535) {
        throw RangeError(QStringLiteral("Закладка «%1» повреждена: в ней строка %2, а номер строки не бывает "
                                        "больше 65535. Выберите другую закладку.")
                             .arg(text.BookmarkName(k).Text())
                             .arg(line));
    }
    TextLines& buffer = program.TextLineBuffer;
    buffer.CurrentLine = static_cast<std::uint16_t>(line);
    // The words still waiting from the line read before are dropped: reading
    // goes on from the start of the bookmarked line.
    program.Words.SplitWords(buffer.Line(buffer.CurrentLine));
    program.Words.WordIndex = 0;
    Hide();
}

}  // namespace vistorel
