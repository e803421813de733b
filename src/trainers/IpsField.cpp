#include "trainers/IpsField.h"

#include "platform/Random.h"
#include "trainers/TestClock.h"

namespace vistorel {
namespace {

int DrawRing(Random& random) { return random.Next(kIpsRingKinds) + 1; }

bool InField(int column, int row) { return column >= 1 && column <= kIpsColumns && row >= 1 && row <= kIpsRows; }

}  // namespace

void IpsField::NewField(Random& random) {
    targetA_ = DrawRing(random);
    targetB_ = DrawRing(random);
    TargetsLeft = 0;
    WrongClicks = 0;
    marked_.clear();
    for (int c = 1; c <= kIpsColumns; ++c) {
        for (int r = 1; r <= kIpsRows; ++r) {
            rings_[c - 1][r - 1] = static_cast<std::uint8_t>(DrawRing(random));
            if (IsTarget(c, r)) ++TargetsLeft;
        }
    }
    TargetsTotal = TargetsLeft;
    hasField_ = true;
}

int IpsField::Ring(int column, int row) const { return InField(column, row) ? rings_[column - 1][row - 1] : 0; }

bool IpsField::IsTarget(int column, int row) const {
    const int ring = Ring(column, row);
    return ring != 0 && (ring == targetA_ || ring == targetB_);
}

IpsField::ClickResult IpsField::Click(int column, int row) {
    if (!marked_.insert({column, row}).second) return ClickResult::AlreadyMarked;
    if (IsTarget(column, row)) {
        --TargetsLeft;
        return ClickResult::Found;
    }
    ++WrongClicks;
    return ClickResult::Wrong;
}

IpsResult IpsResult::From(const IpsField& field, std::int64_t tenths) {
    IpsResult result;
    if (tenths < kShortestRunTenths) return result;
    result.Measured = true;
    const double seconds = static_cast<double>(tenths) / 10.0;
    const std::int64_t found = field.TargetsTotal - field.TargetsLeft;
    const std::int64_t passed = kIpsCells - field.TargetsTotal - field.WrongClicks;
    result.Ips = static_cast<double>(7 * found + passed) / seconds;
    result.Mi = field.WrongClicks + 7 * field.TargetsLeft;
    result.Ipi = field.WrongClicks;
    return result;
}

QString IpsResult::Line() const {
    if (!Measured) return QStringLiteral("Слишком короткий замер: ищите кольца не меньше секунды");
    return QStringLiteral("IPS = %1 bps MI = %2 bit IPI =%3")
        .arg(QString::number(Ips, 'f', 2), QString::number(static_cast<double>(Mi), 'f', 2))
        .arg(Ipi);
}

}  // namespace vistorel
