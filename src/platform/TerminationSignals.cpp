#include "platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vistorel {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The only state at namespace scope in the program, because a signal handler
// can reach nothing else: the writing end of the pipe, while a
// TerminationSignals object lives (-1 otherwise).
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may use only lock-free atomics");

void OnSignal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    const int fd = signalPipe.load();
    if (fd >= 0) {
        // A full pipe already holds a request to end; nothing is lost.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(Application& app, std::function<void(int)> handler)
    : app_(app), handler_(std::move(handler)) {
    if (::pipe2(pipe_, O_NONBLOCK | O_CLOEXEC) != 0) return;
    int expected = -1;
    if (!signalPipe.compare_exchange_strong(expected, pipe_[1])) return;  // another object takes them
    installed_ = true;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t k = 0; k < std::size(kSignals); ++k) sigaction(kSignals[k], &action, &previous_[k]);
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { Arrived(); });
}

TerminationSignals::~TerminationSignals() {
    notifier_.reset();
    if (installed_) {
        for (std::size_t k = 0; k < std::size(kSignals); ++k) sigaction(kSignals[k], &previous_[k], nullptr);
        signalPipe.store(-1);
    }
    for (const int fd : pipe_) {
        if (fd >= 0) ::close(fd);
    }
}

void TerminationSignals::Arrived() {
    unsigned char signals[16];
    const ssize_t count = ::read(pipe_[0], signals, sizeof signals);
    for (ssize_t k = 0; k < count; ++k) {
        const int number = signals[k];
        app_.Guard([&] { handler_(number); });
    }
}

}  // namespace vistorel
