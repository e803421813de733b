#pragma once
// Work that may take a while (reading a book) done off the GUI thread, for
// one window: while it runs, the window shows what it is doing over its
// client area, with a moving bar and a «Отмена» button (Escape does the same),
// and takes no other input; its end comes back on the GUI thread.
//
// Work that ends quickly ends within Start, as if done there: a small text
// starts its exercise in the same call, the window never flickers.

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QWidget;

namespace vistorel {

class Form;
class WorkIndicator;

class BackgroundWork : public QObject {
public:
    explicit BackgroundWork(Form& form);
    ~BackgroundWork() override;  // cancels the work and waits for it
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    // Runs on the worker thread; stops early (raising what it likes) once
    // `cancelled` is set.
    using Work = std::function<void(const std::atomic<bool>& cancelled)>;
    // Runs on the GUI thread when the work has ended: with what it raised,
    // or null. Within Start it may throw to Start's caller; later it runs
    // through the window's handler guard, which reports what it throws.
    using Ending = std::function<void(std::exception_ptr error)>;

    // Starts the work, unless work is running already (false then). Waits
    // up to QuickMs for it to end; else shows `caption` over the window.
    bool Start(const QString& caption, Work work, Ending ending);
    bool Running() const { return running_; }
    // Asks the work to stop; its ending still runs, with the work's error,
    // or Cancelled when the work had ended all the same.
    void Cancel();
    // Waits for the work and runs its ending now (tests, and the end of the program).
    void Finish();

    // For an ending: true when the work was cancelled, false when it ended
    // well; any other error is raised again.
    static bool EndedByCancel(std::exception_ptr error);

    // How long Start waits before the window shows the work; 0: not at all,
    // the work always ends later.
    int QuickMs = 150;

    // The panel over the window while the work runs (null before the first).
    QWidget* Indicator() const;

private:
    void Worker(Work work);
    void Ended(unsigned run);
    void Join();

    Form& form_;
    std::unique_ptr<WorkIndicator> indicator_;
    std::thread thread_;
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;  // under mutex_
    std::exception_ptr error_;
    Ending ending_;
    bool running_ = false;
    unsigned run_ = 0;  // which start the queued end belongs to
};

}  // namespace vistorel
