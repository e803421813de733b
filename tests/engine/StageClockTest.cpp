#include "engine/StageClock.h"

#include <gtest/gtest.h>
#include <vector>

namespace vistorel {
namespace {

DifficultyPreset Preset(int level) {
    DifficultyPreset preset;
    preset.Apply(level);
    return preset;
}

ExerciseState FirstStage() {
    ExerciseState state;
    state.Stage = state.StageElapsed = state.ExerciseMode = 1;
    return state;
}

TEST(StageClock, BeginnersStagesLastTheirTicksAndStartOver) {
    const DifficultyPreset preset = Preset(0);
    ExerciseState state = FirstStage();
    std::uint16_t line = 0;
    std::vector<int> lengths;
    for (int stage = 1; stage <= 5; ++stage) {
        StageChange change;
        int ticks = 0;
        do {
            change = StageClockTick(state, preset, line);
            ++ticks;
        } while (!change.SetInterval && ticks < 100);
        lengths.push_back(ticks);
        EXPECT_EQ(change.Interval, 1000);
        EXPECT_EQ(change.StartedOver, stage == 5);
        EXPECT_EQ(state.ExerciseMode, stage == 5 ? 1 : stage + 1);
    }
    EXPECT_EQ(lengths, (std::vector<int>{10, 10, 20, 18, 10}));
    EXPECT_EQ(state.Stage, 1);
}

TEST(StageClock, SkipsTakeEachStagesIntervalAndComeRound) {
    const DifficultyPreset preset = Preset(1);  // intervals 300, 400, 300, 700, 400
    ExerciseState state = FirstStage();
    state.StageElapsed = 37;
    std::uint16_t line = 7;
    const std::vector<int> intervals{400, 300, 700, 400, 300};
    const std::vector<int> lines{7, 7, 7, 6, 6};  // stepped back once, entering mode 5
    for (std::size_t skip = 0; skip < 5; ++skip) {
        const StageChange change = AdvanceStage(state, preset, line);
        EXPECT_TRUE(change.SetInterval);
        EXPECT_EQ(change.Interval, intervals[skip]);
        EXPECT_EQ(change.StartedOver, skip == 4);
        EXPECT_FALSE(change.StopTimers);
        EXPECT_EQ(state.StageElapsed, 1);
        EXPECT_EQ(state.Stage, skip == 4 ? 1 : skip + 2);
        EXPECT_EQ(state.ExerciseMode, state.Stage);
        EXPECT_EQ(line, lines[skip]);
    }

    ExerciseState fresh = FirstStage();
    std::uint16_t unread = 0;
    for (int skip = 0; skip < 4; ++skip) AdvanceStage(fresh, preset, unread);
    EXPECT_EQ(fresh.ExerciseMode, 5);
    EXPECT_EQ(unread, 0);
}

TEST(StageClock, WithoutRepeatTheStagesRunOut) {
    DifficultyPreset preset = Preset(0);
    preset.RepeatStages = 0;
    preset.StageTicks[0] = 0;  // not a stage: reading it would end the stage at once
    ExerciseState state = FirstStage();
    std::uint16_t line = 0;
    int ticks = 0;
    StageChange change;
    while (!change.StopTimers && ticks < 1000) {
        change = StageClockTick(state, preset, line);
        ++ticks;
    }
    EXPECT_EQ(ticks, 68);
    EXPECT_FALSE(change.SetInterval || change.StartedOver);
    EXPECT_EQ(state.Stage, 6);

    // A clock switched on again by a pause finds nothing to count.
    for (ExerciseState idle : {state, ExerciseState{}}) {
        const ExerciseState before = idle;
        change = StageClockTick(idle, preset, line);
        EXPECT_FALSE(change.SetInterval || change.StartedOver || change.StopTimers);
        EXPECT_EQ(idle.Stage, before.Stage);
        EXPECT_EQ(idle.StageElapsed, before.StageElapsed);
        EXPECT_EQ(idle.ExerciseMode, before.ExerciseMode);
    }

    // A skip past the end keeps counting and sets no interval.
    change = AdvanceStage(state, preset, line);
    EXPECT_EQ(state.Stage, 7);
    EXPECT_EQ(state.ExerciseMode, 7);
    EXPECT_FALSE(change.SetInterval);
    EXPECT_TRUE(change.StopTimers);
}

TEST(StageClock, LevelOutsideThePresetsGivesZeroIntervals) {
    const DifficultyPreset preset = Preset(7);  // nothing applied: all zero
    ExerciseState state = FirstStage();
    std::uint16_t line = 0;
    std::vector<int> intervals;
    StageChange change;
    for (int ticks = 0; !change.StopTimers && ticks < 10; ++ticks) {
        change = StageClockTick(state, preset, line);  // stages of 0 ticks end at once
        if (change.SetInterval) intervals.push_back(change.Interval);
    }
    EXPECT_EQ(intervals, (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(state.Stage, 6);
}

}  // namespace
}  // namespace vistorel
