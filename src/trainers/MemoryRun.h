#pragma once
// The memory test without its window: eight random rings shown for seven
// ticks, and the score of the ring numbers the user typed from memory.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace vistorel {

class Random;

inline constexpr int kMemoryRings = 8;
inline constexpr int kMemoryShowTicks = 7;

class MemoryRun {
public:
    // Eight new rings (numbers 1..7) and the count of ticks from 0.
    void Start(Random& random);
    // One tick; true at the tick that ends the showing of the rings.
    bool Tick();

    bool Started() const { return started_; }
    // The rings are up: started, and their ticks not yet run out.
    bool RingsShown() const { return started_ && showTicks_ < kMemoryShowTicks; }
    // Ring 1..8 of the run.
    int ShownRing(int index) const { return rings_.at(static_cast<std::size_t>(index - 1)); }

    // 8 points for every answer equal to its ring, 0..64.
    int Score(const QStringList& answers) const;

private:
    std::array<int, kMemoryRings> rings_{};
    int showTicks_ = 0;
    bool started_ = false;
};

// The whole number at the start of an answer (leading blanks and a sign
// allowed, reading stops at the first other character); 0 when there is none.
std::int64_t LeadingNumber(const QString& text);

// "ISR = 9.14 bps": the score divided by 7.
QString IsrLine(int score);

}  // namespace vistorel
