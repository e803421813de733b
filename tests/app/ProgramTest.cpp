// Start-up and close of the whole program: the window set, the settings file,
// the text library, the launcher batch file and a start without images.

#include "app/Program.h"

#include "app/MainWindow.h"
#include "dialogs/PreferencesWindow.h"
#include "dialogs/WelcomeWindow.h"
#include "dialogs/AboutWindow.h"
#include "engine/ExerciseWindow.h"
#include "engine/SpeedIndicator.h"
#include "library/AddBookmarkWindow.h"
#include "library/JumpToBookmarkWindow.h"
#include "library/TextManagerWindow.h"
#include "library/AddTextWindow.h"
#include "platform/Errors.h"
#include "support/TestSupport.h"
#include "trainers/BreakScreen.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/MemoryTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <random>
#include <utility>
#include <vector>

namespace vistorel {
namespace {

using test::ProgramUnderTest;
using test::BytesOf;
using test::FileSizeLimit;
using test::RandomBytes;
using test::StartDirectory;

const QString kSettingsFile = QStringLiteral("Vistorel.ini");
const QString kLibraryFile = QStringLiteral("book_data.dat");
const QString kLauncher = QStringLiteral("Vistor.bat");

QByteArray SettingsNaming(const QString& textPath, std::uint16_t level = 0) {
    Settings record;
    record.TextPath.SetText(textPath);
    record.Level = level;
    return BytesOf(record);
}

// A library record with the given title and file path; the bytes after each
// string's length are filled with `filler`, as an older, longer value leaves them.
QByteArray Entry(const QString& title, const QString& filePath, char filler = '\0') {
    TextRecord record;
    std::memset(record.Title.Chars, filler, sizeof record.Title.Chars);
    std::memset(record.FilePath.Chars, filler, sizeof record.FilePath.Chars);
    record.Title.SetText(title);
    record.FilePath.SetText(filePath);
    return BytesOf(record);
}

// The slot of the current text for a library of entries with these paths,
// with "Vistorel.ini" naming textPath.
int CurrentSlotFor(const QString& textPath, const std::vector<QByteArray>& entries) {
    QByteArray library;
    for (const QByteArray& entry : entries) library += entry;
    ProgramUnderTest p(
        [&](StartDirectory& dir) {
            dir.Write(kSettingsFile, SettingsNaming(textPath));
            dir.Write(kLibraryFile, library);
        },
        false);
    return p->CurrentTextIndex;
}

// The fourteen windows exist with the captions of their definitions, and the
// welcome window is the only one the user sees at start.
TEST(Program, CreatesTheFourteenWindowsAndOnlyTheWelcomeWindowIsShown) {
    ProgramUnderTest p;
    p->welcomeWindow->Show();
    const std::vector<std::pair<Form*, QString>> windows = {
        {p->welcomeWindow.get(), QStringLiteral("Welcome!")},
        {p->mainWindow.get(), QStringLiteral("Vistorel 4.0")},
        {p->preferencesWindow.get(), QStringLiteral("Preferences")},
        {p->aboutWindow.get(), QStringLiteral("About")},
        {p->exerciseWindow.get(), QStringLiteral("Vistorel ")},
        {p->speedIndicator.get(), QStringLiteral("indicator")},
        {p->textManager.get(), QStringLiteral("Text manager")},
        {p->readingSpeedTest.get(), QStringLiteral("Reading speed test")},
        {p->addTextWindow.get(), QStringLiteral("Добавить текст")},
        {p->addBookmarkWindow.get(), QStringLiteral("Добавить закладку")},
        {p->jumpToBookmarkWindow.get(), QStringLiteral("Jump to bookmark")},
        {p->breakScreen.get(), QStringLiteral("Перерыв")},
        {p->ipsTest.get(), QStringLiteral("IPS Test")},
        {p->memoryTest.get(), QStringLiteral("Memory test")},
    };
    for (const auto& [form, caption] : windows) {
        ASSERT_NE(form, nullptr) << caption.toStdString();
        EXPECT_EQ(form->Caption(), caption);
        EXPECT_EQ(form->Visible(), form == p->welcomeWindow.get()) << caption.toStdString();
    }
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << p.Test.Errors.Messages.join('\n').toStdString();
    EXPECT_FALSE(p.Test.App.Terminated());
}

// Closing the main window, by its caption bar or by the exit command, writes
// the settings record as 220 bytes into the start directory and ends the program.
TEST(Program, ClosingTheMainWindowWritesTheSettingsAndEndsTheProgram) {
    {
        // Closed by its caption bar after the user came in through the welcome
        // window, with the current directory moved away in the meantime.
        ProgramUnderTest p;
        p->welcomeWindow->Show();
        p->welcomeWindow->FormMouseDown(MouseButton::Left, 200, 260);
        ASSERT_TRUE(p->mainWindow->Visible());
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        p->mainWindow->Close();
        QDir::setCurrent(previous);
        EXPECT_EQ(p.Dir.Read(kSettingsFile), QByteArray(220, '\0'));
        EXPECT_FALSE(QFile::exists(QDir(elsewhere.path()).filePath(kSettingsFile)));
        EXPECT_TRUE(p.Test.App.Terminated());
        EXPECT_FALSE(p->mainWindow->Visible());
        EXPECT_FALSE(p->welcomeWindow->Visible());
    }
    {
        // The exit command of a main window that was never shown.
        ProgramUnderTest p({}, false);
        ASSERT_FALSE(p.Dir.Exists(kSettingsFile));
        p->mainWindow->ExitProgram();
        EXPECT_EQ(p.Dir.Read(kSettingsFile), QByteArray(220, '\0'));
        EXPECT_TRUE(p.Test.App.Terminated());
    }
    {
        // What was read comes back byte for byte: padding, reserved byte and
        // the bytes after each string's length included; a longer file is cut
        // to its first 220 bytes.
        const QByteArray file = RandomBytes(300, 7);
        ProgramUnderTest p([&](StartDirectory& dir) { dir.Write(kSettingsFile, file); }, false);
        p->mainWindow->ExitProgram();
        EXPECT_EQ(p.Dir.Read(kSettingsFile), file.left(220));
        EXPECT_TRUE(p.Test.App.Terminated());
    }
}

// The preset follows the loaded level; a level outside the presets leaves
// every stage length and interval at zero.
TEST(Program, LoadedLevelChoosesThePreset) {
    {
        ProgramUnderTest p([](StartDirectory& dir) { dir.Write(kSettingsFile, SettingsNaming({}, 2)); }, false);
        EXPECT_EQ(p->SettingsRecord.Level, 2);
        EXPECT_EQ(p->Preset.StageTicks, (std::array<std::uint16_t, 6>{0, 50, 60, 100, 120, 60}));
        EXPECT_EQ(p->Preset.StageInterval, (std::array<std::uint16_t, 6>{0, 200, 300, 200, 500, 400}));
        EXPECT_EQ(p->Preset.RepeatStages, 1);
    }
    {
        ProgramUnderTest p([](StartDirectory& dir) { dir.Write(kSettingsFile, SettingsNaming({}, 7)); }, false);
        EXPECT_EQ(p->SettingsRecord.Level, 7);
        EXPECT_EQ(p->Preset.StageTicks, (std::array<std::uint16_t, 6>{}));
        EXPECT_EQ(p->Preset.StageInterval, (std::array<std::uint16_t, 6>{}));
        EXPECT_EQ(p->Preset.RepeatStages, 0);
    }
    {
        // No settings file: everything zero and the beginners preset.
        ProgramUnderTest p({}, false);
        EXPECT_EQ(BytesOf(p->SettingsRecord), QByteArray(220, '\0'));
        EXPECT_EQ(p->Preset.StageInterval, (std::array<std::uint16_t, 6>{0, 1000, 1000, 1000, 1000, 1000}));
    }
}

// The current text is the highest slot whose file path equals the settings'
// text path exactly: length, letter case and trailing blanks count, the bytes
// after the length do not.
TEST(Program, CurrentTextIsTheLastSlotWithExactlyTheSamePath) {
    const QString path = QStringLiteral("C:\\Texts\\Story.txt");
    EXPECT_EQ(CurrentSlotFor(path, {Entry(QStringLiteral("one"), path), Entry(QStringLiteral("two"), QStringLiteral("other.txt")),
                                    Entry(QStringLiteral("three"), path, 'x'), Entry(QStringLiteral("four"), QStringLiteral("x.txt"))}),
              3);
    EXPECT_EQ(CurrentSlotFor(path, {Entry(QStringLiteral("lower case"), QStringLiteral("c:\\texts\\story.txt"))}), 0);
    EXPECT_EQ(CurrentSlotFor(path, {Entry(QStringLiteral("trailing blank"), path + QLatin1Char(' '))}), 0);
    EXPECT_EQ(CurrentSlotFor(path, {Entry(QStringLiteral("shorter"), path.left(path.size() - 1))}), 0);
    EXPECT_EQ(CurrentSlotFor(path, {}), 0);
}

// The library file is read in whole records: a trailing part is ignored and
// records after the 200th are not loaded (so they cannot become current).
TEST(Program, LibraryLoadsWholeRecordsUpToTwoHundred) {
    {
        const QByteArray file = Entry(QStringLiteral("first"), QStringLiteral("a.txt")) +
                                Entry(QStringLiteral("second"), QStringLiteral("b.txt")) + RandomBytes(100, 3);
        ProgramUnderTest p([&](StartDirectory& dir) { dir.Write(kLibraryFile, file); }, false);
        EXPECT_EQ(p->TextCount, 2);
        EXPECT_EQ(p->TextLibrary[1].Title.Text(), QStringLiteral("first"));
        EXPECT_EQ(p->TextLibrary[2].Title.Text(), QStringLiteral("second"));
        EXPECT_EQ(BytesOf(p->TextLibrary[3]), BytesOf(TextRecord{}));

        // A save writes the loaded records whole, into the start directory
        // even when the current directory has moved.
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        p->SaveTextLibrary();
        QDir::setCurrent(previous);
        EXPECT_EQ(p.Dir.Read(kLibraryFile), file.left(2 * 4404));
        EXPECT_FALSE(QFile::exists(QDir(elsewhere.path()).filePath(kLibraryFile)));
        p->TextCount = 0;
        p->SaveTextLibrary();
        EXPECT_TRUE(p.Dir.Exists(kLibraryFile));
        EXPECT_EQ(p.Dir.Read(kLibraryFile).size(), 0);
    }
    {
        const QString path = QStringLiteral("last.txt");
        QByteArray file;
        for (int i = 1; i <= 200; ++i) file += Entry(QStringLiteral("text %1").arg(i), QStringLiteral("t%1.txt").arg(i));
        file += Entry(QStringLiteral("text 201"), path);
        ProgramUnderTest p(
            [&](StartDirectory& dir) {
                dir.Write(kSettingsFile, SettingsNaming(path));
                dir.Write(kLibraryFile, file);
            },
            false);
        EXPECT_EQ(p->TextCount, 200);
        EXPECT_EQ(p->TextLibrary[200].Title.Text(), QStringLiteral("text 200"));
        EXPECT_EQ(p->CurrentTextIndex, 0);
        // The file stays as it was: the program does not write it at start or at close.
        p->mainWindow->Close();
        EXPECT_EQ(p.Dir.Read(kLibraryFile), file);
    }
}

// A library of 201 texts: the start says that it shows the first 200 and keeps
// the rest; deleting entry 1 writes texts 2 to 201, «Запись 201» included,
// byte for byte, and the next start shows all of them without a word.
TEST(Program, LibraryRecordsPastTheTableAreKeptAtEverySave) {
    QByteArray file;
    for (int i = 1; i <= 201; ++i) {
        file += Entry(QStringLiteral("Запись %1").arg(i), QStringLiteral("t%1.txt").arg(i), static_cast<char>(i));
    }
    ProgramUnderTest p([&](StartDirectory& dir) { dir.Write(kLibraryFile, file); });
    ASSERT_EQ(p.Test.Errors.Messages.size(), 1);
    const QString& message = p.Test.Errors.Messages.front();
    EXPECT_TRUE(message.contains(QStringLiteral("записей в нём 201, а показаны только первые 200"))) << qPrintable(message);
    EXPECT_EQ(p->TextCount, 200);

    TextManagerWindow& manager = *p->textManager;
    manager.Show();
    manager.titleList.setCurrentRow(0);
    p.Test.Dialogs.Answers.push_back(true);
    p.Test.App.Guard([&] { manager.DeleteSelectedText(); });
    EXPECT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_EQ(p.Dir.Read(kLibraryFile), file.mid(4404));
    p->mainWindow->Close();
    EXPECT_EQ(p.Dir.Read(kLibraryFile), file.mid(4404));

    Program next(p.Test.App, p.Dir.Path());
    EXPECT_EQ(p.Test.Errors.Messages.size(), 1);
    EXPECT_EQ(next.TextCount, 200);
    EXPECT_EQ(next.TextLibrary[200].Title.Text(), QStringLiteral("Запись 201"));
}

// The current text is found at start by the file it names: a library entry
// that holds the text's absolute path is the text the settings name relatively.
TEST(Program, CurrentTextIsFoundByTheFileItNames) {
    ProgramUnderTest p(
        [](StartDirectory& dir) {
            dir.Write(QStringLiteral("story.txt"), "Текст");
            dir.Write(kSettingsFile, SettingsNaming(QStringLiteral("story.txt")));
            ASSERT_LE(dir.File(QStringLiteral("story.txt")).size(), 50);
            dir.Write(kLibraryFile, Entry(QStringLiteral("другой"), QStringLiteral("other.txt")) +
                                        Entry(QStringLiteral("рассказ"), dir.File(QStringLiteral("story.txt"))));
        },
        false);
    EXPECT_EQ(p->CurrentTextIndex, 2);
}

// The launcher batch file holds exactly its two lines, rewritten at every start.
TEST(Program, EveryStartRewritesTheLauncher) {
    const QByteArray launcher("@echo off\r\nVistor.exe\r\n");
    ProgramUnderTest first([](StartDirectory& dir) {
        dir.Write(kLauncher, QByteArray("rem an older and much longer launcher\r\nOld.exe /with /switches\r\n"));
    });
    EXPECT_EQ(first.Dir.Read(kLauncher), launcher);
    first.Dir.Write(kLauncher, QByteArray("x"));
    Program second(first.Test.App, first.Dir.Path());
    EXPECT_EQ(first.Dir.Read(kLauncher), launcher);
}

// Without its images the program reports the problem once, still loads the
// settings and the library (so closing keeps the user's settings), and paints
// its main window black instead of hanging on a tile of no size.
TEST(Program, StartsWithoutImages) {
    const QByteArray settings = RandomBytes(220, 11);
    const QString path = QStringLiteral("story.txt");
    QByteArray ownSettings = SettingsNaming(path, 1);
    ownSettings.replace(200, 20, settings.mid(200, 20));  // inside PicturePath's unused bytes and the padding
    const QByteArray library = Entry(QStringLiteral("other"), QStringLiteral("o.txt")) + Entry(QStringLiteral("story"), path);
    ProgramUnderTest p(
        [&](StartDirectory& dir) {
            dir.Write(kSettingsFile, ownSettings);
            dir.Write(kLibraryFile, library);
        },
        false);
    EXPECT_EQ(p.Test.Errors.Messages.size(), 1) << p.Test.Errors.Messages.join(QStringLiteral("\n---\n")).toStdString();
    EXPECT_EQ(p->SettingsRecord.TextPath.Text(), path);
    EXPECT_EQ(p->Preset.StageInterval[1], 300);
    EXPECT_EQ(p->TextCount, 2);
    EXPECT_EQ(p->CurrentTextIndex, 2);

    MainWindow& main = *p->mainWindow;
    main.ShowMaximized();
    main.Repaint();
    ASSERT_EQ(main.ClientWidth(), 1280);
    ASSERT_EQ(main.Height(), 1024);  // the menu bar included
    for (int y = 0; y < main.ClientHeight(); y += 97) {
        for (int x = 0; x < main.ClientWidth(); x += 89) {
            ASSERT_EQ(main.Canvas.Pixel(x, y), clBlack) << "at " << x << ", " << y;
        }
    }
    EXPECT_EQ(main.PanelX, 360);
    EXPECT_EQ(main.PanelY, 903);

    main.Close();
    EXPECT_EQ(p.Dir.Read(kSettingsFile), ownSettings);
    EXPECT_TRUE(p.Test.App.Terminated());
    EXPECT_EQ(p.Test.Errors.Messages.size(), 1);
}

// A start directory without an "images" folder takes the installed pictures
// (the main window is painted, nothing is reported) and writes its data files
// at home, never into the installed folder; one with an "images" folder of its
// own keeps to it, even when its pictures are missing there.
TEST(Program, TakesTheInstalledPicturesOnlyWhenTheStartDirectoryHasNoImagesFolder) {
    QTemporaryDir installed;
    ASSERT_TRUE(QFile::link(test::ImagesDirectory(), installed.filePath(QStringLiteral("images"))));
    {
        StartDirectory dir(false);
        test::TestApplication test;
        Program program(test.App, dir.Path(), installed.path());
        EXPECT_EQ(program.ImageDirectory, installed.path());
        EXPECT_TRUE(test.Errors.Messages.isEmpty()) << test.Errors.Messages.join(QLatin1Char('\n')).toStdString();
        MainWindow& main = *program.mainWindow;
        main.ShowMaximized();
        main.Repaint();
        int painted = 0;
        for (int y = 0; y < main.ClientHeight(); y += 37) {
            for (int x = 0; x < main.ClientWidth(); x += 41) painted += main.Canvas.Pixel(x, y) != clBlack ? 1 : 0;
        }
        EXPECT_GT(painted, 100);
        main.Close();
        EXPECT_TRUE(dir.Exists(kSettingsFile));
        EXPECT_TRUE(dir.Exists(kLauncher));
    }
    EXPECT_EQ(QDir(installed.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              QStringList{QStringLiteral("images")});

    StartDirectory own(false);
    ASSERT_TRUE(QDir(own.Path()).mkdir(QStringLiteral("images")));
    test::TestApplication test;
    Program program(test.App, own.Path(), installed.path());
    EXPECT_EQ(program.ImageDirectory, own.Path());
    EXPECT_EQ(test.Errors.Messages.size(), 1);
}

// What a save killed half-way leaves behind ("book_data.dat.vistorel-saving-Ab3dE9")
// is removed at the next start; the data files themselves, and the user's own
// copies named like them, are kept.
TEST(Program, StartRemovesLeftoversOfInterruptedSaves) {
    const QByteArray library = Entry(QStringLiteral("kept"), QStringLiteral("k.txt"));
    const QStringList backups = {kLibraryFile + QStringLiteral(".backup"), kSettingsFile + QStringLiteral(".before"),
                                 kLibraryFile + QStringLiteral(".2024v1"), kLibraryFile + QStringLiteral(".Ab3dE9")};
    ProgramUnderTest p(
        [&](StartDirectory& dir) {
            dir.Write(kLibraryFile, library);
            for (const QString& backup : backups) dir.Write(backup, library);
            dir.Write(kLibraryFile + QStringLiteral(".vistorel-saving-Ab3dE9"), library.left(1000));
            dir.Write(kSettingsFile + QStringLiteral(".vistorel-saving-x1y2z3"), QByteArray(100, 'x'));
            dir.Write(QStringLiteral("notes.txt.vistorel-saving-Ab3dE9"), "someone else's");
        },
        false);
    QStringList expected = backups + QStringList{kLauncher, kLibraryFile, QStringLiteral("notes.txt.vistorel-saving-Ab3dE9")};
    expected.sort();
    EXPECT_EQ(QDir(p.Dir.Path()).entryList(QDir::Files, QDir::Name), expected);
    EXPECT_EQ(p.Dir.Read(kLibraryFile), library);
    for (const QString& backup : backups) EXPECT_EQ(p.Dir.Read(backup), library) << qPrintable(backup);
}

// A launcher that is a symbolic link (planted, or left by an unpacked archive)
// is replaced by a plain file: the file it pointed to keeps its contents.
TEST(Program, TheLauncherReplacesALinkAndNeverWritesThroughIt) {
    QTemporaryDir home;
    const QString profile = home.filePath(QStringLiteral(".bashrc"));
    const QByteArray shell("export PATH=$HOME/bin:$PATH\n");
    {
        QFile file(profile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(shell);
    }
    ProgramUnderTest p([&](StartDirectory& dir) { ASSERT_TRUE(QFile::link(profile, dir.File(kLauncher))); }, false);
    const QFileInfo launcher(p.Dir.File(kLauncher));
    EXPECT_FALSE(launcher.isSymLink());
    EXPECT_TRUE(launcher.isFile());
    EXPECT_EQ(p.Dir.Read(kLauncher), QByteArray("@echo off\r\nVistor.exe\r\n"));
    QFile file(profile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), shell);
}

// A data file that exists but cannot be read (here a FIFO, which would also
// block a plain reader for good) is reported at start, and never replaced in
// this run: it may hold what the user keeps.
TEST(Program, DataFilesThatCannotBeReadAreReportedAndKept) {
    ProgramUnderTest p(
        [](StartDirectory& dir) {
            ASSERT_EQ(mkfifo(QFile::encodeName(dir.File(kSettingsFile)).constData(), 0600), 0);
            ASSERT_EQ(mkfifo(QFile::encodeName(dir.File(kLibraryFile)).constData(), 0600), 0);
        });
    ASSERT_EQ(p.Test.Errors.Messages.size(), 1) << "one report at start";
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(kSettingsFile));
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(kLibraryFile));
    EXPECT_TRUE(p.Test.Errors.Messages[0].contains(QStringLiteral("канал (FIFO)")));

    EXPECT_THROW(p->SaveTextLibrary(), FileError);
    p->mainWindow->ExitProgram();
    EXPECT_TRUE(p.Test.App.Terminated());
    ASSERT_EQ(p.Test.Dialogs.Messages.size(), 1) << "the user is told the settings were not saved";
    EXPECT_TRUE(p.Test.Dialogs.Messages[0].startsWith(QStringLiteral("Настройки не сохранены")));
    EXPECT_FALSE(QFileInfo(p.Dir.File(kSettingsFile)).isFile());
    EXPECT_FALSE(QFileInfo(p.Dir.File(kLibraryFile)).isFile());
}

}  // namespace
}  // namespace vistorel
