#pragma once

// What the players' page shows of a Swiss event while it runs: the round paired last, where each
// player sits in it, and the standings through the last complete round. Plain values, derived
// from the event as the hall is shown it (swiss/HallListing.h), with the players in the order
// the organiser's window lists them.

#include "bracket/Tournament.h"
#include "swiss/SwissEvent.h"

#include <optional>
#include <string>
#include <vector>

namespace velka::playerspage {

// One player as the page lists them.
struct SwissEntry {
    std::string name;
    std::string reading; // empty when there is none
    // Their table in the round shown, from 1; none when they are not in that round (dropped,
    // or not yet joined).
    std::optional<int> table;
    // Their opponent there, as an index into SwissPageState::players; none for a bye.
    std::optional<int> opponent;
    // The result from their side, as the organiser's window writes it (「勝ち」, "2-1"); empty
    // until it is entered, and for a bye.
    std::string result;
    bool dropped = false;

    bool operator==(const SwissEntry&) const = default;
};

// One line of the standings.
struct SwissStandingEntry {
    int rank = 0;   // from 1, shared by players equal on everything
    int player = 0; // index into SwissPageState::players
    int matchPoints = 0;
    std::string record; // wins-losses-draws, "3-1-0", as the window shows it
    bool dropped = false;

    bool operator==(const SwissStandingEntry&) const = default;
};

struct SwissPageState {
    int round = 0;  // the round paired last, from 1
    int rounds = 0; // the rounds the event will have
    // Every player of the event, in reading order.
    std::vector<SwissEntry> players;
    // The complete rounds the standings count (0: none yet, and no standings), and the
    // standings over them, best first.
    int standingsAfter = 0;
    std::vector<SwissStandingEntry> standings;

    bool operator==(const SwissPageState&) const = default;
};

// Whether the board holds the event's top cut: the event has its last round complete and a top
// cut, and the board holds a draw of that many players with the cut's names in the cut's slots.
// It reads only what the tournament file keeps of both, so after a restart it answers as before.
bool topCutOnBoard(const SwissEvent& event, const Tournament& board);

// The Swiss event for the page from its first paired round until its top cut is on the board
// (topCutOnBoard); none otherwise, when the page shows the board's bracket. `order` lists the
// players' indexes in the order to show them (readingOrder); anything but an ordering of every
// player is taken as the order they were entered in.
std::optional<SwissPageState> swissPageState(const SwissEvent& event, const Tournament& board,
                                             const std::vector<int>& order);

} // namespace velka::playerspage
