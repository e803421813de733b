#include "TestSupport.h"

#include "app/Program.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace vistorel::test {
namespace {

template <class T>
std::optional<T> Take(std::deque<T>& queue) {
    if (queue.empty()) return std::nullopt;
    T value = queue.front();
    queue.pop_front();
    return value;
}

}  // namespace

std::optional<QString> ScriptedDialogs::OpenFile(const QString& filter) {
    FiltersAsked.append(filter);
    return Take(Files);
}
std::optional<QString> ScriptedDialogs::OpenPicture() { return Take(Pictures); }
std::optional<TColor> ScriptedDialogs::ChooseColor(TColor) { return Take(Colours); }
std::optional<Font> ScriptedDialogs::ChooseFont(const Font&) { return Take(Fonts); }

TestApplication::TestApplication() : App(Errors, Dialogs) { App.Random().SetFixedSeed(12345); }

QString ImagesDirectory() { return QStringLiteral(VISTOREL_IMAGES_DIR); }
QString DataDirectory() { return QStringLiteral(VISTOREL_DATA_DIR); }

StartDirectory::StartDirectory(bool withImages) {
    if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary directory");
    if (!withImages) return;
    QDir source(ImagesDirectory());
    QDir target(dir_.path());
    target.mkdir(QStringLiteral("images"));
    const QStringList files = source.entryList(QDir::Files);
    for (const QString& name : files) {
        QFile::copy(source.filePath(name), target.filePath(QStringLiteral("images/") + name));
    }
}

void StartDirectory::Write(const QString& name, const QByteArray& bytes) const {
    QFile file(File(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write test file");
    }
}

QByteArray StartDirectory::Read(const QString& name) const {
    QFile file(File(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

ProgramUnderTest::ProgramUnderTest(const std::function<void(StartDirectory&)>& prepare, bool withImages)
    : Dir(withImages) {
    if (prepare) prepare(Dir);
    program_ = std::make_unique<Program>(Test.App, Dir.Path());
}

ProgramUnderTest::~ProgramUnderTest() = default;

bool StartDirectory::Exists(const QString& name) const { return QFile::exists(File(name)); }

}  // namespace vistorel::test
