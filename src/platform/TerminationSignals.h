#pragma once
// The signals that ask a program to end (SIGTERM at log-out or shut-down,
// SIGHUP when its terminal goes, SIGINT for Ctrl+C) turned into a call on the
// thread that made this object, from its event loop, where the program can
// end as its Exit command ends it. The signal handler itself only writes the
// signal's number into a pipe, which is all a handler may safely do.

#include "platform/Application.h"

#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace vistorel {

class TerminationSignals {
public:
    // Only one object at a time takes the signals; a second one takes none.
    TerminationSignals(Application& app, std::function<void(int signal)> handler);
    // The earlier handling of the signals comes back.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool Installed() const { return installed_; }

private:
    void Arrived();

    Application& app_;
    std::function<void(int)> handler_;
    int pipe_[2] = {-1, -1};
    bool installed_ = false;
    struct sigaction previous_[3] = {};
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vistorel
