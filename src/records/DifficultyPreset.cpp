#include "records/DifficultyPreset.h"

namespace vistorel {
namespace {

struct PresetRow {
    std::array<std::uint16_t, 5> ticks;
    std::uint16_t repeat;
    std::array<std::uint16_t, 5> intervals;
};

constexpr std::array<PresetRow, 4> kRows = {{
    {{10, 10, 20, 18, 10}, 1, {1000, 1000, 1000, 1000, 1000}},  // beginners
    {{120, 60, 100, 150, 70}, 1, {300, 400, 300, 700, 400}},    // normal
    {{50, 60, 100, 120, 60}, 1, {200, 300, 200, 500, 400}},     // hard
    {{1, 800, 800, 1, 1}, 1, {300, 400, 300, 700, 400}},        // view mode
}};

}  // namespace

void DifficultyPreset::Apply(int level) {
    if (level < 0 || level >= static_cast<int>(kRows.size())) return;
    const PresetRow& row = kRows[static_cast<std::size_t>(level)];
    for (std::size_t n = 1; n <= 5; ++n) {
        StageTicks[n] = row.ticks[n - 1];
        StageInterval[n] = row.intervals[n - 1];
    }
    RepeatStages = row.repeat;
}

}  // namespace vistorel
