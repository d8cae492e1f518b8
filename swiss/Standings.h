#pragma once

#include "swiss/Fraction.h"
#include "swiss/SwissEvent.h"

#include <string>
#include <vector>

namespace velka {

// One line of the standings.
struct SwissStanding {
    int rank = 0;   // from 1; players equal on match points and every tiebreaker share one
    int player = 0; // index in the event's players
    int matchPoints = 0;
    int wins = 0;   // byes among them
    int losses = 0; // rounds missed before joining among them
    int draws = 0;
    // The event's tiebreakers, in the order tiebreakerNames gives, exact.
    std::vector<Fraction> tiebreakers;
    bool dropped = false;

    bool operator==(const SwissStanding&) const = default;
};

// The tiebreakers' column names: "OMW%", "GW%", "OGW%", or "OWP", "OOWP".
const std::vector<std::string>& tiebreakerNames(TiebreakerSet set);

// The standings over every result entered so far, best first: match points, then the
// tiebreakers in order, compared exactly; players equal on all of them share a rank and stand
// in the order they were entered. Dropped players stand where their results put them.
//
// Match points: win 3, draw 1, loss 0; game points likewise per game. A bye is a match won 2–0;
// a round before a late player joined is a match lost 0–2 against no opponent; both count as
// rounds played. MWP = match points / (3 x rounds played); GW = game points / (3 x games
// played). 「OMW% → GW% → OGW%」: each MWP and GW at least 33/100; OMW% and OGW% the means of
// the opponents' MWP and GW, one term per match played (no term for a bye or a missed round).
// 「OWP → OOWP」: OWP the mean of the opponents' MWP, each at least 1/4; OOWP the mean of the
// opponents' OWP. A player with no rounds has the floor as MWP and GW; one with no opponent
// has 0 for the opponents' means.
std::vector<SwissStanding> standings(const SwissEvent& event);

} // namespace velka
