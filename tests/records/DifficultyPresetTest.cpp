#include "records/DifficultyPreset.h"

#include <gtest/gtest.h>

namespace vistorel {
namespace {

using Stages = std::array<std::uint16_t, 6>;  // entry 0 unused

TEST(DifficultyPreset, EachLevelGivesItsRowAndOtherLevelsKeepThePreviousOne) {
    struct Row {
        int level;
        Stages ticks;
        Stages intervals;
    };
    const Row rows[] = {
        {0, {0, 10, 10, 20, 18, 10}, {0, 1000, 1000, 1000, 1000, 1000}},
        {1, {0, 120, 60, 100, 150, 70}, {0, 300, 400, 300, 700, 400}},
        {2, {0, 50, 60, 100, 120, 60}, {0, 200, 300, 200, 500, 400}},
        {3, {0, 1, 800, 800, 1, 1}, {0, 300, 400, 300, 700, 400}},
    };
    // One preset through all rows, so a row that leaves an entry unset shows.
    DifficultyPreset preset;
    for (const Row& row : rows) {
        preset.Apply(row.level);
        EXPECT_EQ(preset.StageTicks, row.ticks) << "level " << row.level;
        EXPECT_EQ(preset.StageInterval, row.intervals) << "level " << row.level;
        EXPECT_EQ(preset.RepeatStages, 1) << "level " << row.level;
    }

    for (int level : {7, 4, -1, 65535}) {
        preset.Apply(level);
        EXPECT_EQ(preset.StageTicks, rows[3].ticks) << "level " << level;
        EXPECT_EQ(preset.StageInterval, rows[3].intervals) << "level " << level;
    }

    // A settings file with level 7 at start-up: every stage stays at zero.
    DifficultyPreset fresh;
    fresh.Apply(7);
    EXPECT_EQ(fresh.StageTicks, Stages{});
    EXPECT_EQ(fresh.StageInterval, Stages{});
    EXPECT_EQ(fresh.RepeatStages, 0);
}

}  // namespace
}  // namespace vistorel
