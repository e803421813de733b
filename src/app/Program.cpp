#include "app/Program.h"

#include "app/ImageButton.h"
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
#include "trainers/BreakScreen.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/MemoryTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include "platform/TextCodec.h"

#include <QDir>

namespace vistorel {

Program::Program(Application& app, const QString& startDirectory)
    : App(app), StartDirectory(QDir(startDirectory).absolutePath()) {
    // Problems while the windows load their pictures are reported once, together.
    App.BeginErrorBatch();
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
    App.EndErrorBatch();
}

Program::~Program() = default;

template <class Window>
std::unique_ptr<Window> Program::Create() {
    auto window = std::make_unique<Window>(*this);
    window->Create();
    return window;
}

void Program::LoadSettings() {
    LoadSettingsFile(StartFile(QStringLiteral("Vistorel.ini")), SettingsRecord);
    Preset.Apply(SettingsRecord.Level);
}

bool Program::SaveSettings() { return SaveSettingsFile(StartFile(QStringLiteral("Vistorel.ini")), SettingsRecord); }

void Program::LoadTextLibrary() {
    TextCount = static_cast<std::uint8_t>(LoadTextLibraryFile(StartFile(QStringLiteral("book_data.dat")), TextLibrary));
    CurrentTextIndex = FindCurrentText(TextLibrary, TextCount, SettingsRecord.TextPath);
}

void Program::SaveTextLibrary() { SaveTextLibraryFile(StartFile(QStringLiteral("book_data.dat")), TextLibrary, TextCount); }

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
    if (!FitsCp1251(stored)) {
        throw Error(QStringLiteral("Путь \"%1\" содержит знаки, которые нельзя сохранить (допустимы латиница, "
                                   "кириллица, цифры и обычные знаки). Переименуйте файл или папку.")
                        .arg(path));
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
    bitmap.LoadFromFile(ResolveImageName(StartDirectory, name));
}

void Program::LoadImageOrReport(Bitmap& bitmap, const QString& name) const {
    try {
        LoadImage(bitmap, name);
    } catch (const Error& e) {
        App.ReportError(e.Message());
    }
}

}  // namespace vistorel
