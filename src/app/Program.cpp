#include "app/Program.h"

#include "app/MainWindow.h"
#include "dialogs/AboutWindow.h"
#include "dialogs/PreferencesWindow.h"
#include "dialogs/WelcomeWindow.h"
#include "engine/ExerciseWindow.h"
#include "engine/SpeedIndicator.h"
#include "history/ResultsDatabase.h"
#include "history/ResultsWriter.h"
#include "history/StatisticsWindow.h"
#include "library/AddBookmarkWindow.h"
#include "library/AddTextWindow.h"
#include "library/JumpToBookmarkWindow.h"
#include "library/TextManagerWindow.h"
#include "platform/TerminationSignals.h"
#include "platform/TextCodec.h"
#include "skin/ImageButton.h"
#include "skin/WindowRoles.h"
#include "trainers/BreakScreen.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/MemoryTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QDir>
#include <QFileInfo>

namespace vistorel {

namespace {

// The windows read the results file only for a moment: a file another
// program holds gives them nothing at once rather than a frozen window.
constexpr int kReadBusyTimeoutMs = 250;

QString ImagesBelow(const QString& startDirectory, const QString& installedFolder) {
    const auto hasImages = [](const QString& folder) {
        return QFileInfo(QDir(folder).filePath(QStringLiteral("images"))).isDir();
    };
    if (hasImages(startDirectory) || installedFolder.isEmpty() || !hasImages(installedFolder)) return startDirectory;
    return QDir(installedFolder).absolutePath();
}

}  // namespace

Program::Program(Application& app, const QString& startDirectory, const QString& installedFolder)
    : App(app),
      StartDirectory(QDir(startDirectory).absolutePath()),
      ImageDirectory(ImagesBelow(StartDirectory, installedFolder)) {
    // Screen readers tell the windows' kinds, not fillers.
    InstallWindowRoles();
    // What a save killed half-way left behind is of no use to anyone.
    RemoveSaveLeftovers(StartDirectory, {QStringLiteral("Vistorel.ini"), QStringLiteral("book_data.dat"),
                                         QStringLiteral("Vistor.bat"), QStringLiteral("Vistorel-waiting.json")});
    // Problems while the windows load their pictures are reported once, together.
    App.BeginErrorBatch();
    const QString database = StartFile(QStringLiteral("Vistorel.sqlite"));
    Results = std::make_unique<ResultsDatabase>(
        database, [this](const QString& message) { App.ReportError(message); }, kReadBusyTimeoutMs);
    // Opened after the windows' connection has checked (and if need be put
    // aside) the file, so that the two never do it at once.
    Writer = std::make_unique<ResultsWriter>(
        database, StartFile(QStringLiteral("Vistorel-waiting.json")),
        ResultsWriter::Events{[this](std::optional<ResultKind> kind) { Results->Announce(kind); },
                              [this](const QString& message) { App.ReportError(message); },
                              [this] { Results->Reopen(); }});
    welcomeWindow = Create<WelcomeWindow>();
    mainWindow = Create<MainWindow>();
    preferencesWindow = Create<PreferencesWindow>();
    aboutWindow = Create<AboutWindow>();
    exerciseWindow = Create<ExerciseWindow>();
    speedIndicator = Create<SpeedIndicator>();
    textManager = Create<TextManagerWindow>();
    readingSpeedTest = Create<ReadingSpeedTestWindow>();
    addTextWindow = Create<AddTextWindow>();
    addBookmarkWindow = Create<AddBookmarkWindow>();
    jumpToBookmarkWindow = Create<JumpToBookmarkWindow>();
    breakScreen = Create<BreakScreen>();
    ipsTest = Create<IpsTestWindow>();
    memoryTest = Create<MemoryTestWindow>();
    statisticsWindow = Create<StatisticsWindow>();
    App.EndErrorBatch();
}

Program::~Program() = default;

template <class Window>
std::unique_ptr<Window> Program::Create() {
    auto window = std::make_unique<Window>(*this);
    window->Create();
    return window;
}

namespace {

QString KeptAsItIs(const QString& path, const QString& reason) {
    return QStringLiteral("Не удаётся прочитать файл \"%1\": %2. Программа работает без него и не будет "
                          "его перезаписывать, чтобы не потерять то, что в нём хранится.")
        .arg(path, reason);
}

}  // namespace

void Program::LoadSettings() {
    const QString path = StartFile(QStringLiteral("Vistorel.ini"));
    QString reason;
    if (LoadSettingsFile(path, SettingsRecord, &reason) == FileRead::Status::Failed) {
        settingsUnreadable_ = reason;
        App.ReportError(KeptAsItIs(path, reason));
    }
    Preset.Apply(SettingsRecord.Level);
}

bool Program::SaveSettings(QString* error) {
    const QString path = StartFile(QStringLiteral("Vistorel.ini"));
    if (!settingsUnreadable_.isEmpty()) {
        if (error) *error = KeptAsItIs(path, settingsUnreadable_);
        return false;
    }
    return SaveSettingsFile(path, SettingsRecord, error, SaveFault);
}

void Program::LoadTextLibrary() {
    const QString path = StartFile(QStringLiteral("book_data.dat"));
    QString failure;
    TextCount = static_cast<std::uint8_t>(LoadTextLibraryFile(path, TextLibrary, &failure, &RecordsBeyondTable));
    if (!failure.isEmpty()) {
        libraryUnreadable_ = failure;
        App.ReportError(KeptAsItIs(path, failure));
    }
    if (!RecordsBeyondTable.isEmpty()) {
        App.ReportError(QStringLiteral("В файле библиотеки \"%1\" больше текстов, чем помещается в базу текстов: "
                                       "записей в нём %2, а показаны только первые %3. Остальные остаются в файле "
                                       "как были и сохраняются при каждой записи библиотеки. Чтобы увидеть их, "
                                       "удалите ненужные тексты и запустите программу снова.")
                            .arg(path)
                            .arg(TextCount + RecordsBeyondTable.size() / static_cast<qsizetype>(sizeof(TextRecord)))
                            .arg(kMaxTexts));
    }
    CurrentTextIndex = FindCurrentText(TextLibrary, TextCount, SettingsRecord.TextPath, StartDirectory);
}

void Program::SaveTextLibrary() {
    const QString path = StartFile(QStringLiteral("book_data.dat"));
    if (!libraryUnreadable_.isEmpty()) {
        throw FileError(path, QStringLiteral("записать файл"),
                        QStringLiteral("при запуске его не удалось прочитать (%1), и программа не перезаписывает "
                                       "его, чтобы не потерять хранящиеся в нём тексты")
                            .arg(libraryUnreadable_));
    }
    SaveTextLibraryFile(path, TextLibrary, TextCount, SaveFault, RecordsBeyondTable);
}

QString Program::ResolvePath(const QString& path) const {
    if (path.isEmpty()) return path;
    return QDir(StartDirectory).filePath(path);
}

QString Program::StorablePath(const QString& path, int capacity) const {
    QString stored = path.trimmed().isEmpty() ? QString() : QDir::cleanPath(path);
    if (QDir::isAbsolutePath(stored)) {
        const QString relative = QDir(StartDirectory).relativeFilePath(stored);
        if (!relative.startsWith(QStringLiteral("../")) && relative != QStringLiteral("..")) stored = relative;
    }
    const QString unstorable = FirstOutsideCp1251(stored);
    if (!unstorable.isEmpty()) {
        throw Error(QStringLiteral("Путь \"%1\" содержит знак «%2», который нельзя сохранить (допустимы латиница, "
                                   "кириллица, цифры и обычные знаки). Переименуйте файл или папку.")
                        .arg(path, unstorable));
    }
    if (stored.size() > capacity) {
        throw Error(QStringLiteral("Путь \"%1\" слишком длинный: помещается не более %2 знаков, а в нём %3. "
                                   "Положите файл ближе к папке программы (%4) или укоротите имена.")
                        .arg(path)
                        .arg(capacity)
                        .arg(stored.size())
                        .arg(StartDirectory));
    }
    return stored;
}

QString Program::StartFile(const QString& name) const { return QDir(StartDirectory).filePath(name); }

void Program::LoadImage(Bitmap& bitmap, const QString& name) const {
    bitmap.LoadFromFile(ResolveImageName(ImageDirectory, name));
}

QString Program::TextTitle() const {
    if (CurrentTextIndex >= 1 && CurrentTextIndex <= TextCount) {
        const QString title = TextLibrary[CurrentTextIndex].Title.Text();
        if (!title.trimmed().isEmpty()) return title;
    }
    return QFileInfo(SettingsRecord.TextPath.Text()).completeBaseName();
}

void Program::EndExercise() { mainWindow->EndExercise(); }

void Program::EndOnTerminationSignals() {
    terminationSignals_ = std::make_unique<TerminationSignals>(App, [this](int) {
        if (EndingOnSignal) return;
        EndingOnSignal = true;
        mainWindow->ExitProgram();
    });
}

void Program::DrawSpeedBar() { mainWindow->DrawSpeedBar(); }

void Program::ShowMainWindow() { mainWindow->ShowMaximized(); }

bool Program::ExerciseKey(int key) { return mainWindow->ExerciseKey(key); }

void Program::LoadImageOrReport(Bitmap& bitmap, const QString& name) const {
    try {
        LoadImage(bitmap, name);
    } catch (const Error& e) {
        App.ReportError(e.Message());
    }
}

void Program::ReportNotice(const QString& notice) {
    if (notice.isEmpty() || noticesGiven_.contains(notice)) return;
    noticesGiven_.append(notice);
    App.ReportError(notice);
}

}  // namespace vistorel
