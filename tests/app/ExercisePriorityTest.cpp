// The exercise's thread priority: raised (a nice value, never a real-time
// class) from the start of an exercise to its end, through the same calls as
// the user's clicks; with the permission refused nothing changes and the user
// is not troubled, one line on standard error says so.

#include "TestSupport.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "engine/ExerciseWindow.h"

#include <QAction>
#include <QFile>
#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vistorel {
namespace {

// The calling thread's nice value as the system shows it: field 19 of its stat.
int NiceShown() {
    QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(gettid()));
    if (!stat.open(QIODevice::ReadOnly)) return 999;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.value(16).toInt();  // fields from the third on
}

bool NiceCapability(bool* effective, bool* permitted) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    *effective = (data[0].effective & (1u << CAP_SYS_NICE)) != 0;
    *permitted = (data[0].permitted & (1u << CAP_SYS_NICE)) != 0;
    return true;
}

void SetNiceCapability(bool on) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    syscall(SYS_capget, &header, data);
    if (on) {
        data[0].effective |= 1u << CAP_SYS_NICE;
    } else {
        data[0].effective &= ~(1u << CAP_SYS_NICE);
    }
    syscall(SYS_capset, &header, data);
}

// Takes from this thread the right to raise its priority (and keeps the
// system bus out of reach), then gives it back.
class PermissionRefused {
public:
    PermissionRefused() {
        NiceCapability(&effective_, &permitted_);
        SetNiceCapability(false);
        getrlimit(RLIMIT_NICE, &limit_);
        rlimit none = limit_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_NICE, &none);
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/vistorel-test-bus");
    }
    ~PermissionRefused() {
        setrlimit(RLIMIT_NICE, &limit_);
        if (effective_) SetNiceCapability(true);
        qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }
    PermissionRefused(const PermissionRefused&) = delete;
    PermissionRefused& operator=(const PermissionRefused&) = delete;

private:
    bool effective_ = false;
    bool permitted_ = false;
    rlimit limit_{};
};

// Standard error into a file while it lives.
class CapturedStandardError {
public:
    CapturedStandardError() {
        file_.open();
        std::fflush(stderr);
        saved_ = dup(2);
        dup2(file_.handle(), 2);
    }
    ~CapturedStandardError() { Stop(); }
    CapturedStandardError(const CapturedStandardError&) = delete;
    CapturedStandardError& operator=(const CapturedStandardError&) = delete;
    QString Text() {
        Stop();
        QFile read(file_.fileName());
        read.open(QIODevice::ReadOnly);
        return QString::fromUtf8(read.readAll());
    }

private:
    void Stop() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        saved_ = -1;
    }
    QTemporaryFile file_;
    int saved_ = -1;
};

class ExercisePriority : public ::testing::Test {
protected:
    ExercisePriority() {
        p.Dir.Write(QStringLiteral("text.txt"), QByteArray("one two three\nfour five six\n"));
        p->SettingsRecord.TextPath.SetText(QStringLiteral("text.txt"));
        p->mainWindow->ShowMaximized();
    }
    MainWindow& Main() { return *p->mainWindow; }
    void Click(MainButton button) {
        const HitRect r = Main().ButtonRect(button);
        p.Test.App.Guard([&] { Main().FormMouseDown(MouseButton::Left, r.Left + 5, r.Top + 5); });
    }
    test::ProgramUnderTest p;
};

TEST_F(ExercisePriority, RaisedWhileAnExerciseRunsAndRestoredAfter) {
    bool effective = false, permitted = false;
    NiceCapability(&effective, &permitted);
    rlimit limit{};
    getrlimit(RLIMIT_NICE, &limit);
    if (!effective && limit.rlim_cur < 30) GTEST_SKIP() << "this user may not raise a priority to nice -10";
    const int before = NiceShown();
    ASSERT_GT(before, -10) << "the test runs at a nice value the exercise would not raise";

    Click(kStart);
    ASSERT_TRUE(p->exerciseWindow->Visible());
    EXPECT_EQ(NiceShown(), -10);
    EXPECT_EQ(sched_getscheduler(0), SCHED_OTHER);  // a nice value, not a real-time class
    p->mainWindow->menu.startAction->trigger();  // a new start keeps it raised
    EXPECT_EQ(NiceShown(), -10);
    Click(kQuit);
    EXPECT_EQ(NiceShown(), before);

    Click(kStart);
    EXPECT_EQ(NiceShown(), -10);
    p->exerciseWindow->Close();
    EXPECT_EQ(NiceShown(), before);

    Click(kStart);
    Main().ExitProgram();
    EXPECT_EQ(NiceShown(), before);
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << p.Test.Errors.Messages.join('\n').toStdString();
}

TEST_F(ExercisePriority, RefusedPermissionChangesNothing) {
    const int before = NiceShown();
    QString printed;
    {
        const PermissionRefused refused;
        CapturedStandardError standardError;
        Click(kStart);
        ASSERT_TRUE(p->exerciseWindow->Visible());
        EXPECT_EQ(NiceShown(), before);
        Click(kQuit);
        Click(kStart);
        EXPECT_EQ(NiceShown(), before);
        Click(kQuit);
        printed = standardError.Text();
    }
    EXPECT_EQ(NiceShown(), before);
    EXPECT_TRUE(p.Test.Errors.Messages.isEmpty()) << p.Test.Errors.Messages.join('\n').toStdString();
    EXPECT_TRUE(p.Test.Dialogs.Messages.isEmpty());
    EXPECT_EQ(printed.count(QStringLiteral("vistorel: приоритет упражнения не повышен")), 1) << printed.toStdString();
}

}  // namespace
}  // namespace vistorel
