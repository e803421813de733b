#include "platform/Timer.h"

namespace vistorel {

Timer::Timer(Application& app, int interval) : app_(app), interval_(interval) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(false);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Tick(); });
}

void Timer::SetInterval(int milliseconds) {
    if (milliseconds < 0) milliseconds = 0;
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    Restart();
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Restart();
}

void Timer::Restart() {
    timer_.stop();
    if (enabled_ && interval_ > 0) timer_.start(interval_);
}

void Timer::Tick() {
    if (OnTimer) app_.Guard(OnTimer);
}

}  // namespace vistorel
