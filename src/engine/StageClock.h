#pragma once
// Exercise state and the stage changes: the one-second stage clock and the
// manual skip move the exercise through stages 1..5 of the difficulty preset.

#include "records/DifficultyPreset.h"

#include <array>
#include <cstdint>

namespace vistorel {

struct ExerciseState {
    std::uint16_t ExerciseMode = 0, Stage = 0, StageElapsed = 0;
    std::uint8_t SpeedValue = 0;
    std::uint16_t SweepX = 0, MarkCount = 0;
    std::array<std::int16_t, 4> MarkX{};  // entries 1..3
    std::int32_t MarkStep = 0;
};

// 10000 divided by the value, rounded to the nearest integer with halves to
// even; 0 for 0. It turns a step interval (ms) into the speed and back.
int Reciprocal10000(int value);

// What the caller has to do with the step and stage timers after a change.
struct StageChange {
    bool SetInterval = false;  // set the step timer's interval to Interval
    int Interval = 0;
    bool StartedOver = false;  // stages ran out and start again at stage 1
    bool StopTimers = false;   // stages ran out and are not repeated
};

// Ends the current stage: the next stage and mode begin with the new stage's
// step interval; leaving the line mode (mode 5 begins) steps currentLine back
// by one, never below 0. After stage 5 the preset's RepeatStages decides:
// 1 starts over at stage 1 and mode 1, anything else stops the timers.
StageChange AdvanceStage(ExerciseState& state, const DifficultyPreset& preset, std::uint16_t& currentLine);

// One tick of the stage clock: counts the tick and ends the stage once it has
// run longer than the stage's StageTicks. Past the last stage (Stage outside
// 1..5) there is no stage length to count against, and the tick does nothing.
StageChange StageClockTick(ExerciseState& state, const DifficultyPreset& preset, std::uint16_t& currentLine);

}  // namespace vistorel
