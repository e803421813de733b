// Work off the GUI thread: quick work ends within Start; slow work shows
// its panel over the window while the window goes on repainting, is
// cancelled by «Отмена» or Escape, and reports its error once; one at a
// time. What the handler guard tells of exceptions that are not the
// program's own.

#include "TestSupport.h"
#include "platform/BackgroundWork.h"
#include "platform/Form.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <chrono>
#include <new>
#include <thread>

using namespace vistorel;

namespace {

class Window : public Form {
public:
    explicit Window(Application& app) : Form(app) { SetClientSize(400, 300); }
};

// Work that runs until it is cancelled, or for at most `ms`.
BackgroundWork::Work Waiting(int ms) {
    return [ms](const std::atomic<bool>& cancelled) {
        QElapsedTimer clock;
        clock.start();
        while (!cancelled && clock.elapsed() < ms) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (cancelled) throw Error(QStringLiteral("отменено"));
    };
}

void RunEventsUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(BackgroundWork, QuickWorkEndsWithinStartAndShowsNothing) {
    test::TestApplication t;
    Window window(t.App);
    window.Show();
    BackgroundWork work(window);
    QStringList ended;
    EXPECT_TRUE(work.Start(QStringLiteral("Чтение"), [](const std::atomic<bool>&) {},
                           [&](std::exception_ptr error) { ended.append(error ? "error" : "done"); }));
    EXPECT_EQ(ended, QStringList{"done"});
    EXPECT_FALSE(work.Running());
    EXPECT_EQ(work.Indicator(), nullptr);
    // An error of quick work goes to Start's caller, as if the work had run there.
    EXPECT_THROW(work.Start(QStringLiteral("Чтение"), [](const std::atomic<bool>&) { throw Error(QStringLiteral("нет файла")); },
                            [](std::exception_ptr error) { std::rethrow_exception(error); }),
                 Error);
    EXPECT_TRUE(t.Errors.Messages.isEmpty());
}

TEST(BackgroundWork, SlowWorkShowsItsPanelWhileTheWindowRepaints) {
    test::TestApplication t;
    Window window(t.App);
    window.Show();
    BackgroundWork work(window);
    work.QuickMs = 20;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    bool ended = false;
    ASSERT_TRUE(work.Start(QStringLiteral("Чтение книги «a.fb2»…"), Waiting(400), [&](std::exception_ptr error) {
        EXPECT_FALSE(error);
        ended = true;
    }));
    EXPECT_TRUE(work.Running());
    EXPECT_FALSE(ended);
    QWidget* panel = work.Indicator();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->geometry(), window.Surface()->rect());
    EXPECT_EQ(panel->findChild<QLabel*>()->text(), QStringLiteral("Чтение книги «a.fb2»…"));
    EXPECT_EQ(panel->findChild<QPushButton*>()->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(panel->findChild<QProgressBar*>()->maximum(), 0);  // a bar that moves
    // A second start while it runs is refused.
    EXPECT_FALSE(work.Start(QStringLiteral("x"), Waiting(0), [](std::exception_ptr) { FAIL(); }));
    // The GUI thread goes on while the work runs: the timer ticks.
    RunEventsUntil([&] { return ended; });
    EXPECT_TRUE(ended);
    EXPECT_GE(ticks, 15);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(work.Running());
}

TEST(BackgroundWork, CancelByButtonOrEscapeAndOneReportOfALaterError) {
    test::TestApplication t;
    Window window(t.App);
    window.Show();
    BackgroundWork work(window);
    work.QuickMs = 0;
    for (const bool escape : {false, true}) {
        QStringList ended;
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(work.Start(QStringLiteral("Чтение"), Waiting(10000), [&](std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const Error& e) {
                ended.append(e.Message());
            }
        }));
        if (escape) {
            QTest::keyClick(work.Indicator()->findChild<QPushButton*>(), Qt::Key_Escape);
        } else {
            QTest::mouseClick(work.Indicator()->findChild<QPushButton*>(), Qt::LeftButton);
        }
        RunEventsUntil([&] { return !work.Running(); });
        EXPECT_EQ(ended, QStringList{QStringLiteral("отменено")}) << escape;
        EXPECT_LT(clock.elapsed(), 2000);
    }
    // Cancelled after the work ended (before its ending ran): the ending hears so.
    bool cancelled = false;
    ASSERT_TRUE(work.Start(QStringLiteral("Чтение"), [](const std::atomic<bool>&) {}, [&](std::exception_ptr error) {
        try {
            if (error) std::rethrow_exception(error);
        } catch (const Cancelled&) {
            cancelled = true;
        }
    }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    work.Cancel();
    work.Finish();
    EXPECT_TRUE(cancelled);

    // An ending that throws after Start returned is reported through the guard, once.
    ASSERT_TRUE(work.Start(QStringLiteral("Чтение"), Waiting(50), [](std::exception_ptr) {
        throw Error(QStringLiteral("Книга слишком велика"));
    }));
    work.Finish();
    EXPECT_EQ(t.Errors.Messages, QStringList{QStringLiteral("Книга слишком велика")});
    QCoreApplication::processEvents();
    EXPECT_EQ(t.Errors.Messages.size(), 1);
}

TEST(HandlerGuard, LibraryExceptionsAreToldInTheProgramsWords) {
    test::TestApplication t;
    t.App.Guard([] { throw std::bad_alloc(); });
    t.App.Guard([] { throw std::runtime_error("vector::_M_realloc_insert"); });
    t.App.Guard([] { throw 42; });
    ASSERT_EQ(t.Errors.Messages.size(), 3);
    EXPECT_TRUE(t.Errors.Messages[0].startsWith(QStringLiteral("Не хватило памяти"))) << t.Errors.Messages[0].toStdString();
    EXPECT_TRUE(t.Errors.Messages[1].startsWith(QStringLiteral("Внутренняя ошибка программы")));
    EXPECT_FALSE(t.Errors.Messages[1].contains(QStringLiteral("vector")));
    EXPECT_EQ(t.Errors.Messages[2], t.Errors.Messages[1]);
}

}  // namespace
