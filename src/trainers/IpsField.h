#pragma once
// The IPS test without its window: two target rings, a field of 18 x 9
// random rings, the user's clicks on its cells, and the scores of a run.

#include <QString>
#include <array>
#include <cstdint>
#include <set>
#include <utility>

namespace vistorel {

class Random;

inline constexpr int kIpsColumns = 18;
inline constexpr int kIpsRows = 9;
inline constexpr int kIpsCells = kIpsColumns * kIpsRows;
// Ring pictures drawn in the field are numbered 1..7.
inline constexpr int kIpsRingKinds = 7;

class IpsField {
public:
    // New targets, then a new field column by column, and every count back to 0.
    void NewField(Random& random);

    bool HasField() const { return hasField_; }
    int TargetA() const { return targetA_; }
    int TargetB() const { return targetB_; }
    // The ring of column 1..18, row 1..9; 0 for any other cell.
    int Ring(int column, int row) const;
    bool IsTarget(int column, int row) const;

    enum class ClickResult { AlreadyMarked, Found, Wrong };
    // A click on a cell (columns and rows from 1; cells outside the field are
    // empty). Each cell counts once: a second click on it counts nothing.
    ClickResult Click(int column, int row);
    // The marked cells, as (column, row).
    const std::set<std::pair<int, int>>& MarkedCells() const { return marked_; }

    std::int64_t TargetsTotal = 0;
    std::int64_t TargetsLeft = 0;
    std::int64_t WrongClicks = 0;

private:
    bool hasField_ = false;
    int targetA_ = 0;
    int targetB_ = 0;
    std::array<std::array<std::uint8_t, kIpsRows>, kIpsColumns> rings_{};
    std::set<std::pair<int, int>> marked_;
};

// The scores of a run: IPS (information processed per second), MI (missed
// information) and IPI (the wrong clicks). A run shorter than a second
// measures nothing.
struct IpsResult {
    bool Measured = false;
    double Ips = 0;
    std::int64_t Mi = 0;
    std::int64_t Ipi = 0;

    static IpsResult From(const IpsField& field, std::int64_t tenths);
    // "IPS = 6.07 bps MI = 38.00 bit IPI =3", or for a run that measured
    // nothing a line that says so, without figures.
    QString Line() const;
};

}  // namespace vistorel
