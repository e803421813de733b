#include "Monkey.h"

#include "Watchdog.h"
#include "app/Workspace.h"
#include "platform/Errors.h"
#include "platform/FileAccess.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "dialogs/AboutWindow.h"
#include "dialogs/PreferencesWindow.h"
#include "dialogs/WelcomeWindow.h"
#include "engine/ExerciseWindow.h"
#include "engine/SpeedIndicator.h"
#include "history/StatisticsWindow.h"
#include "library/AddBookmarkWindow.h"
#include "library/AddTextWindow.h"
#include "library/JumpToBookmarkWindow.h"
#include "library/TextManagerWindow.h"
#include "records/TextLibraryFile.h"
#include "trainers/BreakScreen.h"
#include "trainers/IpsTestWindow.h"
#include "trainers/MemoryTestWindow.h"
#include "trainers/ReadingSpeedTestWindow.h"

#include "BookMaker.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime's allocator interface (its header is not installed here).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <vector>

namespace vistorel::monkey {
namespace {

constexpr std::array<const char*, kWindowCount + 1> kWindowNames = {
    "welcome",          "main",         "preferences",  "about",           "exercise",
    "speed indicator",  "text manager", "reading test", "add text",        "add bookmark",
    "jump to bookmark", "break screen", "IPS test",     "memory test",     "statistics",
    "menus (popups)"};

long StatusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) return line.mid(static_cast<qsizetype>(qstrlen(field))).trimmed().split(' ')[0].toLong();
    }
    return 0;
}

// The bytes the program holds on the heap; under AddressSanitizer its own
// count, without the freed memory it keeps in quarantine.
long HeapKb() {
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    return 0;
#endif
}

QByteArray RandomBytes(std::mt19937& random, int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

}  // namespace

int WindowNamed(const QString& name) {
    for (int w = 0; w < kWindowCount; ++w) {
        if (name == QLatin1String(kWindowNames[static_cast<std::size_t>(w)])) return w;
    }
    return -1;
}

Monkey::Monkey(const Options& options, Watchdog& watchdog)
    : options_(options), watchdog_(watchdog), random_(options.Seed), dialogs_(random_) {
    if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary start directory");
    for (const QString& name : options.Skipped) {
        const int window = WindowNamed(name);
        if (window < 0) throw std::runtime_error("no window is called " + name.toStdString());
        skipped_[static_cast<std::size_t>(window)] = true;
    }
    PrepareStartDirectory();
}

Monkey::~Monkey() { EndProgram(); }

// The ready workspace, and beside it the odd files a user may pick: an empty
// text, a binary one, one endless line, a folder, a path too long for the
// records, missing files and broken pictures; and small books, FB2 and EPUB.
void Monkey::PrepareStartDirectory() {
    try {
        PrepareFiles();
    } catch (const Error& e) {
        throw std::runtime_error(e.Message().toStdString());
    }
}

