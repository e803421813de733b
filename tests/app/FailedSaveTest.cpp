// Saves that fail at every point a save can fail: when the temporary file
// cannot be created, when writing stops (before the first byte, inside a
// record, one byte short of the end), when the data cannot be flushed and when
// the temporary file cannot replace the old one, for a full disk and for an
// input-output error. Whatever the user was doing (storing a text, deleting
// one, adding a bookmark, closing the program), the previous file stays whole,
// the library in memory and what the windows show stay as they were, and the
// user is told once which file was not saved and why. Data files the user
// protected from writing are not replaced either.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "engine/ExerciseWindow.h"
#include "library/AddBookmarkWindow.h"
#include "library/AddTextWindow.h"
#include "library/JumpToBookmarkWindow.h"
#include "library/LibraryTestSupport.h"
#include "library/TextManagerWindow.h"
#include "platform/Errors.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace vistorel {
namespace {

using test::BytesOf;
using test::LibraryInMemory;
using test::LibraryOf;
using test::LibraryProgram;

constexpr qint64 kRecord = sizeof(TextRecord);

// Every failure point of a save whose new contents are `size` bytes of
// records `record` bytes long.
std::vector<WriteFault> EveryFailure(qint64 size, qint64 record = kRecord) {
    std::vector<WriteFault> faults;
    for (const int error : {ENOSPC, EIO}) {
        faults.push_back({WriteFault::Step::CreateTemporary, 0, error});
        for (const qint64 written : {qint64{0}, record / 2, record, size - 1}) {
            if (written < size) faults.push_back({WriteFault::Step::Write, written, error});
        }
        faults.push_back({WriteFault::Step::Flush, 0, error});
        faults.push_back({WriteFault::Step::Rename, 0, error});
    }
    return faults;
}

std::string Describe(const WriteFault& fault) {
    static const char* const kSteps[] = {"none", "create temporary", "write", "flush", "rename"};
    return std::string(kSteps[static_cast<int>(fault.At)]) + " after " + std::to_string(fault.AfterBytes) +
           " bytes, errno " + std::to_string(fault.Error);
}

QStringList FilesIn(const test::StartDirectory& dir) {
    return QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QStringList Titles(const QListWidget& list) {
    QStringList titles;
    for (int row = 0; row < list.count(); ++row) titles.append(list.item(row)->text());
    return titles;
}

// The program with a library of three texts, the second of them current,
// its file on disk, and the main window up.
struct Session : LibraryProgram {
    Session() : LibraryProgram(3) {
        Dir.Write(QStringLiteral("t2.txt"), "первая строка текста\r\nвторая строка\r\nтретья строка\r\n");
        (*this)->SettingsRecord.TextPath.SetText(QStringLiteral("t2.txt"));
        (*this)->CurrentTextIndex = 2;
        (*this)->mainWindow->ShowMaximized();
    }
    void ClickMain(MainButton button) {
        const HitRect rect = (*this)->mainWindow->ButtonRect(button);
        Test.App.Guard([&] {
            (*this)->mainWindow->FormMouseDown(MouseButton::Left, rect.Left + 5, rect.Top + 5);
        });
    }
    void Click(Form& window, int x, int y) {
        Test.App.Guard([&] { window.FormMouseDown(MouseButton::Left, x, y); });
    }

    // Runs the user's operation once for every failure point of its save and
    // checks what each failure leaves; `unchanged` checks the windows.
    void WalkFailures(qint64 newSize, const std::function<void()>& operation, const std::function<void()>& unchanged) {
        const QByteArray before = File();
        const QStringList files = FilesIn(Dir);
        const std::uint16_t current = (*this)->CurrentTextIndex;
        for (const WriteFault& fault : EveryFailure(newSize)) {
            SCOPED_TRACE(Describe(fault));
            const qsizetype told = Test.Errors.Messages.size();
            (*this)->SaveFault = fault;
            operation();
            (*this)->SaveFault = {};
            EXPECT_EQ(File(), before);
            EXPECT_EQ(LibraryInMemory(**this), before);
            EXPECT_EQ((*this)->CurrentTextIndex, current);
            EXPECT_EQ(FilesIn(Dir), files);  // no temporary file left
            ASSERT_EQ(Test.Errors.Messages.size(), told + 1);
            const QString& message = Test.Errors.Messages.back();
            EXPECT_TRUE(message.contains(Dir.File(test::kLibraryFile))) << qPrintable(message);
            EXPECT_TRUE(message.contains(ReasonOf(fault.Error))) << qPrintable(message);
            unchanged();
        }
    }
};

// Storing a new text, deleting a text and adding a bookmark, each failing at
// every point of its save; then each once more with a sound disk, which saves.
TEST(FailedSave, ALibrarySaveFailingAnywhereKeepsFileMemoryAndWindowsAndTellsTheUser) {
    Session s;
    TextManagerWindow& manager = *s->textManager;
    AddTextWindow& adder = *s->addTextWindow;
    const QStringList titles = {QStringLiteral("Текст 1"), QStringLiteral("Текст 2"), QStringLiteral("Текст 3")};

    // The text manager's Add, a title and a path typed, and the add window's Add.
    s.ClickMain(kTexts);
    ASSERT_TRUE(manager.Visible());
    s.Click(manager, 200, 300);
    ASSERT_TRUE(adder.Visible());
    adder.titleEdit.setText(QStringLiteral("Новый текст"));
    adder.pathEdit.setText(QStringLiteral("new.txt"));
    s.WalkFailures(4 * kRecord, [&] { s.Click(adder, 280, 320); }, [&] {
        EXPECT_TRUE(adder.Visible());  // the user may try again: nothing typed is lost
        EXPECT_EQ(adder.titleEdit.text(), QStringLiteral("Новый текст"));
        EXPECT_EQ(adder.pathEdit.text(), QStringLiteral("new.txt"));
        EXPECT_EQ(Titles(manager.titleList), titles);
    });

    // Adding a bookmark to the current text during an exercise.
    s.ClickMain(kStart);
    ASSERT_TRUE(s->exerciseWindow->Visible());
    s->exerciseWindow->OnStepTick();
    s.ClickMain(kBookmark);
    AddBookmarkWindow& bookmark = *s->addBookmarkWindow;
    ASSERT_TRUE(bookmark.Visible());
    bookmark.nameEdit.setText(QStringLiteral("Моя закладка"));
    s.WalkFailures(3 * kRecord, [&] { s.Click(bookmark, 200, 100); }, [&] {
        EXPECT_TRUE(bookmark.Visible());
        EXPECT_EQ(bookmark.nameEdit.text(), QStringLiteral("Моя закладка"));
        s->jumpToBookmarkWindow->OpenJumpToBookmark();
        EXPECT_EQ(s->jumpToBookmarkWindow->bookmarkList.count(), 2);  // text 2 keeps its two bookmarks
        s->jumpToBookmarkWindow->Hide();
    });

    // Deleting the second text in the text manager.
    manager.titleList.setCurrentRow(1);
    s.WalkFailures(2 * kRecord, [&] {
        s.Test.Dialogs.Answers.push_back(true);  // yes, delete it
        s.Click(manager, 320, 300);
    }, [&] {
        EXPECT_EQ(Titles(manager.titleList), titles);
        EXPECT_EQ(manager.SelectedSlot(), 2);
    });

    // The same three operations on a sound disk: each saves what it did.
    s.Click(adder, 280, 320);
    ASSERT_EQ(s->TextCount, 4);
    EXPECT_EQ(s->TextLibrary[4].Title.Text(), QStringLiteral("Новый текст"));
    s.Click(bookmark, 200, 100);
    EXPECT_EQ(s->TextLibrary[2].BookmarkCount, 3);
    EXPECT_EQ(s->TextLibrary[2].BookmarkName(3).Text(), QStringLiteral("Моя закладка"));
    EXPECT_EQ(s->TextLibrary[2].BookmarkLine(3), 1u);
    const QByteArray added = BytesOf(s->TextLibrary[4]);
    EXPECT_TRUE(s.Holds(LibraryOf({1}) + BytesOf(s->TextLibrary[2]) + LibraryOf({3}) + added));
    manager.titleList.setCurrentRow(1);
    s.Test.Dialogs.Answers.push_back(true);
    s.Click(manager, 320, 300);
    EXPECT_TRUE(s.Holds(LibraryOf({1, 3}) + added));
    EXPECT_EQ(s->CurrentTextIndex, 0);  // the bookmarked text was deleted
    EXPECT_EQ(s.Test.Errors.Messages.size(), 3 * EveryFailure(4 * kRecord).size());
}

// Closing the program while the settings cannot be saved, at every failure
// point: the settings file keeps what it held, and a message box says which
// file was not saved and why before the program ends.
TEST(FailedSave, TheSettingsSaveFailingAnywhereAtCloseKeepsTheFileAndTellsTheUser) {
    Settings stored;
    stored.TextPath.SetText(QStringLiteral("t1.txt"));
    stored.Level = 1;
    stored.Reserved117 = 0x77;
    const QByteArray before = BytesOf(stored);
    for (const WriteFault& fault : EveryFailure(sizeof(Settings), sizeof(Settings))) {
        SCOPED_TRACE(Describe(fault));
        test::ProgramUnderTest p([&](test::StartDirectory& dir) { dir.Write(QStringLiteral("Vistorel.ini"), before); });
        p->mainWindow->ShowMaximized();
        p->SettingsRecord.Level = 2;  // accepted in the preferences during the run
        const QStringList files = FilesIn(p.Dir);
        p->SaveFault = fault;
        const HitRect exit = p->mainWindow->ButtonRect(kExit);
        p.Test.App.Guard([&] { p->mainWindow->FormMouseDown(MouseButton::Left, exit.Left + 5, exit.Top + 5); });
        EXPECT_TRUE(p.Test.App.Terminated());
        EXPECT_EQ(p.Dir.Read(QStringLiteral("Vistorel.ini")), before);
        EXPECT_EQ(FilesIn(p.Dir), files);
        ASSERT_EQ(p.Test.Dialogs.Messages.size(), 1);
        const QString& message = p.Test.Dialogs.Messages.front();
        EXPECT_TRUE(message.startsWith(QStringLiteral("Настройки не сохранены."))) << qPrintable(message);
        EXPECT_TRUE(message.contains(p.Dir.File(QStringLiteral("Vistorel.ini")))) << qPrintable(message);
        EXPECT_TRUE(message.contains(ReasonOf(fault.Error))) << qPrintable(message);
        EXPECT_TRUE(p.Test.Errors.Messages.isEmpty());
    }
}

// Both data files protected from writing (chmod 444) in a folder that could
// take new files: storing a text is refused with a message and the library
// file keeps its bytes and its mode; at exit the changed level is not saved
// either, and the user is told so.
TEST(FailedSave, DataFilesProtectedFromWritingAreNotReplaced) {
    Settings stored;
    stored.TextPath.SetText(QStringLiteral("t1.txt"));
    const QByteArray settings = BytesOf(stored);
    const QByteArray library = LibraryOf({1, 2});
    test::ProgramUnderTest p([&](test::StartDirectory& dir) {
        dir.Write(QStringLiteral("Vistorel.ini"), settings);
        dir.Write(test::kLibraryFile, library);
        for (const QString& name : {QStringLiteral("Vistorel.ini"), test::kLibraryFile}) {
            ASSERT_EQ(chmod(QFile::encodeName(dir.File(name)).constData(), 0444), 0);
        }
    });
    const auto mode = [&](const QString& name) {
        struct stat info {};
        return ::stat(QFile::encodeName(p.Dir.File(name)).constData(), &info) == 0 ? info.st_mode & 07777 : 0u;
    };
    AddTextWindow& adder = *p->addTextWindow;
    adder.OpenForAdding();
    adder.titleEdit.setText(QStringLiteral("Новый текст"));
    adder.pathEdit.setText(QStringLiteral("new.txt"));
    p.Test.App.Guard([&] { adder.FormMouseDown(MouseButton::Left, 280, 320); });
    ASSERT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_TRUE(p.Test.Errors.Messages.front().contains(QStringLiteral("защищён от записи")))
        << qPrintable(p.Test.Errors.Messages.front());
    EXPECT_EQ(p->TextCount, 2);
    EXPECT_EQ(p.Dir.Read(test::kLibraryFile), library);
    EXPECT_EQ(mode(test::kLibraryFile), 0444u);

    p->mainWindow->ShowMaximized();
    p->SettingsRecord.Level = 2;  // accepted in the preferences during the run
    p->mainWindow->ExitProgram();
    EXPECT_TRUE(p.Test.App.Terminated());
    EXPECT_EQ(p.Dir.Read(QStringLiteral("Vistorel.ini")), settings);
    EXPECT_EQ(mode(QStringLiteral("Vistorel.ini")), 0444u);
    ASSERT_EQ(p.Test.Dialogs.Messages.size(), 1);
    EXPECT_TRUE(p.Test.Dialogs.Messages.front().startsWith(QStringLiteral("Настройки не сохранены.")));
    EXPECT_TRUE(p.Test.Dialogs.Messages.front().contains(QStringLiteral("защищён от записи")));
    EXPECT_EQ(FilesIn(p.Dir), (QStringList{QStringLiteral("Vistor.bat"), QStringLiteral("Vistorel.ini"),
                                          test::kLibraryFile}));
}

}  // namespace
}  // namespace vistorel
