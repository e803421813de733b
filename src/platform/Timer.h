#pragma once
// A timer as the window code uses it: an interval in milliseconds, an on/off
// switch and a handler. An interval of 0 never fires; changing the interval
// of a running timer starts a new period; ticks never pile up (a late tick is
// delivered once, and the next one stays due on the original rhythm).
//
// The rhythm is kept by the kernel: a periodic timerfd with an absolute first
// expiry, watched by the event loop. A plain timed wait in the event loop is
// woken up to 0.1 % of its length late (1 ms a second); the timerfd is not.

#include "platform/Application.h"

#include <functional>
#include <memory>

class QSocketNotifier;

namespace vistorel {

class Timer {
public:
    explicit Timer(Application& app, int interval = 1000);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    std::function<void()> OnTimer;

    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Whether ticks are actually being scheduled (enabled with a non-zero interval).
    bool Running() const { return enabled_ && interval_ > 0; }
    // Milliseconds until the next tick is due; -1 when not running.
    int RemainingTime() const;

    // One tick, as the message loop delivers it: the handler through the guard.
    void Tick();

private:
    void Restart();
    void Expired();

    Application& app_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    int interval_;
    bool enabled_ = false;
};

}  // namespace vistorel
