// The add bookmark window: the pause and the message without a library text,
// the line stored at accepting, names cut to 40, and the refusals.

#include "library/AddBookmarkWindow.h"

#include "LibraryTestSupport.h"
#include "engine/ExerciseWindow.h"

namespace vistorel {
namespace {

using test::LibraryOf;
using test::LibraryProgram;

void Accept(LibraryProgram& p) {
    p.Test.App.Guard([&] { p->addBookmarkWindow->FormMouseDown(MouseButton::Left, 200, 100); });
}

// The command pauses the exercise; without a library text it only says so.
// The name proposed is the line at opening, the line stored the one at
// accepting; names are cut to 40 and follow the earlier bookmarks.
TEST(AddBookmarkWindow, StoresTheLineReadAtAccepting) {
    LibraryProgram p(3);
    AddBookmarkWindow& w = *p->addBookmarkWindow;
    p->exerciseWindow->stageTimer.SetEnabled(true);
    w.OpenAddBookmark();
    EXPECT_FALSE(p->exerciseWindow->stageTimer.Enabled());
    EXPECT_EQ(p.Test.Dialogs.Messages, QStringList{QStringLiteral("ERROR:Can not add bookmark to unknown file!")});
    EXPECT_FALSE(w.Visible());

    p->CurrentTextIndex = 1;
    p->TextLineBuffer.CurrentLine = 7;
    w.OpenAddBookmark();
    EXPECT_EQ(w.titleLabel.Caption(), QStringLiteral("Текст 1"));
    EXPECT_EQ(w.nameEdit.text(), QStringLiteral("Строка номер 7"));
    p->TextLineBuffer.CurrentLine = 9;
    Accept(p);
    EXPECT_FALSE(w.Visible());
    w.OpenAddBookmark();
    w.nameEdit.setText(QString(45, QChar(u'я')));
    Accept(p);
    const TextRecord& text = p->TextLibrary[1];
    ASSERT_EQ(text.BookmarkCount, 3);
    EXPECT_EQ(text.BookmarkName(2).Text(), QStringLiteral("Строка номер 7"));
    EXPECT_EQ(text.BookmarkLine(2), 9u);
    EXPECT_EQ(text.BookmarkName(3).Text(), QString(40, QChar(u'я')));
    EXPECT_TRUE(p.Holds(test::LibraryInMemory(*p)));
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
}

// A failed save, a current text gone (0 or past the library) while the window
// was open, and a 51st bookmark are refused; the window stays open.
TEST(AddBookmarkWindow, RefusalsChangeNothing) {
    LibraryProgram p(3);
    p->CurrentTextIndex = 3;
    p->addBookmarkWindow->OpenAddBookmark();
    {
        test::FileSizeLimit limit(4404);
        Accept(p);
    }
    EXPECT_TRUE(p.Holds(LibraryOf({1, 2, 3})));
    for (const int current : {0, 4}) {
        p->CurrentTextIndex = static_cast<std::uint16_t>(current);
        Accept(p);
    }
    p->CurrentTextIndex = 3;
    p->TextLibrary[3].BookmarkCount = 50;
    p->SaveTextLibrary();
    const QByteArray full = p.File();
    Accept(p);
    EXPECT_EQ(p.Test.Errors.Messages.size(), 4);
    EXPECT_TRUE(p->addBookmarkWindow->Visible());
    EXPECT_TRUE(p.Holds(full));
}

// A bookmark name with a character the file cannot hold is refused, naming
// it, instead of being stored as «?»; the window stays open.
TEST(AddBookmarkWindow, ANameTheFileCannotHoldIsRefusedByName) {
    LibraryProgram p(2);
    p->CurrentTextIndex = 2;
    p->addBookmarkWindow->OpenAddBookmark();
    p->addBookmarkWindow->nameEdit.setText(QStringLiteral("Глава 5 🙂 конец"));
    Accept(p);
    EXPECT_TRUE(p->addBookmarkWindow->Visible());
    EXPECT_TRUE(p.Holds(LibraryOf({1, 2})));
    ASSERT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(p.Test.Errors.Messages[0].startsWith(QStringLiteral("Название закладки: знак «🙂» (U+1F642)")))
        << qPrintable(p.Test.Errors.Messages[0]);
}

}  // namespace
}  // namespace vistorel
