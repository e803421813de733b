// The signals that ask the program to end arrive as calls from the event
// loop, one per signal, for one taker at a time; afterwards the signals are
// handled as they were before.

#include "TestSupport.h"
#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <vector>

using namespace vistorel;

namespace {

void WaitFor(const std::vector<int>& arrived, std::size_t count) {
    QElapsedTimer clock;
    clock.start();
    while (arrived.size() < count && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(TerminationSignals, EachSignalToEndArrivesFromTheEventLoopAndTheEarlierHandlingComesBack) {
    test::TestApplication t;
    // What the signals did before: ignored, so that a stray one cannot end the tests.
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) std::signal(number, SIG_IGN);
    std::vector<int> arrived;
    {
        TerminationSignals signals(t.App, [&](int number) { arrived.push_back(number); });
        ASSERT_TRUE(signals.Installed());
        TerminationSignals second(t.App, [&](int) { arrived.push_back(0); });
        EXPECT_FALSE(second.Installed());
        std::raise(SIGTERM);
        EXPECT_EQ(arrived, std::vector<int>());  // not inside the handler
        std::raise(SIGHUP);
        std::raise(SIGINT);
        WaitFor(arrived, 3);
        EXPECT_EQ(arrived, (std::vector<int>{SIGTERM, SIGHUP, SIGINT}));
    }
    struct sigaction now {};
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        sigaction(number, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_IGN) << number;
        std::signal(number, SIG_DFL);
    }
}

}  // namespace
