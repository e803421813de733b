// The jump to bookmark window: the message without a library text, the
// refusals, and an exercise that resumes from the bookmark it jumped to.

#include "library/JumpToBookmarkWindow.h"

#include "LibraryTestSupport.h"
#include "app/MainWindow.h"
#include "engine/ExerciseWindow.h"
#include "library/AddBookmarkWindow.h"

#include <QTest>

namespace vistorel {
namespace {

using test::LibraryProgram;

void Accept(LibraryProgram& p) {
    p.Test.App.Guard([&] { p->jumpToBookmarkWindow->FormMouseDown(MouseButton::Left, 100, 250); });
}

// Without a library text the command only says so. Accept refuses without a
// selection, with a line past 65535, or with the text gone, and the reading
// position stays; otherwise it sets the position and hides.
TEST(JumpToBookmarkWindow, RefusalsAndTheLineSet) {
    LibraryProgram p(3);
    JumpToBookmarkWindow& w = *p->jumpToBookmarkWindow;
    w.OpenJumpToBookmark();
    EXPECT_EQ(p.Test.Dialogs.Messages, QStringList{QStringLiteral("Error:Unknown text, no bookmarks found")});
    EXPECT_FALSE(w.Visible());

    p->CurrentTextIndex = 3;
    p->TextLibrary[3].BookmarkLine(2) = 65536;
    p->TextLineBuffer.CurrentLine = 5;
    w.OpenJumpToBookmark();
    EXPECT_EQ(w.titleLabel.Caption(), QStringLiteral("Текст 3"));
    Accept(p);
    w.bookmarkList.setCurrentRow(1);
    Accept(p);
    w.bookmarkList.setCurrentRow(2);
    for (const int current : {0, 4}) {
        p->CurrentTextIndex = static_cast<std::uint16_t>(current);
        Accept(p);
    }
    EXPECT_EQ(p.Test.Errors.Messages.size(), 4);
    EXPECT_EQ(p.Test.Errors.Messages[0], QStringLiteral("Выберите закладку в списке, затем нажмите «Принять»."));
    EXPECT_TRUE(w.Visible());
    EXPECT_EQ(p->TextLineBuffer.CurrentLine, 5);
    p->CurrentTextIndex = 3;
    Accept(p);
    EXPECT_FALSE(w.Visible());
    EXPECT_EQ(p->TextLineBuffer.CurrentLine, 33);
}

// Through the main window: a bookmark added mid-text is listed after the
// text's earlier ones and kept in the file; after a stop and a new start the
// jump pauses, and resuming shows the bookmarked line from its first word.
TEST(JumpToBookmarkWindow, ExerciseResumesFromTheBookmark) {
    LibraryProgram p(2);
    p.Dir.Write(QStringLiteral("t2.txt"), "a1 b1\na2 b2\na3 b3\n");
    p->SettingsRecord.TextPath.SetText(QStringLiteral("t2.txt"));
    p->CurrentTextIndex = 2;
    MainWindow& main = *p->mainWindow;
    main.ShowMaximized();
    const auto click = [&](MainButton button) {
        const HitRect r = main.ButtonRect(button);
        QTest::mousePress(main.Surface(), Qt::LeftButton, {}, QPoint(r.Left + 5, r.Top + 5));
    };
    ExerciseWindow& exercise = *p->exerciseWindow;
    const auto word = [&] {
        exercise.OnStepTick();
        return exercise.wordLabel.Caption();
    };

    click(kStart);
    word();
    word();
    EXPECT_EQ(word(), QStringLiteral("a2 "));
    click(kBookmark);
    p.Test.App.Guard([&] { p->addBookmarkWindow->FormMouseDown(MouseButton::Left, 200, 100); });
    click(kPause);
    word();
    EXPECT_EQ(word(), QStringLiteral("a3 "));
    click(kQuit);

    click(kStart);
    EXPECT_EQ(word(), QStringLiteral("a1 "));
    click(kJump);
    EXPECT_FALSE(exercise.stepTimer.Enabled());
    QListWidget& list = p->jumpToBookmarkWindow->bookmarkList;
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.item(2)->text(), QStringLiteral("Строка номер 2"));
    list.setCurrentRow(2);
    Accept(p);
    click(kPause);
    EXPECT_TRUE(exercise.stepTimer.Enabled());
    EXPECT_EQ(word(), QStringLiteral("a2 "));
    EXPECT_EQ(word(), QStringLiteral("b2 "));
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
    EXPECT_TRUE(p.Holds(p.File()));
    EXPECT_EQ(p->TextLibrary[2].BookmarkLine(3), 2u);
}

}  // namespace
}  // namespace vistorel
