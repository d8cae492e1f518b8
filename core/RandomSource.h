#pragma once

#include <cstdint>
#include <random>

namespace velka {

// Uniformly distributed values r with 0 <= r < 1.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void reseedFromClock() = 0;
    virtual double next() = 0;
};

// A 53-bit uniform value in [0, 1) from 64 random bits: never 1, unlike a generator that
// rounds its result.
inline double unitInterval(std::uint64_t bits)
{
    return static_cast<double>(bits >> 11) * 0x1p-53;
}

// The program's generator: a Mersenne Twister seeded from the high-resolution clock, when it is
// made and again at every reseedFromClock().
class ClockSeededRandom final : public RandomSource {
public:
    // NOLINTNEXTLINE(cert-msc51-cpp): the engine's default seed is replaced at once
    ClockSeededRandom() { reseedFromClock(); }
    void reseedFromClock() override;
    double next() override { return unitInterval(engine_()); }

private:
    std::mt19937_64 engine_;
};

} // namespace velka
