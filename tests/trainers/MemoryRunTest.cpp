// The memory test's score.

#include "trainers/MemoryRun.h"

#include "platform/Random.h"

#include <gtest/gtest.h>

namespace vistorel {
namespace {

// Eight points per box that reads its ring's number, and ISR the score over
// 7 in floating point (eight correct give 9.14, seven 8.00); a box reads the
// whole number at its start, and an empty one never matches.
TEST(MemoryRun, ScoreTable) {
    Random random;
    random.SetFixedSeed(5);
    MemoryRun run;
    run.Start(random);
    const QStringList isr = {"0.00", "1.14", "2.29", "3.43", "4.57", "5.71", "6.86", "8.00", "9.14"};
    for (int correct = 0; correct <= kMemoryRings; ++correct) {
        QStringList answers;
        for (int i = 1; i <= kMemoryRings; ++i) {
            answers << (i <= correct ? QStringLiteral(" +%1x").arg(run.ShownRing(i)) : QString());
        }
        EXPECT_EQ(IsrLine(run.Score(answers)), QStringLiteral("ISR = %1 bps").arg(isr[correct]));
    }
    EXPECT_EQ(LeadingNumber(QStringLiteral("  -4 5")), -4);
    EXPECT_EQ(LeadingNumber(QStringLiteral("x5")), 0);
}

}  // namespace
}  // namespace vistorel
