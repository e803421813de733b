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

// The worked example; a run shorter than a second gives no figures, one
// second exactly does.
TEST(IpsField, WorkedExample) {
    IpsField field;
    field.TargetsTotal = 40;
    field.TargetsLeft = 5;
    field.WrongClicks = 3;
    EXPECT_EQ(IpsResult::From(field, 600).Line(), QStringLiteral("IPS = 6.07 bps MI = 38.00 bit IPI =3"));
    EXPECT_EQ(IpsResult::From(field, 9).Line(),
              QStringLiteral("Слишком короткий замер: ищите кольца не меньше секунды"));
    EXPECT_EQ(IpsResult::From(field, 10).Line(), QStringLiteral("IPS = 364.00 bps MI = 38.00 bit IPI =3"));
}

// With both targets the same ring only that ring counts as a target.
TEST(IpsField, EqualTargets) {
    unsigned seed = 1;
    IpsField field = FieldWithSeed(seed);
    while (field.TargetA() != field.TargetB()) field = FieldWithSeed(++seed);
    int count = 0;
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows; ++r) count += field.Ring(c, r) == field.TargetA();
    }
    EXPECT_EQ(field.TargetsTotal, count);
}

// Each cell counts once, so TargetsLeft never goes below 0 and a wrong cell
// (also one beside the rings) counts once; more wrong cells than cells to
// pass make IPS negative, shown with its sign.
TEST(IpsField, EachCellCountsOnceAndIpsCanBeNegative) {
    IpsField field = FieldWithSeed(3);
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows + 1; ++r) {
            const auto first = field.Click(c, r);
            EXPECT_EQ(first, field.IsTarget(c, r) ? IpsField::ClickResult::Found : IpsField::ClickResult::Wrong);
            EXPECT_EQ(field.Click(c, r), IpsField::ClickResult::AlreadyMarked);
        }
    }
    EXPECT_EQ(field.TargetsLeft, 0);
    EXPECT_EQ(field.WrongClicks, kIpsCells - field.TargetsTotal + kIpsColumns);
    // 7 x found + passed = 7 x total - 18, over 10 seconds.
    const IpsResult result = IpsResult::From(field, 100);
    EXPECT_DOUBLE_EQ(result.Ips, (7.0 * field.TargetsTotal - 18) / 10);
    IpsField missed = FieldWithSeed(3);
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows + 1; ++r) {
            if (!missed.IsTarget(c, r)) missed.Click(c, r);
        }
    }
    EXPECT_EQ(IpsResult::From(missed, 100).Line().left(14), QStringLiteral("IPS = -1.80 bp"));
}

}  // namespace
}  // namespace vistorel
