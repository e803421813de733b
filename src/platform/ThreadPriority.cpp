#include "platform/ThreadPriority.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace vistorel {
namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");
// A service that does not answer within this time is not waited for.
constexpr int kReplyTimeoutMs = 1000;

bool SetNice(pid_t thread, int nice) { return setpriority(PRIO_PROCESS, static_cast<id_t>(thread), nice) == 0; }

// The highest priority in the range the calling user may set by himself.
bool RaiseByItself(pid_t thread, int original) {
    for (int nice = ThreadPriority::kRaisedNice; nice < original; ++nice) {
        if (SetNice(thread, nice)) return true;
    }
    return false;
}

// RealtimeKit raises a thread within the limit the desktop set for it
// (its MinNiceLevel property).
bool RaiseThroughRealtimeKit(pid_t thread, int original, QString* why) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        *why = QStringLiteral("системная шина D-Bus недоступна");
        return false;
    }
    int nice = ThreadPriority::kRaisedNice;
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kService << QStringLiteral("MinNiceLevel");
    const QDBusMessage limit = bus.call(get, QDBus::Block, kReplyTimeoutMs);
    if (limit.type() == QDBusMessage::ReplyMessage && !limit.arguments().isEmpty()) {
        nice = std::max(nice, limit.arguments().constFirst().value<QDBusVariant>().variant().toInt());
    }
    if (nice >= original) {
        *why = QStringLiteral("служба RealtimeKit не разрешает повышения");
        return false;
    }
    QDBusMessage raise = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("MakeThreadHighPriority"));
    raise << QVariant::fromValue(static_cast<qulonglong>(thread)) << QVariant::fromValue(nice);
    const QDBusMessage reply = bus.call(raise, QDBus::Block, kReplyTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        *why = QStringLiteral("служба RealtimeKit отказала: %1").arg(reply.errorMessage());
        return false;
    }
    return ThreadNice(thread) < original;
}

}  // namespace

int ThreadNice(pid_t thread) {
    errno = 0;
    return getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
}

ThreadPriority::~ThreadPriority() { Restore(); }

void ThreadPriority::Raise() {
    if (raised_) return;
    const pid_t thread = gettid();
    const int original = ThreadNice(thread);
    if (original <= kRaisedNice) return;  // already as high as asked
    QString why;
    if (!RaiseByItself(thread, original) && !RaiseThroughRealtimeKit(thread, original, &why)) {
        if (!warned_) {
            std::fprintf(stderr, "vistorel: приоритет упражнения не повышен (%s), шаги идут с обычным приоритетом\n",
                         qUtf8Printable(why));
            warned_ = true;
        }
        return;
    }
    thread_ = thread;
    original_ = original;
    raised_ = true;
}

void ThreadPriority::Restore() {
    if (!raised_) return;
    // Lowering one's own priority is always allowed.
    SetNice(thread_, original_);
    raised_ = false;
}

}  // namespace vistorel
