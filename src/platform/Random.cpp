#include "platform/Random.h"

#include <QTime>

namespace vistorel {

Random::Random() { Randomize(); }

void Random::Randomize() {
    if (fixed_) return;
    engine_.seed(static_cast<std::uint32_t>(QTime::currentTime().msecsSinceStartOfDay()));
}

void Random::SetFixedSeed(std::uint32_t seed) {
    fixed_ = true;
    engine_.seed(seed);
}

int Random::Next(int range) {
    if (range <= 0) return 0;
    return std::uniform_int_distribution<int>(0, range - 1)(engine_);
}

double Random::NextDouble() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(engine_);
}

}  // namespace vistorel
