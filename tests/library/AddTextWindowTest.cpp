// The add text window: adding and replacing entries as the file stores them,
// the modes kept between openings, the effect on the open preferences window
// and text manager, and the refusals, which change nothing.

#include "library/AddTextWindow.h"

#include "LibraryTestSupport.h"
#include "dialogs/PreferencesWindow.h"
#include "library/TextManagerWindow.h"

#include "BookMaker.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <tuple>
#include <vector>

namespace vistorel {
namespace {

using test::LibraryOf;
using test::LibraryProgram;

struct Adder : LibraryProgram {
    explicit Adder(int count) : LibraryProgram(count) {}
    AddTextWindow& W() { return *(*this)->addTextWindow; }
    void Fill(const QString& title, const QString& path, const QString& description = {}) {
        W().titleEdit.setText(title);
        W().pathEdit.setText(path);
        W().descriptionEdit.setPlainText(description);
    }
    void Store() { Test.App.Guard([&] { W().FormMouseDown(MouseButton::Left, 280, 320); }); }
};

// The manager's Add stores slot 4 of 3: the title cut to 50, a path from the
// file dialog made relative to the start directory (50 characters: it fits
// exactly), long description lines
// broken at spaces, no bookmarks; the open manager's list follows at once.
TEST(AddTextWindow, AddStoresANewEntry) {
    Adder a(3);
    TextManagerWindow& manager = *a->textManager;
    manager.Show();
    manager.FormMouseDown(MouseButton::Left, 200, 300);
    ASSERT_TRUE(a.W().Visible());
    EXPECT_EQ(a.W().numberLabel.Caption(), QStringLiteral("4"));
    const QString words = QStringLiteral("слово ").repeated(10);
    a.Fill(QString(60, QChar(u'ж')), {}, QStringLiteral("первая\n") + words + QString(55, QChar(u'x')) + u'\n');
    const QString fullPath = QStringLiteral("texts/") + QString(40, QChar(u'b')) + QStringLiteral(".txt");  // 50
    a.Test.Dialogs.Files.push_back(a.Dir.File(fullPath));
    a.W().chooseFileButton.click();
    EXPECT_EQ(a.Test.Dialogs.FiltersAsked, QStringList{QStringLiteral("Книги и тексты|*.txt;*.fb2;*.fb2.zip;*.epub|Все файлы|*")});
    a.Store();
    EXPECT_TRUE(a.Test.Errors.Messages.isEmpty());
    EXPECT_FALSE(a.W().Visible());
    ASSERT_EQ(a->TextCount, 4);
    EXPECT_EQ(a.File().left(3 * 4404), LibraryOf({1, 2, 3}));
    EXPECT_TRUE(a.Holds(a.File()));
    const TextRecord& text = a->TextLibrary[4];
    EXPECT_EQ(text.Title.Text(), QString(50, QChar(u'ж')));
    EXPECT_EQ(text.FilePath.Text(), fullPath);
    EXPECT_EQ(text.BookmarkCount, 0);
    QStringList lines;
    for (int k = 1; k <= text.DescriptionLineCount; ++k) lines.append(text.DescriptionLine(k).Text());
    EXPECT_EQ(lines, (QStringList{"первая", words.left(47), "слово слово", QString(50, QChar(u'x')), "xxxxx"}));
    EXPECT_EQ(manager.titleList.count(), 4);
}

// The manager's Edit replaces the selected entry in its slot and drops its
// bookmarks; plain showing (the menu command) keeps the mode of the last
// opening: at start nothing to replace, so storing is refused, and after one
// Add it appends, with the number of that opening. The title plays again
// after every repaint.
TEST(AddTextWindow, ReplaceAndThePlainShowKeepTheLastMode) {
    Adder a(3);
    a.W().Show();
    a.Fill(QStringLiteral("Новый"), QStringLiteral("new.txt"));
    a.Store();
    EXPECT_EQ(a.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(a.W().Visible());
    EXPECT_TRUE(a.Holds(LibraryOf({1, 2, 3})));

    a->textManager->Show();
    a->textManager->titleList.setCurrentRow(1);
    a->textManager->FormMouseDown(MouseButton::Left, 270, 300);
    a.Store();
    EXPECT_EQ(a.File().left(4404) + a.File().mid(2 * 4404), LibraryOf({1, 3}));
    EXPECT_EQ(a->TextLibrary[2].Title.Text(), QStringLiteral("Новый"));
    EXPECT_EQ(a->TextLibrary[2].BookmarkCount, 0);
    EXPECT_EQ(a->TextLibrary[2].DescriptionLineCount, 0);

    a.W().OpenForAdding();
    a.Store();
    a.W().Show();
    a.Store();
    EXPECT_EQ(a->TextCount, 5);
    EXPECT_EQ(a.W().numberLabel.Caption(), QStringLiteral("4"));
    a.W().titleAnimation.OnTick();
    a.W().Repaint();
    EXPECT_EQ(a.W().titleAnimation.Frame(), 0);
    EXPECT_TRUE(a.W().titleAnimation.AnimationTimer().Enabled());
}

// With the preferences window open, storing makes the stored entry the
// current text and cancelling makes the current text no library text; with
// it closed neither touches the current text.
TEST(AddTextWindow, OpenPreferencesWindowFollowsStoreAndCancel) {
    Adder a(3);
    a->CurrentTextIndex = 1;
    a.W().OpenForReplacing(2);
    a.Store();
    a.W().Cancel();
    EXPECT_EQ(a->CurrentTextIndex, 1);
    a->preferencesWindow->Show();
    a.W().OpenForReplacing(2);
    a.Store();
    EXPECT_EQ(a->CurrentTextIndex, 2);
    a.W().OpenForAdding();
    a.Test.App.Guard([&] { a.W().FormMouseDown(MouseButton::Left, 370, 320); });
    EXPECT_FALSE(a.W().Visible());
    EXPECT_EQ(a->CurrentTextIndex, 0);
}

// Refused before any change, with the window left open: a path too long or
// outside Windows-1251, a 41st description line, a failed save, an entry
// deleted since Edit, and a 201st entry.
TEST(AddTextWindow, RefusalsChangeNothing) {
    Adder a(3);
    a.W().OpenForAdding();
    a.Fill(QStringLiteral("Т"), QStringLiteral("/elsewhere/") + QString(40, QChar(u'p')));  // 51 characters
    EXPECT_TRUE(a.W().copyBox.isChecked());  // offered, but not wanted here
    a.W().copyBox.setChecked(false);
    a.Store();
    a.W().pathEdit.setText(QStringLiteral("日本.txt"));
    a.W().copyBox.setChecked(false);
    a.Store();
    a.W().pathEdit.setText(QStringLiteral("t.txt"));
    a.W().descriptionEdit.setPlainText(QStringLiteral("строка\n").repeated(41));
    a.Store();
    a.W().descriptionEdit.setPlainText(QStringLiteral("строка\n").repeated(40));
    {
        test::FileSizeLimit limit(4404);
        a.Store();
    }
    EXPECT_TRUE(a.W().Visible());
    EXPECT_TRUE(a.Holds(LibraryOf({1, 2, 3})));
    ASSERT_EQ(a.Test.Errors.Messages.size(), 4);
    EXPECT_TRUE(a.Test.Errors.Messages[0].contains(QStringLiteral("слишком длинный")));
    EXPECT_TRUE(a.Test.Errors.Messages[0].endsWith(QStringLiteral("под коротким именем.")));
    EXPECT_TRUE(a.Test.Errors.Messages[1].contains(QStringLiteral("日本.txt")));
    EXPECT_TRUE(a.Test.Errors.Messages[2].startsWith(QStringLiteral("Описание слишком длинное: это 41 строка по")));

    a.W().OpenForReplacing(3);
    a->textManager->Show();
    a->textManager->titleList.setCurrentRow(0);
    a.Test.Dialogs.Answers = {true, true};
    a->textManager->DeleteSelectedText();
    EXPECT_EQ(a.W().EditedTextIndex, 2);  // still "Текст 3"
    a->textManager->titleList.setCurrentRow(1);
    a->textManager->DeleteSelectedText();
    a.Store();
    EXPECT_EQ(a.Test.Errors.Messages.size(), 5);
    EXPECT_TRUE(a.Holds(LibraryOf({2})));

    while (a->TextCount < 200 && a.Test.Errors.Messages.size() == 5) {
        a.W().OpenForAdding();
        a.W().titleEdit.setText(QStringLiteral("Ъ ok"));
        a.Store();
    }
    EXPECT_EQ(a->TextLibrary[200].Title.Text(), QStringLiteral("Ъ ok"));
    a.W().OpenForAdding();
    a.Store();
    EXPECT_EQ(a.Test.Errors.Messages.size(), 6);
    EXPECT_EQ(a->TextCount, 200);
    EXPECT_EQ(a.File().size(), 200 * 4404);
}

// A book chosen in the file dialog fills a title and a description still
// empty with its title and author and its annotation, each cut at a word to
// its field; filled fields are kept. A book that cannot be read (a zip bomb,
// a damaged archive) gives one message and leaves the fields and the files alone.
TEST(AddTextWindow, ABookFillsTheEmptyFieldsFromItsDescription) {
    Adder a(3);
    bookmaker::Book story = bookmaker::StoryBook(1, 2);
    a.Dir.Write(QStringLiteral("story.fb2"), bookmaker::Fb2(story));
    story.Title = QStringLiteral("Долгая история о смотрителе маяка, девочке Варе и северной буре");
    story.Annotation = {QStringLiteral("слово ").repeated(400)};
    a.Dir.Write(QStringLiteral("long.epub"), bookmaker::Epub(story));
    a.Dir.Write(QStringLiteral("bomb.fb2.zip"), bookmaker::ZipBomb(1024 * 1024));
    QByteArray damaged = bookmaker::Epub(story);
    damaged.truncate(damaged.size() / 2);
    a.Dir.Write(QStringLiteral("damaged.epub"), damaged);
    a->textManager->Show();
    a->textManager->OpenForAdding();
    auto choose = [&](const QString& name) {
        a.Test.Dialogs.Files.push_back(a.Dir.File(name));
        a.W().chooseFileButton.click();
    };

    choose(QStringLiteral("story.fb2"));
    EXPECT_EQ(a.W().pathEdit.text(), a.Dir.File(QStringLiteral("story.fb2")));
    EXPECT_EQ(a.W().titleEdit.text(), QStringLiteral("Маяк на Сером мысе (Ирина Ветрова)"));
    EXPECT_EQ(a.W().descriptionEdit.toPlainText(),
              QStringLiteral("Рассказ о смотрителе маяка и девочке Варе.\n\nДля упражнений в быстром чтении."));

    // Filled fields stay; empty ones take the book's, cut at words.
    a.W().titleEdit.clear();
    choose(QStringLiteral("long.epub"));
    EXPECT_EQ(a.W().titleEdit.text(), QStringLiteral("Долгая история о смотрителе маяка, девочке Варе и"));
    EXPECT_TRUE(a.W().descriptionEdit.toPlainText().startsWith(QStringLiteral("Рассказ о смотрителе")));
    a.W().descriptionEdit.clear();
    choose(QStringLiteral("long.epub"));
    // One paragraph, as the box wraps it, cut with "…" where the record's 40 lines end.
    const QString description = a.W().descriptionEdit.toPlainText();
    EXPECT_FALSE(description.contains(u'\n'));
    EXPECT_TRUE(description.endsWith(QStringLiteral("слово…")));
    EXPECT_EQ(BreakDescription(description, 50).size(), kMaxDescriptionLines);
    EXPECT_GT(BreakDescription(description + QStringLiteral(" слово"), 50).size(), kMaxDescriptionLines);
    a.Store();
    EXPECT_TRUE(a.Test.Errors.Messages.isEmpty()) << a.Test.Errors.Messages.join(u'\n').toStdString();
    ASSERT_EQ(a->TextCount, 4);
    EXPECT_EQ(a->TextLibrary[4].DescriptionLineCount, kMaxDescriptionLines);

    const QByteArray library = a.File();
    a->textManager->OpenForAdding();
    a.Fill(QString(), QStringLiteral("kept.txt"));
    for (const QString& name : {QStringLiteral("bomb.fb2.zip"), QStringLiteral("damaged.epub")}) {
        a.Test.Errors.Messages.clear();
        choose(name);
        ASSERT_EQ(a.Test.Errors.Messages.size(), 1) << name.toStdString();
        EXPECT_TRUE(a.Test.Errors.Messages[0].contains(name)) << a.Test.Errors.Messages[0].toStdString();
        EXPECT_EQ(a.W().pathEdit.text(), QStringLiteral("kept.txt"));
        EXPECT_TRUE(a.W().titleEdit.text().isEmpty());
    }
    EXPECT_EQ(a.File(), library);
}

// A book is read off the GUI thread: its fields fill when it has been read;
// one past the budget is one message, the fields as they were; a cancelled
// reading says nothing and changes nothing.
TEST(AddTextWindow, ABookIsReadOffTheGuiThread) {
    Adder a(3);
    a.Dir.Write(QStringLiteral("story.fb2"), bookmaker::Fb2(bookmaker::StoryBook(1, 2)));
    a.Dir.Write(QStringLiteral("spine.epub"), bookmaker::RepeatedSpineEpub(1024 * 1024, 1000));
    a->textManager->Show();
    a->textManager->OpenForAdding();
    BackgroundWork& load = a.W().bookLoad;
    load.QuickMs = 0;
    a.W().TakeTextFile(a.Dir.File(QStringLiteral("story.fb2")));
    EXPECT_TRUE(load.Running());
    EXPECT_TRUE(a.W().titleEdit.text().isEmpty());
    a.W().TakeTextFile(a.Dir.File(QStringLiteral("spine.epub")));  // not taken: one book at a time
    load.Finish();
    EXPECT_EQ(a.W().titleEdit.text(), QStringLiteral("Маяк на Сером мысе (Ирина Ветрова)"));
    EXPECT_EQ(a.W().pathEdit.text(), a.Dir.File(QStringLiteral("story.fb2")));

    a.W().titleEdit.clear();
    a.W().TakeTextFile(a.Dir.File(QStringLiteral("spine.epub")));
    load.Finish();
    ASSERT_EQ(a.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(a.Test.Errors.Messages[0].contains(QStringLiteral("«c.xhtml» 1\u00A0000 раз"))) << a.Test.Errors.Messages[0].toStdString();
    EXPECT_EQ(a.W().pathEdit.text(), a.Dir.File(QStringLiteral("story.fb2")));

    a.W().TakeTextFile(a.Dir.File(QStringLiteral("story.fb2")));
    load.Cancel();
    load.Finish();
    EXPECT_EQ(a.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(a.W().titleEdit.text().isEmpty());

    // A book whose own DTD puts its root 7 KB into the file is a book.
    a.Dir.Write(QStringLiteral("dtd.fb2"), bookmaker::EntityFb2(4000, 10));
    a.W().TakeTextFile(a.Dir.File(QStringLiteral("dtd.fb2")));
    load.Finish();
    EXPECT_EQ(a.W().titleEdit.text(), QStringLiteral("Маяк"));
}

// A book dropped on the text manager opens the add text window for a new
// entry, its path and description filled in.
TEST(AddTextWindow, ABookDroppedOnTheManagerOpensItFilledIn) {
    Adder a(3);
    a.Dir.Write(QStringLiteral("story.epub"), bookmaker::Epub(bookmaker::StoryBook(1, 2), 2));
    TextManagerWindow& manager = *a->textManager;
    manager.Show();
    a.W().titleEdit.setText(QStringLiteral("от прошлого раза"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a.Dir.File(QStringLiteral("story.epub")))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(manager.Widget(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(manager.Widget(), &drop);
    EXPECT_TRUE(a.Test.Errors.Messages.isEmpty()) << a.Test.Errors.Messages.join(u'\n').toStdString();
    ASSERT_TRUE(a.W().Visible());
    EXPECT_EQ(a.W().numberLabel.Caption(), QStringLiteral("4"));
    EXPECT_EQ(a.W().pathEdit.text(), a.Dir.File(QStringLiteral("story.epub")));
    EXPECT_EQ(a.W().titleEdit.text(), QStringLiteral("Маяк на Сером мысе (Ирина Ветрова)"));
    EXPECT_TRUE(a.W().descriptionEdit.toPlainText().startsWith(QStringLiteral("Рассказ о смотрителе")));
}

// Opened for adding, the window starts empty but for a path the preferences
// chose (until that path is stored); opened for replacing, and shown by the
// menu, it keeps what it holds.
TEST(AddTextWindow, OpenedForAddingStartsEmpty) {
    Adder a(3);
    a.W().OpenForReplacing(2);
    a.Fill(QStringLiteral("Старый"), QStringLiteral("old.txt"), QStringLiteral("описание"));
    a.W().Cancel();
    a.W().OpenForReplacing(1);
    EXPECT_EQ(a.W().titleEdit.text(), QStringLiteral("Старый"));
    a.W().Show();
    EXPECT_EQ(a.W().descriptionEdit.toPlainText(), QStringLiteral("описание"));

    a.W().OpenForAdding();
    EXPECT_TRUE(a.W().titleEdit.text().isEmpty());
    EXPECT_TRUE(a.W().pathEdit.text().isEmpty());
    EXPECT_TRUE(a.W().descriptionEdit.toPlainText().isEmpty());

    a->preferencesWindow->FillPreferences();
    a.Test.Dialogs.Files.push_back(a.Dir.File(QStringLiteral("chosen.txt")));
    a->preferencesWindow->ChooseTextFile();
    a.W().titleEdit.setText(QStringLiteral("Набранное"));
    a.W().OpenForAdding();
    EXPECT_TRUE(a.W().titleEdit.text().isEmpty());
    EXPECT_EQ(a.W().pathEdit.text(), a.Dir.File(QStringLiteral("chosen.txt")));
    a.Store();
    EXPECT_EQ(a->TextLibrary[4].FilePath.Text(), QStringLiteral("chosen.txt"));
    a.W().OpenForAdding();
    EXPECT_TRUE(a.W().pathEdit.text().isEmpty());
    EXPECT_TRUE(a.Test.Errors.Messages.isEmpty()) << a.Test.Errors.Messages.join('\n').toStdString();
}

// A title, a description or a path with a character the file cannot hold
// (Greek, Chinese, an emoji) is refused, naming the first such character and
// its field, instead of being stored as «?»; nothing is stored.
TEST(AddTextWindow, CharactersTheFileCannotHoldAreRefusedByName) {
    Adder a(1);
    a.W().OpenForAdding();
    const std::vector<std::tuple<QString, QString, QString>> cases = {
        {QStringLiteral("Книга Ωμέγα"), QString(), QStringLiteral("Название: знак «Ω» (U+03A9)")},
        {QStringLiteral("Книга"), QStringLiteral("Рассказ о 漢字 и ©"), QStringLiteral("Описание: знак «漢» (U+6F22)")},
        {QStringLiteral("Книга 😀 ἀ"), QString(), QStringLiteral("Название: знак «😀» (U+1F600)")},
        {QStringLiteral("Книга"), QStringLiteral("книги/Ωmega.txt"), QStringLiteral("Путь \"книги/Ωmega.txt\" содержит знак «Ω»")},
    };
    for (const auto& [title, text, message] : cases) {
        a.Test.Errors.Messages.clear();
        const bool path = text.endsWith(QStringLiteral(".txt"));
        a.Fill(title, path ? text : QStringLiteral("book.txt"), path ? QString() : text);
        a.W().copyBox.setChecked(false);
        a.Store();
        EXPECT_TRUE(a.W().Visible());
        EXPECT_TRUE(a.Holds(LibraryOf({1})));
        ASSERT_EQ(a.Test.Errors.Messages.size(), 1);
        EXPECT_TRUE(a.Test.Errors.Messages[0].startsWith(message)) << qPrintable(a.Test.Errors.Messages[0]);
    }
    // Everything Windows-1251 holds is stored as typed.
    a.Fill(QStringLiteral("«Книга» № 2 — €"), QStringLiteral("book.txt"), QStringLiteral("Ёж © ™"));
    a.Store();
    ASSERT_EQ(a->TextCount, 2);
    EXPECT_EQ(a->TextLibrary[2].Title.Text(), QStringLiteral("«Книга» № 2 — €"));
    EXPECT_EQ(a->TextLibrary[2].DescriptionLine(1).Text(), QStringLiteral("Ёж © ™"));
}

}  // namespace
}  // namespace vistorel
