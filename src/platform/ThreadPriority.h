#pragma once
// A thread's scheduling priority raised while timely wake-ups matter, and put
// back afterwards. Only the nice value changes, never the scheduling class.

#include <sys/types.h>

namespace vistorel {

class ThreadPriority {
public:
    // The nice value asked for; where the system allows less, the best it allows.
    static constexpr int kRaisedNice = -10;

    ThreadPriority() = default;
    // Puts back what a raise changed.
    ~ThreadPriority();
    ThreadPriority(const ThreadPriority&) = delete;
    ThreadPriority& operator=(const ThreadPriority&) = delete;

    // Raises the calling thread: first by itself, where the user's limits allow
    // it, else by asking the desktop's RealtimeKit service over the system bus.
    // When neither works the thread keeps its priority and one line on
    // standard error says so (once a run); the user is not troubled.
    void Raise();
    // Puts the raised thread back to the nice value it had; nothing when it
    // was not raised.
    void Restore();
    bool Raised() const { return raised_; }

private:
    pid_t thread_ = 0;
    int original_ = 0;
    bool raised_ = false;
    bool warned_ = false;
};

// The nice value of a thread of this process, as the system reports it.
int ThreadNice(pid_t thread);

}  // namespace vistorel
