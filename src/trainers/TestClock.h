#pragma once
// The clock of the reading speed test and the IPS test: the label counts ten
// 100 ms ticks to a second ("0:1" ... "0:9", "1:0"), and the result is taken
// from the real time between start and stop on a monotonic clock, to a tenth
// of a second, so that late or missed ticks do not change it.

#include "platform/Font.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>

namespace vistorel {

// A run shorter than a second measures nothing, and shows no figures.
inline constexpr std::int64_t kShortestRunTenths = 10;

// The font of the clock labels: large, bold and lime green.
inline Font ClockFont() { return {QStringLiteral("Westminster"), 19, true, false, false, false, clLime}; }

// The seconds and tenths shown by a clock label.
class TenthsCounter {
public:
    void Reset() { tenths_ = 0; }
    // One 100 ms tick.
    void Tick() { ++tenths_; }
    // "seconds:tenths", without padding.
    QString Caption() const { return Caption(tenths_); }
    // The same form for a time in tenths of a second.
    static QString Caption(std::int64_t tenths);

private:
    std::int64_t tenths_ = 0;
};

// Real time since the last start, in tenths of a second (nearest), on a
// monotonic clock. Tests replace the time source.
class Stopwatch {
public:
    using Source = std::function<std::chrono::steady_clock::time_point()>;

    void Start() { started_ = now_(); }
    std::int64_t ElapsedTenths() const;
    void SetSource(Source source) { now_ = std::move(source); }

private:
    Source now_ = [] { return std::chrono::steady_clock::now(); };
    std::chrono::steady_clock::time_point started_ = now_();
};

}  // namespace vistorel
