// The IPS test's field, its clicks and its scores.

#include "trainers/IpsField.h"

#include "platform/Random.h"

#include <gtest/gtest.h>

namespace vistorel {
namespace {

IpsField FieldWithSeed(unsigned seed) {
    Random random;
    random.SetFixedSeed(seed);
    IpsField field;
    field.NewField(random);
    return field;
}

int CountRing(const IpsField& field, int ring) {
    int count = 0;
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows; ++r) count += field.Ring(c, r) == ring;
    }
    return count;
}

// The worked example: 40 targets, 35 found, 3 wrong clicks in 60 seconds.
TEST(IpsField, WorkedExample) {
    IpsField field;
    field.TargetsTotal = 40;
    field.TargetsLeft = 5;
    field.WrongClicks = 3;
    const IpsResult result = IpsResult::From(field, 600);
    EXPECT_EQ(result.Line(), QStringLiteral("IPS = 6.07 bps MI = 38.00 bit IPI =3"));
    // Within the first second the quotient is taken over one second, not zero.
    EXPECT_EQ(IpsResult::From(field, 0).Line(), QStringLiteral("IPS = 364.00 bps MI = 38.00 bit IPI =3"));
    EXPECT_EQ(IpsResult::From(field, 9).Line(), QStringLiteral("IPS = 364.00 bps MI = 38.00 bit IPI =3"));
    EXPECT_EQ(IpsResult::From(field, 15).Line(), QStringLiteral("IPS = 242.67 bps MI = 38.00 bit IPI =3"));
}

// A new field holds rings 1..7 in its 18 x 9 cells and counts the cells equal
// to either target; when both targets are the same ring, only that ring counts.
TEST(IpsField, NewFieldCountsItsTargets) {
    const IpsField field = FieldWithSeed(7);
    EXPECT_TRUE(field.HasField());
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows; ++r) {
            ASSERT_GE(field.Ring(c, r), 1);
            ASSERT_LE(field.Ring(c, r), kIpsRingKinds);
        }
    }
    EXPECT_EQ(field.Ring(19, 1), 0);
    EXPECT_EQ(field.Ring(1, 10), 0);
    EXPECT_FALSE(field.IsTarget(19, 1));
    const int b = field.TargetA() == field.TargetB() ? 0 : CountRing(field, field.TargetB());
    EXPECT_EQ(field.TargetsTotal, CountRing(field, field.TargetA()) + b);
    EXPECT_EQ(field.TargetsLeft, field.TargetsTotal);

    unsigned seed = 1;
    IpsField same = FieldWithSeed(seed);
    while (same.TargetA() != same.TargetB()) same = FieldWithSeed(++seed);
    EXPECT_EQ(same.TargetsTotal, CountRing(same, same.TargetA()));
    EXPECT_LT(same.TargetsTotal, 60);
}

// Each cell counts once: a second click on a found target or on a wrong cell
// counts nothing, so TargetsLeft never goes below 0. Cells outside the field
// are wrong, once each.
TEST(IpsField, EachCellCountsOnce) {
    IpsField field = FieldWithSeed(11);
    int tc = 0, tr = 0, wc = 0, wr = 0;
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows; ++r) {
            if (field.IsTarget(c, r)) tc = c, tr = r;
            else wc = c, wr = r;
        }
    }
    const std::int64_t total = field.TargetsTotal;
    EXPECT_EQ(field.Click(tc, tr), IpsField::ClickResult::Found);
    EXPECT_EQ(field.Click(tc, tr), IpsField::ClickResult::AlreadyMarked);
    EXPECT_EQ(field.Click(wc, wr), IpsField::ClickResult::Wrong);
    EXPECT_EQ(field.Click(wc, wr), IpsField::ClickResult::AlreadyMarked);
    EXPECT_EQ(field.Click(19, 3), IpsField::ClickResult::Wrong);
    EXPECT_EQ(field.Click(19, 3), IpsField::ClickResult::AlreadyMarked);
    EXPECT_EQ(field.TargetsLeft, total - 1);
    EXPECT_EQ(field.WrongClicks, 2);
    EXPECT_TRUE(field.Marked(tc, tr) && field.Marked(wc, wr) && field.Marked(19, 3));

    // Every target clicked twice: none left, never fewer.
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows; ++r) {
            if (!field.IsTarget(c, r)) continue;
            field.Click(c, r);
            field.Click(c, r);
        }
    }
    EXPECT_EQ(field.TargetsLeft, 0);
    EXPECT_EQ(IpsResult::From(field, 100).Mi, 2);

    // A new field forgets the marks and the counts.
    Random random;
    random.SetFixedSeed(12);
    field.NewField(random);
    EXPECT_TRUE(field.MarkedCells().empty());
    EXPECT_EQ(field.WrongClicks, 0);
    EXPECT_EQ(field.TargetsLeft, field.TargetsTotal);
}

// More wrong clicks than there are cells to pass (every other cell of the
// field and then cells beside it) make IPS negative, shown with its sign.
TEST(IpsField, NegativeIps) {
    IpsField field = FieldWithSeed(3);
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows; ++r) {
            if (!field.IsTarget(c, r)) field.Click(c, r);
        }
    }
    for (int c = 1; c <= 5; ++c) field.Click(c, 10);
    const IpsResult result = IpsResult::From(field, 100);
    EXPECT_DOUBLE_EQ(result.Ips, -0.5);
    EXPECT_TRUE(result.Line().startsWith(QStringLiteral("IPS = -0.50 bps MI = "))) << result.Line().toStdString();
    EXPECT_EQ(result.Ipi, kIpsCells - field.TargetsTotal + 5);
}

}  // namespace
}  // namespace vistorel
