#include "app/Program.h"

#include "app/ImageButton.h"
#include "app/main.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit5.h"
#include "dialogs/about3.h"
#include "engine/Unit4.h"
#include "engine/ind_s.h"
#include "library/Unit10.h"
#include "library/Unit11.h"
#include "library/Unit7.h"
#include "library/Unit9.h"
#include "trainers/Unit12.h"
#include "trainers/Unit13.h"
#include "trainers/Unit14.h"
#include "trainers/Unit8.h"

#include <QDir>

namespace vistorel {

Program::Program(Application& app, const QString& startDirectory)
    : App(app), StartDirectory(QDir(startDirectory).absolutePath()) {
    // Problems while the windows load their pictures are reported once, together.
    App.BeginErrorBatch();
    Form5 = Create<TForm5>();
    Form1 = Create<TForm1>();
    Form2 = Create<TForm2>();
    Form3 = Create<TForm3>();
    Form4 = Create<TForm4>();
    indicator = Create<Tindicator>();
    Form7 = Create<TForm7>();
    Form8 = Create<TForm8>();
    Form9 = Create<TForm9>();
    Form10 = Create<TForm10>();
    Form11 = Create<TForm11>();
    Form12 = Create<TForm12>();
    Form13 = Create<TForm13>();
    Form14 = Create<TForm14>();
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

QString Program::StartFile(const QString& name) const { return QDir(StartDirectory).filePath(name); }

void Program::LoadImage(Bitmap& bitmap, const QString& name) const {
    bitmap.LoadFromFile(ResolveImageName(StartDirectory, name));
}

}  // namespace vistorel
