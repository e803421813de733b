#pragma once
// Rounding to the nearest integer with exact halves going to the even
// neighbour (312.5 gives 312, 335.5 gives 336).

#include <cmath>

namespace vistorel {

inline long RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5) return static_cast<long>(lower) + 1;
    if (fraction < 0.5) return static_cast<long>(lower);
    const long even = static_cast<long>(lower);
    return (even % 2 == 0) ? even : even + 1;
}

}  // namespace vistorel
