#include "TestSupport.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "library/AddTextWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <random>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

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
std::optional<SaveChoice> ScriptedDialogs::SaveFile(const QString& filter, const QString&) {
    FiltersAsked.append(filter);
    const std::optional<QString> path = Take(SaveFiles);
    const int type = Take(SaveFileTypes).value_or(0);
    if (!path) return std::nullopt;
    return SaveChoice{*path, type};
}
bool ScriptedDialogs::Confirm(const QString& question) {
    Questions.append(question);
    return Take(Answers).value_or(false);
}
std::optional<TColor> ScriptedDialogs::ChooseColor(TColor) { return Take(Colours); }
std::optional<Font> ScriptedDialogs::ChooseFont(const Font&) { return Take(Fonts); }

TestApplication::TestApplication() : App(Errors, Dialogs) { App.Random().SetFixedSeed(12345); }

QByteArray RandomBytes(int size, unsigned seed) {
    std::mt19937 engine(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes) b = static_cast<char>(engine() & 0xFF);
    return bytes;
}

FileSizeLimit::FileSizeLimit(long bytes) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    savedLimit_ = limit.rlim_cur;
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = savedLimit_;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler_);
}

OtherUser::OtherUser() : switched_(::geteuid() == 0 && ::seteuid(kId) == 0) {}

OtherUser::~OtherUser() {
    if (switched_) (void)::seteuid(0);
}

QString ImagesDirectory() { return QStringLiteral(VISTOREL_IMAGES_DIR); }
QString DataDirectory() { return QStringLiteral(VISTOREL_DATA_DIR); }

StartDirectory::StartDirectory(bool withImages) {
    if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary directory");
    if (!withImages) return;
    // A link to the build's images: quick, and tests only read them.
    if (!QFile::link(ImagesDirectory(), dir_.filePath(QStringLiteral("images")))) {
        throw std::runtime_error("cannot link the images folder");
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
    // Texts are read within the call that asks for them, however busy the
    // machine running the suite: a test of reading off the GUI thread sets 0.
    for (BackgroundWork* load : {&program_->mainWindow->textLoad, &program_->addTextWindow->bookLoad,
                                 &program_->readingSpeedTest->textLoad}) {
        load->QuickMs = 60 * 1000;
    }
}

ProgramUnderTest::~ProgramUnderTest() = default;

bool StartDirectory::Exists(const QString& name) const { return QFile::exists(File(name)); }

}  // namespace vistorel::test
