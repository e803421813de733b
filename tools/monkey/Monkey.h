#pragma once
// The UI monkey: a whole program in a temporary start directory, and a
// seeded stream of random clicks, drags, held buttons, pointer moves, wheel
// turns and keys sent to its visible windows and their controls, while the
// event loop runs the program's timers. Now and then it opens a window by its
// menu item or its show path, closes one, or resizes one. When the program
// ends (its Exit), a new one starts in the same directory and the run goes on.

#include "MonkeyDoubles.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <array>
#include <cstdint>
#include <memory>
#include <random>

class QWidget;
class QEvent;

namespace vistorel {
class Form;
class Program;
}  // namespace vistorel

namespace vistorel::monkey {

class Watchdog;

struct Options {
    long long Events = 100000;
    std::uint32_t Seed = 1;
    // Resident memory may grow this much over its level after start-up. Runs
    // of 100,000 events grew it by about 50 MB in a plain build, and by 230 to
    // 270 MB under AddressSanitizer: the freed memory the sanitizer keeps in
    // quarantine and in its allocator's caches, while the heap the program
    // holds stayed within 50 MB of its start. So the bounds are three times
    // the plain growth, and under the sanitizer twice its growth for resident
    // memory, with the plain bound on the heap as the sanitizer counts it.
#if defined(__SANITIZE_ADDRESS__)
    long RssBoundMb = 500;
    static constexpr bool kHeapCounted = true;
#else
    long RssBoundMb = 150;
    static constexpr bool kHeapCounted = false;
#endif
    long HeapBoundMb = 150;
    QString ImagesDir;
    QString PracticeText;
    // Windows left alone (by their names in the report): never opened, sent
    // nothing, hidden when something else opens them.
    QStringList Skipped;
};

// The fifteen windows of the program and one bucket for the rest (menus
// popped up from the menu bar).
inline constexpr int kWindowCount = 15;
inline constexpr int kOtherWindows = kWindowCount;

// A window's name in the report, or -1 for none of them.
int WindowNamed(const QString& name);

class Monkey {
public:
    Monkey(const Options& options, Watchdog& watchdog);
    ~Monkey();

    // Runs the stream; returns the exit status (0: nothing went wrong).
    int Run();

private:
    void PrepareStartDirectory();
    void PrepareFiles();  // raises Error
    void FillLibrary(const QStringList& files);
    void StartProgram();
    void EndProgram();
    std::array<Form*, kWindowCount> Windows() const;
    int WindowOf(const QWidget* top) const;
    bool Skipped(int window) const { return skipped_[static_cast<std::size_t>(window)]; }
    void HideSkipped();

    // One event of the stream.
    void Act();
    void OpenWindow();
    void TriggerMenuItem();
    void CloseWindow();
    void ResizeWindow();
    void Idle(int milliseconds);

    // Input (MonkeyInput.cpp).
    QWidget* ChooseTopLevel();
    QWidget* ChooseWidget(QWidget* top);
    QPoint ChoosePoint(QWidget* widget);
    bool HotSpot(QWidget* widget, QPoint& point);
    void MouseAction(QWidget* widget);
    void KeyAction(QWidget* top);
    void WheelAction(QWidget* widget);
    Qt::MouseButton ChooseButton();
    Qt::KeyboardModifiers ChooseModifiers();
    // Sends one event and lets the loop run what it posted; false when the
    // widget is gone or hidden (the rest of a gesture is then dropped).
    bool Send(QWidget* widget, QEvent& event);
    void EndWaitingLoops();
    bool Mouse(QWidget* widget, int type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held);

    int Uniform(int low, int high);  // low..high inclusive
    bool Chance(int percent) { return Uniform(0, 99) < percent; }

    void Report(double seconds) const;
    bool MemoryWithinBound();

    const Options options_;
    std::array<bool, kWindowCount + 1> skipped_{};
    Watchdog& watchdog_;
    std::mt19937 random_;
    QTemporaryDir dir_;
    CountingErrors errors_;
    RandomDialogs dialogs_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<Program> program_;

    long long event_ = 0;
    const char* action_ = "start";
    long long qtEvents_ = 0;
    long long starts_ = 0;
    long long loopsEnded_ = 0;
    int mostTexts_ = 0;
    int mostBookmarks_ = 0;
    std::array<long long, kWindowCount + 1> reached_{};
    std::array<long long, kWindowCount + 1> opened_{};
    long baselineRssKb_ = 0;
    long baselineHeapKb_ = 0;
    long peakHeapKb_ = 0;
    long peakRssKb_ = 0;
    QString memoryFailure_;
};

}  // namespace vistorel::monkey
