// Timer rules the exercise relies on: zero intervals, restarts, no pile-up,
// and errors in a tick that do not stop the program.

#include "TestSupport.h"
#include "platform/Timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

using namespace vistorel;

namespace {

void RunEventLoopFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

}  // namespace

TEST(Timer, AnIntervalOfZeroNeverFiresAndAnIntervalSetLaterStartsIt) {
    test::TestApplication t;
    Timer timer(t.App, 0);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_FALSE(timer.Running());
    RunEventLoopFor(30);
    EXPECT_EQ(ticks, 0);
    timer.SetInterval(5);
    EXPECT_TRUE(timer.Running());
    RunEventLoopFor(40);
    EXPECT_GT(ticks, 0);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
}

TEST(Timer, ChangingTheIntervalOfARunningTimerStartsANewPeriodButSettingTheSameValueDoesNot) {
    test::TestApplication t;
    Timer timer(t.App, 1000);
    timer.OnTimer = [] {};
    timer.SetEnabled(true);
    QThread::msleep(300);
    timer.SetInterval(1000);  // unchanged: the period runs on
    EXPECT_LE(timer.RemainingTime(), 720);
    timer.SetInterval(2000);  // a new period starts now
    EXPECT_GT(timer.RemainingTime(), 1900);
    timer.SetEnabled(true);   // already on: nothing changes
    EXPECT_GT(timer.RemainingTime(), 1900);
}

TEST(Timer, LateTicksDoNotPileUp) {
    test::TestApplication t;
    Timer timer(t.App, 50);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.SetEnabled(true);
    QThread::msleep(400);  // the loop is busy for eight periods
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
}

TEST(Timer, AnErrorInATickGoesToTheErrorHandlerAndTheTimerRunsOn) {
    test::TestApplication t;
    Timer timer(t.App, 5);
    int ticks = 0;
    timer.OnTimer = [&] {
        ++ticks;
        throw FileError(QStringLiteral("x.txt"), QStringLiteral("file not found"));
    };
    timer.SetEnabled(true);
    RunEventLoopFor(40);
    EXPECT_GE(ticks, 2);
    ASSERT_FALSE(t.Errors.Messages.isEmpty());
    EXPECT_TRUE(t.Errors.Messages.front().contains(QStringLiteral("x.txt")));
    EXPECT_TRUE(timer.Running());
}
