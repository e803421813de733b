#include "Watchdog.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace vistorel::monkey {

Watchdog::Watchdog(std::uint32_t seed, int limitSeconds)
    : seed_(seed), limitSeconds_(limitSeconds), watched_(pthread_self()), thread_([this] { Watch(); }) {}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    thread_.join();
}

void Watchdog::Watch() {
    using Clock = std::chrono::steady_clock;
    std::uint64_t seen = beats_.load(std::memory_order_acquire);
    Clock::time_point lastChange = Clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_.wait_for(lock, std::chrono::milliseconds(100), [this] { return stopping_; })) {
        const std::uint64_t now = beats_.load(std::memory_order_acquire);
        if (now != seen) {
            seen = now;
            lastChange = Clock::now();
            continue;
        }
        if (Clock::now() - lastChange < std::chrono::seconds(limitSeconds_)) continue;
        std::fprintf(stderr,
                     "monkey: HANG: no event processed for %d s at event %lld (last action: %s); "
                     "repeat with MONKEY_SEED=%u\n",
                     limitSeconds_, eventIndex_.load(), action_.load(), seed_);
        std::fflush(stderr);
        // The abort lands in the hanging thread: a sanitizer build prints its stack.
        pthread_kill(watched_, SIGABRT);
        sleep(5);
        _exit(134);
    }
}

}  // namespace vistorel::monkey
