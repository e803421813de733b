// Texts whose path the record cannot hold are copied into the library folder
// "Тексты" below the start directory, said before, and stored by their short
// relative path; a failed copy changes nothing. A book's own title and
// annotation, made to fit the record, are kept whole in the results file and
// shown by the text manager.

#include "library/AddTextWindow.h"

#include "LibraryTestSupport.h"
#include "history/ResultsDatabase.h"
#include "library/LibraryCopy.h"
#include "library/TextManagerWindow.h"
#include "platform/TextCodec.h"

#include "BookMaker.h"

#include <QDir>
#include <QTemporaryDir>

namespace vistorel {
namespace {

using test::LibraryOf;
using test::LibraryProgram;

const QString kTolstoy = QStringLiteral("Толстой Лев - Война и мир. Том первый.fb2");

struct Copier : LibraryProgram {
    explicit Copier(int count) : LibraryProgram(count) {
        QDir(Home.path()).mkpath(QStringLiteral("Загрузки/Книги"));
        (*this)->textManager->Show();
        (*this)->textManager->OpenForAdding();
    }
    AddTextWindow& W() { return *(*this)->addTextWindow; }
    // A file in the user's downloads, far from the start directory.
    QString Download(const QString& name, const QByteArray& bytes, const QString& folder = QStringLiteral("Загрузки/Книги")) const {
        QDir(Home.path()).mkpath(folder);
        const QString path = QDir(Home.path()).filePath(folder + u'/' + name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) throw std::runtime_error("write");
        return path;
    }
    void Choose(const QString& path) {
        Test.Dialogs.Files.push_back(path);
        W().chooseFileButton.click();
    }
    void Store() { Test.App.Guard([&] { W().StoreTextEntry(); }); }
    QStringList Library() const { return QDir(Dir.File(LibraryFolderName())).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir Home;
};

// A book in the downloads does not fit the record: the box is ticked and
// the window says where it will go; storing copies it there and the record
// holds the relative path, byte for byte. The same book again is not copied
// twice; another file of that name gets a number; a short path is copied only
// when asked, and a packed book keeps its two-part extension, cut to fit.
TEST(LibraryCopy, ALongPathIsCopiedIntoTheLibraryFolder) {
    Copier a(1);
    const QByteArray book = bookmaker::Fb2(bookmaker::StoryBook(1, 2), "windows-1251");
    const QString source = a.Download(kTolstoy, book);
    ASSERT_GT(source.size(), 50);
    a.Choose(source);
    EXPECT_TRUE(a.W().copyBox.isChecked());
    const QString stored = QStringLiteral("Тексты/") + kTolstoy;  // 48 characters
    EXPECT_EQ(a.W().copyNotice.text(), QStringLiteral("Путь длиннее 50 знаков — файл скопируется в библиотеку:\n") + stored);
    a.Store();
    ASSERT_TRUE(a.Test.Errors.Messages.isEmpty()) << a.Test.Errors.Messages.join(u'\n').toStdString();
    EXPECT_EQ(a.Dir.Read(stored), book);
    EXPECT_EQ(a.File().mid(4404 + 51, 49), char(48) + ToCp1251(stored));
    EXPECT_EQ(a.Library(), QStringList{kTolstoy});

    a->textManager->OpenForAdding();
    a.Choose(source);
    a.Store();
    a.W().OpenForAdding();
    a.Choose(a.Download(kTolstoy, book + "<!-- другое издание -->", QStringLiteral("Загрузки/Другое")));
    a.Store();
    ASSERT_EQ(a->TextCount, 4);
    EXPECT_EQ(a->TextLibrary[3].FilePath.Text(), stored);
    EXPECT_EQ(a->TextLibrary[4].FilePath.Text(), QStringLiteral("Тексты/Толстой Лев - Война и мир. Том первый-2.fb2"));

    a.W().OpenForAdding();
    a.Dir.Write(QStringLiteral("short.txt"), "Короткий путь");
    a.W().pathEdit.setText(QStringLiteral("short.txt"));
    EXPECT_FALSE(a.W().copyBox.isChecked());
    EXPECT_TRUE(a.W().copyNotice.text().isEmpty());
    a.W().copyBox.setChecked(true);
    EXPECT_EQ(a.W().copyNotice.text(), QStringLiteral("Файл скопируется в библиотеку:\nТексты/short.txt"));
    a.W().copyBox.setChecked(false);
    a.W().pathEdit.setText(QStringLiteral("日本.txt"));
    EXPECT_TRUE(a.W().copyBox.isChecked());
    EXPECT_EQ(a.W().copyNotice.text(), QStringLiteral("В пути знак «日» — файл скопируется в библиотеку:\nТексты/текст.txt"));
    a.W().copyBox.setChecked(false);
    EXPECT_EQ(a.W().copyNotice.text(), QStringLiteral("В пути знак «日» — такой текст сохраняется только копией в библиотеке."));
    a.W().OpenForAdding();
    a.Choose(a.Download(QString(60, QChar(u'к')) + QStringLiteral(".FB2.zip"), bookmaker::Zip({{QStringLiteral("a.fb2"), book}})));
    a.Store();
    const QString packed = a->TextLibrary[5].FilePath.Text();
    EXPECT_EQ(packed.size(), 50);
    EXPECT_TRUE(packed.endsWith(QStringLiteral("ккк.FB2.zip"))) << packed.toStdString();
    EXPECT_EQ(a.Library().size(), 3);
    EXPECT_TRUE(a.Test.Errors.Messages.isEmpty()) << a.Test.Errors.Messages.join(u'\n').toStdString();
}

// A full disk while copying, or a library that cannot be saved after the
// copy, is reported and changes nothing: no entry, no copy, no new folder,
// no leftover of the save.
TEST(LibraryCopy, AFailedCopyChangesNothing) {
    Copier a(2);
    const QString source = a.Download(kTolstoy, bookmaker::Fb2(bookmaker::StoryBook(1, 3)));
    a.Choose(source);
    a->SaveFault = {WriteFault::Step::Write, 100, 28};
    a.Store();
    ASSERT_EQ(a.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(a.Test.Errors.Messages[0].startsWith(QStringLiteral("Текст не добавлен: файл не удалось скопировать")));
    EXPECT_TRUE(a.Test.Errors.Messages[0].contains(QStringLiteral("на диске нет места"))) << a.Test.Errors.Messages[0].toStdString();
    EXPECT_TRUE(a.Holds(LibraryOf({1, 2})));
    EXPECT_FALSE(a.Dir.Exists(LibraryFolderName()));
    EXPECT_TRUE(a.W().Visible());

    a->SaveFault = {};
    {
        // The copy (about 2 KB) fits under the limit; the library's three records do not.
        test::FileSizeLimit limit(3 * 4404 - 1);
        a.Store();
    }
    ASSERT_EQ(a.Test.Errors.Messages.size(), 2);
    EXPECT_TRUE(a.Holds(LibraryOf({1, 2})));
    EXPECT_FALSE(a.Dir.Exists(LibraryFolderName()));

    // A folder that was there stays, empty as it was.
    QDir(a.Dir.Path()).mkdir(LibraryFolderName());
    a->SaveFault = {WriteFault::Step::Rename, 0, 5};
    a.Store();
    EXPECT_EQ(a.Test.Errors.Messages.size(), 3);
    EXPECT_TRUE(a.Dir.Exists(LibraryFolderName()));
    EXPECT_TRUE(a.Library().isEmpty()) << a.Library().join(u' ').toStdString();
    EXPECT_TRUE(a.Holds(LibraryOf({1, 2})));
}

// What the program fills in from a book is made to fit the record: accents
// to base letters, ligatures spelled out, marks dropped, Greek left out;
// what the user types is still refused by name. The book's own title and
// annotation go to the results file and the text manager shows them, while
// a book whose title fits keeps none.
TEST(LibraryCopy, ABooksOwnTitleAndAnnotationAreKeptWhereTheRecordCannotHoldThem) {
    Copier a(1);
    bookmaker::Book story = bookmaker::StoryBook(1, 2);
    story.Title = QStringLiteral("Émile et l’œuvre Ωμέγα");
    story.Author = QStringLiteral("Жан Приме\u0301р");
    story.Annotation = {QStringLiteral("Роман о ﬁлософе Émile."), QStringLiteral("слово ").repeated(300).trimmed()};
    a.Dir.Write(QStringLiteral("emile.fb2"), bookmaker::Fb2(story));
    a.Choose(a.Dir.File(QStringLiteral("emile.fb2")));
    EXPECT_EQ(a.W().titleEdit.text(), QStringLiteral("Emile et l’oeuvre (Жан Пример)"));
    EXPECT_TRUE(a.W().descriptionEdit.toPlainText().startsWith(QStringLiteral("Роман о fiлософе Emile.\n\nслово слово")));
    a.Store();
    ASSERT_TRUE(a.Test.Errors.Messages.isEmpty()) << a.Test.Errors.Messages.join(u'\n').toStdString();
    const std::optional<BookDetails> details = a->Results->Details(QStringLiteral("emile.fb2"));
    ASSERT_TRUE(details.has_value());
    EXPECT_EQ(details->FullTitle, QStringLiteral("Émile et l’œuvre Ωμέγα (Жан Приме\u0301р)"));
    EXPECT_EQ(details->Annotation, story.Annotation.join(u'\n'));

    TextManagerWindow& manager = *a->textManager;
    manager.RefreshTextList();
    manager.titleList.setCurrentRow(1);
    EXPECT_EQ(manager.descriptionView.toPlainText(),
              QStringLiteral("Полное название: Émile et l’œuvre Ωμέγα (Жан Приме\u0301р)\n\nРоман о ﬁлософе Émile.\n\n") +
                  story.Annotation[1]);
    EXPECT_EQ(manager.titleList.item(1)->toolTip(), details->FullTitle);

    // The user's own typing is refused, naming the character.
    a->textManager->OpenForAdding();
    a.Choose(a.Dir.File(QStringLiteral("emile.fb2")));
    a.W().titleEdit.setText(QStringLiteral("Émile"));
    a.Store();
    ASSERT_EQ(a.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(a.Test.Errors.Messages[0].startsWith(QStringLiteral("Название: знак «É» (U+00C9)")));

    // The same path stored again from a book that fits has no details left.
    story = bookmaker::StoryBook(1, 2);
    a.Dir.Write(QStringLiteral("emile.fb2"), bookmaker::Fb2(story));
    a->textManager->OpenForReplacing();
    a.W().titleEdit.clear();
    a.W().descriptionEdit.clear();
    a.Choose(a.Dir.File(QStringLiteral("emile.fb2")));
    a.Store();
    const std::optional<BookDetails> none = a->Results->Details(QStringLiteral("emile.fb2"));
    EXPECT_TRUE(!none || (none->FullTitle.isEmpty() && none->Annotation.isEmpty()));
    manager.titleList.setCurrentRow(1);
    EXPECT_EQ(manager.descriptionView.toPlainText(), story.Annotation.join(QStringLiteral("\n\n")));
}

// Fitting keeps what Windows-1251 has and finds the nearest for the rest.
TEST(LibraryCopy, TextIsMadeToFitWindows1251) {
    EXPECT_EQ(FittedToCp1251(QStringLiteral("Émile Zola, Straße, Œuvre, ﬁn, æther, Łódź")),
              QStringLiteral("Emile Zola, Strasse, OEuvre, fin, aether, Lodz"));
    // Composed first: Ё and й written with combining marks stay Ё and й; a
    // stress mark goes; the fraction and the thin space are spelled out.
    EXPECT_EQ(FittedToCp1251(QStringLiteral("Е\u0308лка и\u0306 за\u0301мок ½\u2009кг ‐ „да“ №1 €")),
              QStringLiteral("Ёлка й замок 1/2 кг - „да“ №1 €"));
    EXPECT_EQ(FittedToCp1251(QStringLiteral("Книга Ωμέγα и 漢字 😀\nдальше")), QStringLiteral("Книга и\nдальше"));
    EXPECT_TRUE(FitsCp1251(FittedToCp1251(QStringLiteral("ǅ ﬀ ʼ ‑ ⁰ Ⅻ ∞ ♥"))));
}

}  // namespace
}  // namespace vistorel
