#include "trainers/TestClock.h"

namespace vistorel {

QString TenthsCounter::Caption(std::int64_t tenths) {
    return QStringLiteral("%1:%2").arg(tenths / 10).arg(tenths % 10);
}

std::int64_t Stopwatch::ElapsedTenths() const {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(now_() - started_).count();
    return ms <= 0 ? 0 : (ms + 50) / 100;
}

}  // namespace vistorel
