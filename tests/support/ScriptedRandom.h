#pragma once

#include "core/RandomSource.h"

#include <deque>
#include <random>

namespace velka::test {

// Gives the values it was handed, in order, then values from a fixed-seed generator; counts
// how often it was re-seeded and how many values were taken.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::deque<double> values = {}, unsigned fallbackSeed = 1)
        : values_(std::move(values))
        , fallback_(fallbackSeed)
    {}

    void reseedFromClock() override { ++reseeds; }
    double next() override
    {
        ++taken;
        if (values_.empty())
            return unitInterval(fallback_());
        const double r = values_.front();
        values_.pop_front();
        return r;
    }

    int reseeds = 0;
    int taken = 0;

private:
    std::deque<double> values_;
    std::mt19937_64 fallback_;
};

} // namespace velka::test
