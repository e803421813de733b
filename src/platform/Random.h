#pragma once
// The program's one uniform pseudo-random generator.

#include <cstdint>
#include <random>

namespace vistorel {

class Random {
public:
    Random();
    // Seeds from the time of day, unless a fixed seed was set.
    void Randomize();
    // Seeds with a fixed value and keeps it: later Randomize calls are ignored
    // (tests use this to make every run repeatable).
    void SetFixedSeed(std::uint32_t seed);
    // A uniformly distributed integer in 0..range-1; 0 when range is 0 or less.
    int Next(int range);
    // A uniformly distributed real number in [0, 1).
    double NextDouble();

private:
    std::mt19937 engine_;
    bool fixed_ = false;
};

}  // namespace vistorel
