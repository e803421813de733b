#include "engine/StageClock.h"

#include "platform/Rounding.h"

namespace vistorel {

int Reciprocal10000(int value) {
    return value == 0 ? 0 : static_cast<int>(RoundHalfEven(10000.0 / value));
}

namespace {

constexpr std::uint16_t kStages = 5;
constexpr std::uint16_t kLineMode = 4;

bool IsStage(std::uint16_t stage) { return stage >= 1 && stage <= kStages; }

}  // namespace

StageChange AdvanceStage(ExerciseState& state, const DifficultyPreset& preset, std::uint16_t& currentLine) {
    StageChange change;
    ++state.Stage;
    if (IsStage(state.Stage)) {
        change.SetInterval = true;
        change.Interval = preset.StageInterval[state.Stage];
    }
    state.StageElapsed = 1;
    ++state.ExerciseMode;
    // The word modes go on after the last line that the line mode showed.
    if (state.ExerciseMode == kLineMode + 1 && currentLine > 0) --currentLine;

    if (state.Stage == kStages + 1 && preset.RepeatStages == 1) {
        state.Stage = 1;
        state.ExerciseMode = 1;
        change.SetInterval = true;
        change.Interval = preset.StageInterval[1];
        change.StartedOver = true;
    } else if (state.Stage > kStages && preset.RepeatStages != 1) {
        // The stages have run out. A skip made after that (the timers may have
        // been switched on again by a pause) keeps counting Stage and
        // ExerciseMode upward and stops the timers again: there is no stage
        // past 5 to run.
        change.StopTimers = true;
    }
    return change;
}

StageChange StageClockTick(ExerciseState& state, const DifficultyPreset& preset, std::uint16_t& currentLine) {
    if (!IsStage(state.Stage)) return {};
    ++state.StageElapsed;
    if (state.StageElapsed > preset.StageTicks[state.Stage]) return AdvanceStage(state, preset, currentLine);
    return {};
}

}  // namespace vistorel
