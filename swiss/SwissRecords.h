#pragma once

#include "swiss/SwissEvent.h"

#include <vector>

namespace velka {

// What a player has done in the results entered so far: the sums that standings and pairing
// both count from. A bye is a match win 2–0 in games; a round before the player joined is a
// match loss 0–2 in games against no opponent; a table without a result counts for nothing.
struct PlayerRecord {
    int matchPoints = 0; // win 3, draw 1, loss 0
    int wins = 0;
    int losses = 0;
    int draws = 0;
    int gamePoints = 0; // game won 3, game drawn 1
    int games = 0;
    int rounds = 0; // rounds with a result, byes and missed rounds among them
    int byes = 0;
    std::vector<int> opponents; // one entry per match played, in round order
};

// The records of every player over rounds 1..throughRound (all rounds when it is larger).
std::vector<PlayerRecord> playerRecords(const SwissEvent& event, int throughRound);

// The match points a result gives its first player.
int matchPointsOf(const MatchResult& result);

} // namespace velka
