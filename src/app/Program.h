#pragma once
// The running program: its windows, created once in a fixed order,
// and all state that several windows share.

#include "engine/StageClock.h"
#include "engine/TextLines.h"
#include "engine/WordStream.h"
#include "platform/Application.h"
#include "platform/ThreadPriority.h"
#include "records/DifficultyPreset.h"
#include "records/Settings.h"
#include "records/TextLibraryFile.h"
#include "skin/PictureLoader.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

namespace vistorel {

class MainWindow;
class PreferencesWindow;
class AboutWindow;
class ExerciseWindow;
class WelcomeWindow;
class TextManagerWindow;
class ReadingSpeedTestWindow;
class AddTextWindow;
class AddBookmarkWindow;
class JumpToBookmarkWindow;
class BreakScreen;
class IpsTestWindow;
class MemoryTestWindow;
class StatisticsWindow;
class ResultsDatabase;
class ResultsWriter;
class TerminationSignals;
class SpeedIndicator;
class Bitmap;

class Program : public PictureLoader {
public:
    // Creates the windows in their order; the start directory holds the data
    // files and the "images" folder. Without an "images" folder of its own,
    // the pictures come from the one in installedFolder (never written to).
    Program(Application& app, const QString& startDirectory, const QString& installedFolder = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Application& App;

    // Where the program was started: data files are read and written there.
    QString StartDirectory;
    // The folder whose "images" folder the windows' pictures come from: the
    // start directory, or the installed data when the start directory has no
    // "images" folder.
    QString ImageDirectory;

    // The user's preferences and the difficulty preset of their level.
    Settings SettingsRecord;
    DifficultyPreset Preset;

    // The text library and the slot of the current text (0: not in the library).
    TextTable TextLibrary;
    std::uint8_t TextCount = 0;
    std::uint16_t CurrentTextIndex = 0;
    // The whole records of the library file after the ones the table holds:
    // never shown, written back after the shown ones at every save.
    QByteArray RecordsBeyondTable;

    // The current text, the word stream and the running exercise.
    TextLines TextLineBuffer;
    WordStream Words;
    ExerciseState Exercise;
    bool ExerciseActive = false;   // the exercise panel is up on the main window
    bool SpeedDirection = false;   // held speed button: false faster, true slower
    bool ExerciseLoaded = false;   // the last exercise start loaded its text
    // A font was chosen in the preferences and accepted: every exercise start
    // gives the exercise text that font. Not saved; never cleared while running.
    bool CustomFontChosen = false;
    // The priority of the thread the exercise steps run on: raised while an
    // exercise runs, so that a busy machine does not delay its steps.
    ThreadPriority ExercisePriority;

    // The windows, in creation order.
    std::unique_ptr<WelcomeWindow> welcomeWindow;
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<PreferencesWindow> preferencesWindow;
    std::unique_ptr<AboutWindow> aboutWindow;
    std::unique_ptr<ExerciseWindow> exerciseWindow;
    std::unique_ptr<SpeedIndicator> speedIndicator;
    std::unique_ptr<TextManagerWindow> textManager;
    std::unique_ptr<ReadingSpeedTestWindow> readingSpeedTest;
    std::unique_ptr<AddTextWindow> addTextWindow;
    std::unique_ptr<AddBookmarkWindow> addBookmarkWindow;
    std::unique_ptr<JumpToBookmarkWindow> jumpToBookmarkWindow;
    std::unique_ptr<BreakScreen> breakScreen;
    std::unique_ptr<IpsTestWindow> ipsTest;
    std::unique_ptr<MemoryTestWindow> memoryTest;
    std::unique_ptr<StatisticsWindow> statisticsWindow;

    // The results of the tests and exercises, "Vistorel.sqlite" in the start
    // directory, as the windows read them; a file that cannot be used is
    // reported once at start.
    std::unique_ptr<ResultsDatabase> Results;
    // Where the windows put new results, places and running sessions: written
    // into the same file on a thread of its own, and kept in
    // "Vistorel-waiting.json" while the file cannot take them.
    std::unique_ptr<ResultsWriter> Writer;
    // How long the end of the program waits for results to be written.
    static constexpr int kExitFlushMs = 2000;

    // From now on SIGTERM, SIGHUP and SIGINT end the program as its Exit
    // command does (the program's entry asks for this; tests do not).
    void EndOnTerminationSignals();
    // The program ends because it was asked to by a signal: nothing may wait
    // for the user, so what would be a message box goes to the error output.
    bool EndingOnSignal = false;
    // The current text's title in the library, else its file name.
    QString TextTitle() const;

    // "Vistorel.ini" into SettingsRecord, then the preset of its level. A
    // missing file is the first start; one that exists but cannot be read is
    // reported, and then never written over in this run (it may hold the
    // user's settings).
    void LoadSettings();
    // SettingsRecord into "Vistorel.ini" in the start directory; false, with
    // the reason in *error, on failure (the previous file then stays whole).
    bool SaveSettings(QString* error = nullptr);
    // "book_data.dat" into the library, and the current text's slot. A file
    // that exists but cannot be read is reported and never written over in
    // this run, as with the settings. A file with more records than the table
    // holds is reported too: the records past it are kept.
    void LoadTextLibrary();
    // Slots 1..TextCount and the records beyond the table into
    // "book_data.dat"; raises FileError on failure,
    // leaving the previous file as it was (the caller keeps the library in
    // memory as it was).
    void SaveTextLibrary();

    // What the exercise window and the welcome window ask of the main window:
    // the exercise window was closed, the speed changed, the training begins.
    void EndExercise();
    void DrawSpeedBar();
    void ShowMainWindow();
    // A key pressed in the exercise window: the keys of a running exercise
    // (MainWindow::ExerciseKey); true when used.
    bool ExerciseKey(int key);

    // A failure for the saves to run into (tests of failing disks).
    WriteFault SaveFault;

    // A path of the settings or the library, as the program opens it: a
    // relative path is taken from the start directory.
    QString ResolvePath(const QString& path) const;
    // A file path as a record stores it, in a field of `capacity` characters:
    // a path below the start directory is made relative to it (the program
    // reads it from there). Raises Error, with a message that says why, when
    // the path still does not fit or has characters the record cannot hold.
    QString StorablePath(const QString& path, int capacity) const;
    // A data file in the start directory.
    QString StartFile(const QString& name) const;
    // Loads a picture of the window definitions ("images\bgrnd.bmp") from
    // below the image directory.
    void LoadImage(Bitmap& bitmap, const QString& name) const;
    // The same, but a picture that cannot be loaded is reported and left
    // empty, and the caller goes on with its other pictures.
    void LoadImageOrReport(Bitmap& bitmap, const QString& name) const override;

    // What a book's reader had to say of it (damaged bytes replaced), told
    // once in a run for each notice; nothing when it is empty.
    void ReportNotice(const QString& notice);

private:
    std::unique_ptr<TerminationSignals> terminationSignals_;
    QStringList noticesGiven_;
    // Why a data file could not be read at start-up; empty when it was read
    // or did not exist. Such a file is not replaced.
    QString settingsUnreadable_;
    QString libraryUnreadable_;

    template <class Window>
    std::unique_ptr<Window> Create();
};

}  // namespace vistorel
