#pragma once
// The difficulty presets: stage lengths (stage-clock ticks, so seconds), the
// repeat switch and the step intervals (ms) of the five exercise stages.

#include <array>
#include <cstdint>

namespace vistorel {

struct DifficultyPreset {
    std::array<std::uint16_t, 6> StageTicks{};     // entries 1..5
    std::uint16_t RepeatStages = 0;                 // 1: start again at stage 1 after stage 5
    std::array<std::uint16_t, 6> StageInterval{};  // entries 1..5, milliseconds

    // Fills the three values from the row of the given level (0..3); any other
    // level leaves them as they are.
    void Apply(int level);
};

}  // namespace vistorel
