// The memory test's rings, its seven ticks and the score of the answers.

#include "trainers/MemoryRun.h"

#include "platform/Random.h"

#include <gtest/gtest.h>

namespace vistorel {
namespace {

// The answers typed for a run: the first `correct` boxes right, the others
// one ring off.
QStringList Answers(const MemoryRun& run, int correct) {
    QStringList answers;
    for (int i = 1; i <= kMemoryRings; ++i) {
        answers << QString::number(i <= correct ? run.ShownRing(i) : run.ShownRing(i) % 7 + 1);
    }
    return answers;
}

// Eight points per correct box, and ISR the score divided by 7 in floating
// point: eight correct give 9.14, seven 8.00.
TEST(MemoryRun, ScoreTable) {
    Random random;
    random.SetFixedSeed(5);
    MemoryRun run;
    run.Start(random);
    for (int i = 1; i <= kMemoryRings; ++i) {
        ASSERT_GE(run.ShownRing(i), 1);
        ASSERT_LE(run.ShownRing(i), 7);
    }
    const QStringList shown = {QStringLiteral("0.00"), QStringLiteral("1.14"), QStringLiteral("2.29"),
                               QStringLiteral("3.43"), QStringLiteral("4.57"), QStringLiteral("5.71"),
                               QStringLiteral("6.86"), QStringLiteral("8.00"), QStringLiteral("9.14")};
    for (int correct = 0; correct <= kMemoryRings; ++correct) {
        const int score = run.Score(Answers(run, correct));
        EXPECT_EQ(score, 8 * correct);
        EXPECT_EQ(IsrLine(score), QStringLiteral("ISR = %1 bps").arg(shown[correct]));
    }
    // Empty boxes never match a ring; a box reads the number at its start.
    EXPECT_EQ(run.Score(QStringList(8, QString())), 0);
    QStringList typed(8, QStringLiteral("8"));
    typed[0] = QStringLiteral("  +%1 и ещё").arg(run.ShownRing(1));
    typed[1] = QStringLiteral("%1%1").arg(run.ShownRing(2));
    EXPECT_EQ(run.Score(typed), 8);
}

// A number at the start of a box: blanks and a sign before it are allowed,
// reading stops at the first other character, and no number reads 0.
TEST(MemoryRun, LeadingNumber) {
    EXPECT_EQ(LeadingNumber(QStringLiteral("3")), 3);
    EXPECT_EQ(LeadingNumber(QStringLiteral("  -4x")), -4);
    EXPECT_EQ(LeadingNumber(QStringLiteral("+5 6")), 5);
    EXPECT_EQ(LeadingNumber(QStringLiteral("x5")), 0);
    EXPECT_EQ(LeadingNumber(QString()), 0);
    EXPECT_EQ(LeadingNumber(QStringLiteral("-")), 0);
    EXPECT_GT(LeadingNumber(QStringLiteral("99999999999999999999999999")), 7);
}

// The rings are up for seven ticks; a new start counts the seven from 0.
TEST(MemoryRun, SevenTicksFromTheLastStart) {
    Random random;
    random.SetFixedSeed(6);
    MemoryRun run;
    EXPECT_FALSE(run.Started());
    EXPECT_FALSE(run.Tick());
    run.Start(random);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(run.Tick());
    run.Start(random);
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(run.Tick());
    EXPECT_TRUE(run.RingsShown());
    EXPECT_TRUE(run.Tick());
    EXPECT_FALSE(run.RingsShown());
    EXPECT_FALSE(run.Tick());
}

}  // namespace
}  // namespace vistorel
