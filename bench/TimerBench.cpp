#include "core/Clock.h"
#include "timer/EventTimer.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace velka {
namespace {

class SteppedClock final : public Clock {
public:
    std::int64_t now() const override { return now_; }
    void step() { ++now_; }

private:
    std::int64_t now_ = 1'700'000'000;
};

// One tick of the 100 ms timer, with its formatting. `changes` moves the clock on a second
// before every tick, so that each tick writes a new display text; otherwise the tick finds the
// display as it is.
void BM_TimerTick(benchmark::State& state, bool countingDown, bool changes)
{
    SteppedClock clock;
    EventTimer timer(clock);
    timer.setHourText("99");
    int displayChanges = 0;
    const Subscription subscription = timer.subscribe([&displayChanges](EventTimer::Part part) {
        displayChanges += part == EventTimer::Part::Display;
    });
    if (countingDown && timer.setCountingDown(true))
        state.SkipWithError("the countdown did not start");
    for (auto _ : state) {
        if (changes)
            clock.step();
        benchmark::DoNotOptimize(timer.TimerTick());
    }
    state.counters["display writes"] = displayChanges;
}
BENCHMARK_CAPTURE(BM_TimerTick, ClockNewSecond, false, true);
BENCHMARK_CAPTURE(BM_TimerTick, ClockSameSecond, false, false);
BENCHMARK_CAPTURE(BM_TimerTick, CountdownNewSecond, true, true);
BENCHMARK_CAPTURE(BM_TimerTick, CountdownSameSecond, true, false);

} // namespace
} // namespace velka
