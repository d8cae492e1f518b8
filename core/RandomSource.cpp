#include "core/RandomSource.h"

#include <chrono>

namespace velka {

void ClockSeededRandom::reseedFromClock()
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32),
                       static_cast<std::uint32_t>(wall), static_cast<std::uint32_t>(wall >> 32)};
    engine_.seed(seed);
}

} // namespace velka
