#pragma once

// What the players' page shows, as plain values: the bracket read from the tournament exactly as
// the board shows it, and the round clock read from the event timer. Built on the window thread
// from the models; the server only ever sees it serialised (PageSnapshot.h).

#include "bracket/Tournament.h"
#include "core/Clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velka {
class EventTimer;
}

namespace velka::playerspage {

// One side of a match: a player who is there, the match whose winner is still to come, or
// nobody (both -1): no one went on from the match that should have sent someone.
struct Entrant {
    int player = -1;    // index into BracketState::players
    int fromMatch = -1; // index into BracketState::matches, while its winner is not known

    bool known() const { return player >= 0; }
    bool pending() const { return player < 0 && fromMatch >= 0; }
    bool operator==(const Entrant&) const = default;
};

// How the board shows a match. A line drawn means that the player on it went on: with both input
// lines drawn the match is still to be played, with one drawn that side went through, and with
// neither drawn nobody went on. A bye has no lower side: its upper side goes on while its line
// is drawn.
enum class MatchResult { Pending, UpperWon, LowerWon, NobodyWent };

struct Match {
    int connector = 0; // the board's connector 0..14
    int round = 1;     // 1 for the first round of the field
    Entrant upper;
    Entrant lower;
    bool bye = false;
    MatchResult result = MatchResult::Pending;
    int next = -1; // the match the winner plays next; -1 after the final

    bool operator==(const Match&) const = default;
};

enum class PlayerStatus {
    Playing,  // the next match is against a known opponent
    Waiting,  // the next opponent is not known yet (or nobody will come)
    Out,      // lost, or nobody went on from their match
    Champion, // won the final
};

struct Player {
    int slot = 0; // the board's name slot
    std::string name;
    bool seed = false;
    PlayerStatus status = PlayerStatus::Waiting;
    // Playing and Waiting: the match they play next (-1 when the board has no next match for
    // them); Out: the match they went out in; Champion: the final.
    int match = -1;
    // Playing: who they play next. Out: who beat them (-1 when nobody went on).
    int opponent = -1;
    // Waiting: every player who may still come to play them, in slot order.
    std::vector<int> waitingFor;

    bool operator==(const Player&) const = default;
};

struct Round {
    int number = 1;
    std::string name; // 「1回戦」…「準決勝」「決勝」
    std::vector<int> matches;

    bool operator==(const Round&) const = default;
};

// The bracket of a drawn field. Players are in slot order; matches are in round order and, within
// a round, from the top of the board down.
struct BracketState {
    std::vector<Player> players;
    std::vector<Round> rounds;
    std::vector<Match> matches;
    int champion = -1; // index into players, once the final is decided

    bool operator==(const BracketState&) const = default;
};

// The bracket as the board shows it, or nothing while the board has not been drawn since its last
// reset (fieldSize 0). The shape comes from the board alone: a visible connector is a match, and
// one that stops short of its lower input line (as the draw leaves it) is a bye. The names are
// taken as they are, and anything drawn outside the field is ignored.
std::optional<BracketState> bracketFrom(const Tournament& tournament);

// The name of round `round` (1-based) of a field with `rounds` rounds.
std::string roundName(int round, int rounds);

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

    bool operator==(const PageState&) const = default;
};

} // namespace velka::playerspage
