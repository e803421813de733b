#include "trainers/TestClock.h"

namespace vistorel {

void TenthsCounter::Tick() {
    if (++tenths_ == 10) {
        tenths_ = 0;
        ++seconds_;
    }
}

QString TenthsCounter::Caption() const { return QStringLiteral("%1:%2").arg(seconds_).arg(tenths_); }

QString TenthsCounter::Caption(std::int64_t tenths) {
    return QStringLiteral("%1:%2").arg(tenths / 10).arg(tenths % 10);
}

std::int64_t Stopwatch::ElapsedTenths() const {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(now_() - started_).count();
    return ms <= 0 ? 0 : (ms + 50) / 100;
}

}  // namespace vistorel
