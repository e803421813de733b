#include "platform/Timer.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <sys/timerfd.h>
#include <unistd.h>

namespace vistorel {
namespace {

timespec Milliseconds(long ms) { return timespec{static_cast<time_t>(ms / 1000), (ms % 1000) * 1000000L}; }

}  // namespace

Timer::Timer(Application& app, int interval) : app_(app), interval_(interval < 0 ? 0 : interval) {
    fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error(std::string("cannot create a timer: ") + std::strerror(errno));
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { Expired(); });
}

Timer::~Timer() {
    notifier_.reset();
    ::close(fd_);
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
    // Disarm, and forget an expiry not yet delivered.
    itimerspec off{};
    timerfd_settime(fd_, 0, &off, nullptr);
    std::uint64_t expirations = 0;
    [[maybe_unused]] const ssize_t drained = ::read(fd_, &expirations, sizeof expirations);
    if (!Running()) return;
    // The first tick one interval from now, then every interval after it.
    itimerspec period{};
    period.it_value = Milliseconds(interval_);
    period.it_interval = Milliseconds(interval_);
    timerfd_settime(fd_, 0, &period, nullptr);
}

int Timer::RemainingTime() const {
    if (!Running()) return -1;
    itimerspec now{};
    timerfd_gettime(fd_, &now);
    return static_cast<int>(now.it_value.tv_sec * 1000 + now.it_value.tv_nsec / 1000000);
}

void Timer::Expired() {
    // However many periods have passed, the handler runs once.
    std::uint64_t expirations = 0;
    if (::read(fd_, &expirations, sizeof expirations) != sizeof expirations || expirations == 0) return;
    if (Running()) Tick();
}

void Timer::Tick() {
    if (OnTimer) app_.Guard(OnTimer);
}

}  // namespace vistorel
