#pragma once

#include "swiss/SwissEvent.h"

#include <optional>
#include <vector>

namespace velka {

// What the hall is shown of a round: where each player sits and against whom. The projector,
// the players' page and the paper all read a round through these, so that they agree.

// One player's seat in a round.
struct Seat {
    int player = 0;              // index in the event's players
    int table = 0;               // from 1
    std::optional<int> opponent; // none for a bye
    // The result from this player's side; none until entered (a bye has its result at once).
    std::optional<MatchResult> result;

    bool operator==(const Seat&) const = default;
};

// The round the hall is shown: the latest paired one, 0 before the first.
int shownRound(const SwissEvent& event);

// The seats of round `round` (from 1), one per player paired in it, in table order with the
// first player of a table before the second; none for a round that is not paired.
std::vector<Seat> seatsOf(const SwissEvent& event, int round);

// The event as it stood after its last complete round: the rounds after it cut off. Its
// standings are the ones to show between rounds, while the next round's results come in.
SwissEvent throughCompleteRounds(const SwissEvent& event);

} // namespace velka
