#pragma once

// What the players' page shows, as plain values: the bracket as the bracket model reads it from
// the tournament (bracket/BracketRounds.h) or, while a Swiss event runs, its round and standings
// (SwissPageState.h), and the round clock read from the event timer. Built on the window thread
// from the models; the server only ever sees it serialised (PageSnapshot.h).

#include "bracket/BracketRounds.h"
#include "core/Clock.h"
#include "playerspage/SwissPageState.h"

#include <cstdint>
#include <optional>

namespace velka {
class EventTimer;
}

namespace velka::playerspage {

using bracket::BracketState;

// What the clock on the page shows.
enum class ClockMode {
    TimeOfDay, // the laptop's local time of day
    Countdown, // a round's countdown is running
    TimeUp,    // the countdown has ended and the "Time Up!!" box is open
};

// The clock at one instant of the monotonic clock. The page counts on from it by itself.
struct ClockState {
    ClockMode mode = ClockMode::TimeOfDay;
    // Countdown: milliseconds from measuredAt to the end instant. The projector shows
    // end - floor(now) whole seconds, which is ceil(msLeft / 1000): the page shows the same.
    std::int64_t msLeft = 0;
    // The laptop's local time of day at measuredAt, in milliseconds since midnight.
    std::int64_t timeOfDayMs = 0;
    // When the two above were measured, on the program's monotonic clock.
    std::int64_t measuredAt = 0;
    // Countdown and TimeUp: the end instant, seconds since 1970; tells one countdown from the next.
    std::int64_t countDownEnd = 0;

    bool operator==(const ClockState&) const = default;
};

// Reads the clock now. `timer` may be null (the timer window is closed): the time of day.
// `timeUpShown` is whether the timer window's "Time Up!!" box is open, which is what the
// projector view shows too.
ClockState readClock(const EventTimer* timer, bool timeUpShown, const Clock& clock,
                     const MonotonicClock& monotonic);

// The same clock `at` on the monotonic clock (later than measuredAt, or earlier).
ClockState clockAt(const ClockState& clock, std::int64_t at);

struct PageState {
    std::optional<BracketState> bracket;
    ClockState clock;
    // Set while a Swiss event runs; the bracket is then none.
    std::optional<SwissPageState> swiss = std::nullopt;

    bool operator==(const PageState&) const = default;
};

} // namespace velka::playerspage
