#include "playerspage/PageState.h"

#include "timer/EventTimer.h"

namespace velka::playerspage {

namespace {

constexpr std::int64_t kDayMs = 24 * 60 * 60 * 1000;

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::int64_t floorMod(std::int64_t a, std::int64_t b)
{
    return a - floorDiv(a, b) * b;
}

} // namespace

ClockState readClock(const EventTimer* timer, bool timeUpShown, const Clock& clock,
                     const MonotonicClock& monotonic)
{
    ClockState state;
    state.measuredAt = monotonic.milliseconds();
    const std::int64_t nowMs = clock.nowMilliseconds();
    const std::int64_t second = floorDiv(nowMs, 1000);
    const TimeOfDay time = localTimeOfDay(second);
    state.timeOfDayMs = (time.hour * 3600 + time.minute * 60 + time.second) * std::int64_t{1000} +
                        floorMod(nowMs, 1000);
    if (timer == nullptr)
        return state;
    if (timeUpShown) {
        state.mode = ClockMode::TimeUp;
        state.countDownEnd = timer->countDownEnd();
    } else if (timer->countingDown()) {
        state.mode = ClockMode::Countdown;
        state.countDownEnd = timer->countDownEnd();
        // Ends lie within years 1 to 9999, so the product fits easily.
        state.msLeft = timer->countDownEnd() * 1000 - nowMs;
    }
    return state;
}

ClockState clockAt(const ClockState& clock, std::int64_t at)
{
    ClockState moved = clock;
    const std::int64_t elapsed = at - clock.measuredAt;
    moved.measuredAt = at;
    moved.timeOfDayMs = floorMod(clock.timeOfDayMs + elapsed, kDayMs);
    if (clock.mode == ClockMode::Countdown)
        moved.msLeft = clock.msLeft - elapsed;
    return moved;
}

} // namespace velka::playerspage
