#pragma once
// Watches the monkey's heartbeat from a thread of its own: when no event has
// gone through for the set time, it prints where the run stood (seed, event
// number, last action) and aborts the main thread, so that its stack shows
// where the program hangs.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace vistorel::monkey {

class Watchdog {
public:
    Watchdog(std::uint32_t seed, int limitSeconds);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // An event went through; `action` must be a string literal.
    void Beat(long long eventIndex, const char* action) {
        eventIndex_.store(eventIndex, std::memory_order_relaxed);
        action_.store(action, std::memory_order_relaxed);
        beats_.fetch_add(1, std::memory_order_release);
    }

private:
    void Watch();

    const std::uint32_t seed_;
    const int limitSeconds_;
    const pthread_t watched_;
    std::atomic<std::uint64_t> beats_{0};
    std::atomic<long long> eventIndex_{0};
    std::atomic<const char*> action_{"start"};
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vistorel::monkey
