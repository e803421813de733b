// The text manager: choosing a text, deleting entries (the file, the list and
// the current text), and the refusals, which change nothing.

#include "library/TextManagerWindow.h"

#include "LibraryTestSupport.h"
#include "app/MainWindow.h"
#include "library/AddTextWindow.h"

#include <QListWidget>
#include <QTest>

namespace vistorel {
namespace {

using test::LibraryOf;
using test::LibraryProgram;

struct Manager : LibraryProgram {
    explicit Manager(int count) : LibraryProgram(count) { W().Show(); }
    TextManagerWindow& W() { return *(*this)->textManager; }
    void Select(int slot) { W().titleList.setCurrentRow(slot - 1); }
    void Click(int x, int y) { Test.App.Guard([&] { W().FormMouseDown(MouseButton::Left, x, y); }); }
    // Deletes with a yes to the question.
    void Delete(int slot) {
        Select(slot);
        Test.Dialogs.Answers.push_back(true);
        Click(320, 300);
    }
};

// The Texts button lists the library; a selected text shows its path and
// description; the Accept click reaches X = 165, past the hover image, and
// makes the text the current one.
TEST(TextManagerWindow, TextsButtonListsAndAcceptAt165Chooses) {
    Manager m(3);
    m.W().Hide();
    m->mainWindow->ShowMaximized();
    const HitRect texts = m->mainWindow->ButtonRect(kTexts);
    QTest::mousePress(m->mainWindow->Surface(), Qt::LeftButton, {}, QPoint(texts.Left + 20, texts.Top + 5));
    ASSERT_TRUE(m.W().Visible());
    EXPECT_EQ(m.W().titleList.count(), 3);
    EXPECT_EQ(m.W().titleList.item(2)->text(), QStringLiteral("Текст 3"));
    EXPECT_EQ(m.W().SelectedSlot(), 0);

    m.Select(2);
    EXPECT_EQ(m.W().pathLabel.Caption(), QStringLiteral("t2.txt"));
    EXPECT_EQ(m.W().descriptionView.toPlainText(), QStringLiteral("Описание 2"));
    m.W().FormMouseMove(165, 300);
    EXPECT_FALSE(m.W().Hovered(TextManagerWindow::kAccept));
    m.Click(165, 300);
    EXPECT_TRUE(m.Test.Errors.Messages.isEmpty());
    EXPECT_FALSE(m.W().Visible());
    EXPECT_EQ(m->SettingsRecord.TextPath.Text(), QStringLiteral("t2.txt"));
    EXPECT_EQ(m->CurrentTextIndex, 2);
}

// A description stored in lines cut at spaces reads as the paragraph that was
// typed: its lines flow together in the box, which wraps them to its own
// width; a blank line the user left between paragraphs stays.
TEST(TextManagerWindow, ADescriptionShowsAsTheParagraphsTyped) {
    Manager m(1);
    const QString first = QStringLiteral("Повесть о читателе, который научился видеть строку целиком и "
                                         "перестал проговаривать слова про себя; читать стало легче.");
    const QString second = QStringLiteral("Вторая часть: упражнения.");
    AddTextWindow& adder = *m->addTextWindow;
    adder.OpenForAdding();
    adder.titleEdit.setText(QStringLiteral("Повесть"));
    adder.pathEdit.setText(QStringLiteral("story.txt"));
    adder.descriptionEdit.setPlainText(first + QStringLiteral("\n\n") + second);
    m.Test.App.Guard([&] { adder.FormMouseDown(MouseButton::Left, 280, 320); });
    ASSERT_EQ(m->TextCount, 2);
    ASSERT_EQ(m->TextLibrary[2].DescriptionLineCount, 5);  // three lines, a blank one and the second part

    m.Select(2);
    EXPECT_EQ(m.W().descriptionView.toPlainText(), first + QStringLiteral("\n\n") + second);
    EXPECT_EQ(m.W().descriptionView.blockCount(), 3);
}

// Deleting 2 of 5 leaves 1, 3, 4, 5 in memory, list and file, whole; the
// current text stays the same text, and is no library text once deleted; the
// last delete leaves an empty file.
TEST(TextManagerWindow, DeleteKeepsOrderFileAndCurrentText) {
    Manager m(5);
    m->CurrentTextIndex = 4;
    m.Delete(2);
    EXPECT_TRUE(m.Holds(LibraryOf({1, 3, 4, 5})));
    EXPECT_EQ(m.W().titleList.item(1)->text(), QStringLiteral("Текст 3"));
    EXPECT_EQ(m.W().titleList.count(), 4);
    EXPECT_EQ(m->CurrentTextIndex, 3);
    m.Delete(4);  // after the current text
    EXPECT_EQ(m->CurrentTextIndex, 3);
    m.Delete(3);  // the current text
    EXPECT_EQ(m->CurrentTextIndex, 0);
    EXPECT_TRUE(m.Holds(LibraryOf({1, 3})));
    m.Delete(1);
    m.Delete(1);
    EXPECT_TRUE(m.Test.Errors.Messages.isEmpty());
    EXPECT_TRUE(m.Dir.Exists(test::kLibraryFile));
    EXPECT_TRUE(m.Holds({}));
    EXPECT_EQ(m.W().titleList.count(), 0);
}

// Accept, Delete, and storing after Edit with nothing selected are refused;
// so is a delete whose save fails: memory, file, list and current text stay.
TEST(TextManagerWindow, RefusalsAndAFailedSaveChangeNothing) {
    Manager m(5);
    m->CurrentTextIndex = 4;
    m.Click(130, 300);
    m.Click(320, 300);
    m.Click(270, 300);
    m.Test.App.Guard([&] { m->addTextWindow->StoreTextEntry(); });
    m.Select(2);
    {
        test::FileSizeLimit limit(4404);
        m.Test.Dialogs.Answers.push_back(true);
        m.Click(320, 300);
    }
    EXPECT_EQ(m.Test.Errors.Messages.size(), 4);
    EXPECT_EQ(m.Test.Errors.Messages[0], QStringLiteral("Выберите текст в списке, затем нажмите «Принять»."));
    EXPECT_TRUE(m.Holds(LibraryOf({1, 2, 3, 4, 5})));
    EXPECT_EQ(m->CurrentTextIndex, 4);
    EXPECT_EQ(m->SettingsRecord.TextPath.Size(), 0);
    EXPECT_EQ(m.W().titleList.count(), 5);
    EXPECT_EQ(m.W().SelectedSlot(), 2);
}

// From the keyboard: the first Down chooses the first title, the next one the
// second; Delete asks «Удалить "…" и его закладки?» and «Нет» changes nothing,
// «Да» deletes; F2 edits the selected text; the painted buttons come after
// the list and the description in Tab order.
TEST(TextManagerWindow, ArrowsDeleteAndF2FromTheKeyboard) {
    Manager m(3);
    QListWidget& list = m.W().titleList;
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(m.W().SelectedSlot(), 0);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(m.W().SelectedSlot(), 1);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(m.W().SelectedSlot(), 2);

    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ(m.Test.Dialogs.Questions, QStringList{QStringLiteral("Удалить \"Текст 2\" и его закладки?")});
    EXPECT_TRUE(m.Holds(LibraryOf({1, 2, 3})));
    EXPECT_EQ(m.W().SelectedSlot(), 2);
    m.Test.Dialogs.Answers.push_back(true);
    QTest::keyClick(&m.W().Focus(TextManagerWindow::kDelete), Qt::Key_Space);
    EXPECT_TRUE(m.Holds(LibraryOf({1, 3})));

    QTest::keyClick(&list, Qt::Key_Up);  // nothing selected after the delete: the current title
    QTest::keyClick(&list, Qt::Key_F2);
    AddTextWindow& adder = *m->addTextWindow;
    EXPECT_TRUE(adder.Visible());
    EXPECT_FALSE(adder.AddTextMode);
    EXPECT_EQ(adder.EditedTextIndex, 1);

    QList<QWidget*> chain;
    for (QWidget* w = &list; chain.size() < 7; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus) chain.append(w);
    }
    const QList<QWidget*> expected = {&list,
                                      &m.W().descriptionView,
                                      &m.W().Focus(TextManagerWindow::kAccept),
                                      &m.W().Focus(TextManagerWindow::kAdd),
                                      &m.W().Focus(TextManagerWindow::kEdit),
                                      &m.W().Focus(TextManagerWindow::kDelete),
                                      &m.W().CloseFocus()};
    EXPECT_EQ(chain, expected);
    EXPECT_EQ(m.Test.Errors.Messages, QStringList());
}

}  // namespace
}  // namespace vistorel
