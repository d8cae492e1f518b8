#pragma once

#include "playerspage/PageState.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace velka::playerspage {

// One published state of the players' page, serialised once when it is made and from then on
// shared, unchanged, by every response the server writes (hand it over as
// std::shared_ptr<const PageSnapshot>). Only the clock is brought forward to the moment of
// sending, from the monotonic time stamp it was read at.
//
// The JSON document (docs/players-page.md describes every field):
//   {"version":1,"clock":{...}|null,"bracket":{...}|null,"swiss":{...}|null}
// Names are strings in it and nothing else; text that is not UTF-8 comes out with U+FFFD in
// place of the broken bytes.
class PageSnapshot {
public:
    // Nothing known yet: no clock and no bracket. The page says it is waiting for the laptop.
    PageSnapshot();
    explicit PageSnapshot(const PageState& state);

    const std::optional<ClockState>& clock() const { return clock_; }
    const std::optional<BracketState>& bracket() const { return bracket_; }
    const std::optional<SwissPageState>& swiss() const { return swiss_; }

    // Tells this state from any other, apart from the clock's running readings (milliseconds
    // left, time of day); quoted, as the ETag header carries it. Two snapshots with the same
    // tag show the same thing.
    const std::string& etag() const { return etag_; }

    // The whole document with the clock as it stands at `now` on the monotonic clock.
    std::string json(std::int64_t now) const;
    // The same, appended to out: an event stream writes it into a buffer it keeps.
    void appendJson(std::string& out, std::int64_t now) const;
    // {"clock":...} alone, as the event stream's heartbeat carries it.
    std::string clockJson(std::int64_t now) const;

private:
    std::string clockPart(std::int64_t now) const;

    std::optional<ClockState> clock_;
    std::optional<BracketState> bracket_;
    std::optional<SwissPageState> swiss_;
    std::string bracketJson_;
    std::string swissJson_;
    std::string etag_;
};

// The page state of the tournament and the timer as they stand now; see bracket::bracketFrom and
// readClock. This is what the window thread calls after a change, before PageServer::publish.
std::shared_ptr<const PageSnapshot> makeSnapshot(const Tournament& tournament,
                                                 const EventTimer* timer, bool timeUpShown,
                                                 const Clock& clock,
                                                 const MonotonicClock& monotonic);
// The same while a Swiss event may be running: given its state for the page (swissPageState),
// the page shows that in place of the bracket.
std::shared_ptr<const PageSnapshot> makeSnapshot(const Tournament& tournament,
                                                 const std::optional<SwissPageState>& swiss,
                                                 const EventTimer* timer, bool timeUpShown,
                                                 const Clock& clock,
                                                 const MonotonicClock& monotonic);

} // namespace velka::playerspage