void Monkey::PrepareFiles() {
    PrepareWorkspace(dir_.path(), options_.PracticeText, options_.ImagesDir);
    const QDir dir(dir_.path());
    const QString practice = QFileInfo(options_.PracticeText).fileName();
    WriteFileAtomically(dir.filePath(QStringLiteral("empty.txt")), {});
    WriteFileAtomically(dir.filePath(QStringLiteral("binary.txt")), RandomBytes(random_, 4096));
    WriteFileAtomically(dir.filePath(QStringLiteral("one-line.txt")), QByteArray(60000, 'w'));
    WriteFileAtomically(dir.filePath(QStringLiteral("short utf8.txt")),
              QStringLiteral("Короткий текст.\nВсего две строки, и ёлка.\n").toUtf8());
    dir.mkpath(QStringLiteral("folder.txt"));
    QString deep = QStringLiteral("deep");
    for (int k = 0; k < 12; ++k) deep += QStringLiteral("/a-rather-long-folder-name-%1").arg(k);
    dir.mkpath(deep);
    const QString deepText = dir.filePath(deep + QStringLiteral("/far.txt"));
    QFile::copy(dir.filePath(practice), deepText);
    WriteFileAtomically(dir.filePath(QStringLiteral("broken.bmp")), "BM" + RandomBytes(random_, 300));
    WriteFileAtomically(dir.filePath(QStringLiteral("broken.jpg")), QByteArray("\xFF\xD8\xFF\xE0", 4) + RandomBytes(random_, 300));
    QImage photo(200, 120, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    const QString jpeg = dir.filePath(QStringLiteral("photo.jpg"));
    const bool haveJpeg = photo.save(jpeg, "JPG");
    const bookmaker::Book book = bookmaker::StoryBook(2, 3);
    WriteFileAtomically(dir.filePath(QStringLiteral("story.fb2")), bookmaker::Fb2(book));
    WriteFileAtomically(dir.filePath(QStringLiteral("story.epub")), bookmaker::Epub(book));

    FillLibrary({practice, QStringLiteral("story.fb2"), QStringLiteral("empty.txt"), QStringLiteral("binary.txt"),
                 QStringLiteral("story.epub"), QStringLiteral("one-line.txt"), QStringLiteral("short utf8.txt"),
                 QStringLiteral("folder.txt"), QStringLiteral("missing.txt")});
    dialogs_.TextFiles = {dir.filePath(practice), practice, dir.filePath(practice), dir.filePath(QStringLiteral("story.fb2")),
                          dir.filePath(QStringLiteral("story.epub")), dir.filePath(QStringLiteral("empty.txt")),
                          dir.filePath(QStringLiteral("binary.txt")), dir.filePath(QStringLiteral("one-line.txt")),
                          dir.filePath(QStringLiteral("short utf8.txt")), dir.filePath(QStringLiteral("folder.txt")),
                          deepText, dir.filePath(QStringLiteral("missing.txt"))};
    dialogs_.SaveFiles = {dir.filePath(QStringLiteral("results.csv")), dir.filePath(QStringLiteral("folder.txt")),
                          dir.filePath(QStringLiteral("no-such-folder/results.csv"))};
    dialogs_.PictureFiles = {dir.filePath(QStringLiteral("images/bgrnd.bmp")), dir.filePath(QStringLiteral("images/Ring3.bmp")),
                             dir.filePath(QStringLiteral("images/vistorlogo.bmp")), dir.filePath(QStringLiteral("broken.bmp")),
                             dir.filePath(QStringLiteral("broken.jpg")), dir.filePath(QStringLiteral("missing.bmp"))};
    if (haveJpeg) dialogs_.PictureFiles.append(jpeg);
}

// After the practice text, the library gets entries for every odd file, up
// to a few short of its limit, with descriptions and bookmarks from none to
// full, some pointing far past the end of their text.
void Monkey::FillLibrary(const QStringList& files) {
    const QString path = QDir(dir_.path()).filePath(QStringLiteral("book_data.dat"));
    TextTable library;
    int count = LoadTextLibraryFile(path, library);
    for (int k = 0; count < kMaxTexts - 4; ++k) {
        TextRecord& entry = library[++count];
        entry.Title.SetText(QStringLiteral("Текст %1: %2").arg(count).arg(files[k % files.size()]));
        entry.FilePath.SetText(files[k % files.size()]);
        entry.DescriptionLineCount = static_cast<std::uint16_t>(k % (kMaxDescriptionLines + 1));
        for (int line = 1; line <= entry.DescriptionLineCount; ++line) {
            entry.DescriptionLine(line).SetText(QStringLiteral("Строка описания %1").arg(line));
        }
        entry.BookmarkCount = static_cast<std::uint16_t>(k % (kMaxBookmarks + 1));
        for (int mark = 1; mark <= entry.BookmarkCount; ++mark) {
            entry.BookmarkName(mark).SetText(QStringLiteral("Закладка %1").arg(mark));
            entry.BookmarkLine(mark) = static_cast<std::uint32_t>(mark % 7 == 0 ? 4000000000U : mark * 13);
        }
    }
    SaveTextLibraryFile(path, library, count);
}

void Monkey::StartProgram() {
    app_ = std::make_unique<Application>(errors_, dialogs_);
    app_->Random().SetFixedSeed(options_.Seed + static_cast<std::uint32_t>(starts_));
    program_ = std::make_unique<Program>(*app_, dir_.path());
    program_->welcomeWindow->Show();
    ++starts_;
    ++opened_[0];
}

void Monkey::EndProgram() {
    if (program_) {
        // How far into the library the run got.
        int bookmarks = 0;
        for (int slot = 1; slot <= program_->TextCount; ++slot) bookmarks += program_->TextLibrary[slot].BookmarkCount;
        mostTexts_ = std::max<int>(mostTexts_, program_->TextCount);
        mostBookmarks_ = std::max(mostBookmarks_, bookmarks);
    }
    program_.reset();
    app_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::array<Form*, kWindowCount> Monkey::Windows() const {
    Program& p = *program_;
    return {p.welcomeWindow.get(), p.mainWindow.get(),  p.preferencesWindow.get(),    p.aboutWindow.get(),
            p.exerciseWindow.get(), p.speedIndicator.get(), p.textManager.get(),   p.readingSpeedTest.get(),
            p.addTextWindow.get(),  p.addBookmarkWindow.get(), p.jumpToBookmarkWindow.get(), p.breakScreen.get(),
            p.ipsTest.get(),        p.memoryTest.get(), p.statisticsWindow.get()};
}

int Monkey::WindowOf(const QWidget* top) const {
    const auto windows = Windows();
    for (int w = 0; w < kWindowCount; ++w) {
        if (windows[static_cast<std::size_t>(w)]->Widget() == top) return w;
    }
    return kOtherWindows;
}

int Monkey::Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

int Monkey::Run() {
    QElapsedTimer clock;
    clock.start();
    StartProgram();
    Idle(50);
    baselineRssKb_ = StatusKb("VmRSS:");
    baselineHeapKb_ = HeapKb();
    for (event_ = 0; event_ < options_.Events; ++event_) {
        watchdog_.Beat(event_, action_);
        Act();
        if (app_->Terminated()) {
            // The user chose Exit: start the program again, as they would.
            action_ = "restart after exit";
            watchdog_.Beat(event_, action_);
            EndProgram();
            StartProgram();
        }
        if (event_ % 250 == 0 && !MemoryWithinBound()) break;
        if (event_ > 0 && event_ % 10000 == 0) {
            std::printf("monkey: %lld events, resident memory %ld MB, heap %ld MB, errors reported %lld\n", event_,
                        StatusKb("VmRSS:") / 1024, HeapKb() / 1024, errors_.Count);
            std::fflush(stdout);
        }
    }
    Idle(20);
    MemoryWithinBound();
    EndProgram();
    Report(static_cast<double>(clock.elapsed()) / 1000.0);
    return memoryFailure_.isEmpty() ? 0 : 3;
}

// A window left alone that something opened (a menu item, another window)
// goes away at once.
void Monkey::HideSkipped() {
    const auto windows = Windows();
    for (int w = 0; w < kWindowCount; ++w) {
        if (Skipped(w) && windows[static_cast<std::size_t>(w)]->Visible()) {
            windows[static_cast<std::size_t>(w)]->Widget()->hide();
        }
    }
}

void Monkey::Act() {
    HideSkipped();
    const int roll = Uniform(0, 999);
    if (roll < 15) return OpenWindow();
    if (roll < 25) return TriggerMenuItem();
    if (roll < 32) return CloseWindow();
    if (roll < 35) return ResizeWindow();
    if (roll < 80) {
        action_ = "idle";
        return Idle(Uniform(5, 40));
    }
    QWidget* top = ChooseTopLevel();
    if (top == nullptr) return OpenWindow();
    ++reached_[static_cast<std::size_t>(WindowOf(top))];
    if (roll < 280) return KeyAction(top);
    QWidget* widget = ChooseWidget(top);
    if (roll < 310) return WheelAction(widget);
    MouseAction(widget);
}

// The show paths of the windows, as the program's buttons and menu items run them.
void Monkey::OpenWindow() {
    action_ = "open a window";
    Program& p = *program_;
    static const std::array<std::function<void(Program&)>, kWindowCount + 2> kOpen = {
        [](Program& q) { q.welcomeWindow->Show(); },
        [](Program& q) { q.mainWindow->ShowMaximized(); },
        [](Program& q) { q.preferencesWindow->FillPreferences(); },
        [](Program& q) { q.aboutWindow->Show(); },
        [](Program& q) { q.mainWindow->BeginExercise(); },
        [](Program& q) { q.speedIndicator->Show(); },
        [](Program& q) { q.textManager->Show(); },
        [](Program& q) { q.readingSpeedTest->Show(); },
        [](Program& q) { q.addTextWindow->OpenForAdding(); },
        [](Program& q) { q.addBookmarkWindow->OpenAddBookmark(); },
        [](Program& q) { q.jumpToBookmarkWindow->OpenJumpToBookmark(); },
        [](Program& q) { q.breakScreen->StartBreak(); },
        [](Program& q) { q.ipsTest->Show(); },
        [](Program& q) { q.memoryTest->Show(); },
        [](Program& q) { q.statisticsWindow->Show(); },
        [](Program& q) { q.textManager->OpenForReplacing(); },
        [](Program& q) { q.mainWindow->EndExercise(); },
    };
    const int which = Uniform(0, static_cast<int>(kOpen.size()) - 1);
    if (which < kWindowCount && Skipped(which)) return;
    if (which < kWindowCount) ++opened_[static_cast<std::size_t>(which)];
    p.App.Guard([&] { kOpen[static_cast<std::size_t>(which)](p); });
    watchdog_.Beat(event_, action_);
    QCoreApplication::processEvents();
}

void Monkey::TriggerMenuItem() {
    action_ = "menu item";
    const QList<QAction*> actions = program_->mainWindow->menu.Bar()->findChildren<QAction*>();
    std::vector<QAction*> items;
    for (QAction* a : actions) {
        if (!a->menu() && !a->isSeparator()) items.push_back(a);
    }
    if (items.empty()) return;
    items[static_cast<std::size_t>(Uniform(0, static_cast<int>(items.size()) - 1))]->trigger();
    watchdog_.Beat(event_, action_);
    QCoreApplication::processEvents();
}

// The close box of a window, as the window manager sends it.
void Monkey::CloseWindow() {
    action_ = "close a window";
    QWidget* top = ChooseTopLevel();
    if (top == nullptr) return;
    top->close();
    watchdog_.Beat(event_, action_);
    QCoreApplication::processEvents();
}

void Monkey::ResizeWindow() {
    action_ = "resize a window";
    QWidget* top = ChooseTopLevel();
    if (top == nullptr) return;
    if (Chance(20)) {
        top->showMinimized();
        QCoreApplication::processEvents();
        top->showNormal();
    } else {
        top->resize(Uniform(1, 1400), Uniform(1, 1100));
    }
    watchdog_.Beat(event_, action_);
    QCoreApplication::processEvents();
}

// Lets the event loop run for a while: the timers of the program fire.
void Monkey::Idle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    watchdog_.Beat(event_, action_);
}

bool Monkey::MemoryWithinBound() {
    const long rss = StatusKb("VmRSS:");
    const long heap = HeapKb();
    peakRssKb_ = std::max(peakRssKb_, rss);
    peakHeapKb_ = std::max(peakHeapKb_, heap);
    const auto over = [this](const char* what, long now, long start, long boundMb) {
        if (now - start <= boundMb * 1024) return false;
        memoryFailure_ = QStringLiteral("%1 %2 MB is more than %3 MB over its %4 MB after start-up (event %5)")
                             .arg(QLatin1String(what))
                             .arg(now / 1024)
                             .arg(boundMb)
                             .arg(start / 1024)
                             .arg(event_);
        return true;
    };
    if (over("resident memory", rss, baselineRssKb_, options_.RssBoundMb)) return false;
    return !(Options::kHeapCounted && over("heap", heap, baselineHeapKb_, options_.HeapBoundMb));
}

void Monkey::Report(double seconds) const {
    std::printf("monkey: seed %u, %lld events (%lld Qt input events) in %.1f s, %lld program start(s)\n", options_.Seed,
                event_, qtEvents_, seconds, starts_);
    std::printf("monkey: windows reached (events / times opened):\n");
    int reached = 0;
    for (std::size_t w = 0; w < kWindowNames.size(); ++w) {
        std::printf("  %-18s %8lld %6lld%s\n", kWindowNames[w], reached_[w], opened_[w], skipped_[w] ? "  (left alone)" : "");
        if (w < kWindowCount && reached_[w] > 0) ++reached;
    }
    const int skipped = static_cast<int>(std::count(skipped_.begin(), skipped_.end(), true));
    std::printf("monkey: %d of %d windows got events\n", reached, kWindowCount - skipped);
    std::printf("monkey: dialogs asked %lld (cancelled %lld), message boxes %lld, waiting loops ended %lld\n",
                dialogs_.Asked, dialogs_.Cancelled, dialogs_.Messages, loopsEnded_);
    std::printf("monkey: library at a program's end: up to %d texts, %d bookmarks\n", mostTexts_, mostBookmarks_);
    std::printf("monkey: errors reported %lld (%zu distinct)\n", errors_.Count, errors_.Distinct.size());
    std::vector<std::pair<long long, QString>> common;
    for (const auto& [message, count] : errors_.Distinct) common.emplace_back(count, message);
    std::sort(common.rbegin(), common.rend());
    for (std::size_t k = 0; k < std::min<std::size_t>(common.size(), 12); ++k) {
        std::printf("  %6lld  %s\n", common[k].first, qUtf8Printable(common[k].second));
    }
    std::printf("monkey: resident memory after start-up %ld MB, peak %ld MB, bound +%ld MB\n", baselineRssKb_ / 1024,
                std::max(peakRssKb_, StatusKb("VmHWM:")) / 1024, options_.RssBoundMb);
    if (Options::kHeapCounted) {
        std::printf("monkey: heap after start-up %ld MB, peak %ld MB, bound +%ld MB\n", baselineHeapKb_ / 1024,
                    peakHeapKb_ / 1024, options_.HeapBoundMb);
    }
    if (!memoryFailure_.isEmpty()) std::printf("monkey: FAIL: %s\n", qUtf8Printable(memoryFailure_));
    if (reached < kWindowCount - skipped) std::printf("monkey: note: not every window got events in this run\n");
    std::fflush(stdout);
}

}  // namespace vistorel::monkey
