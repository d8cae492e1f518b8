#pragma once

#include "swiss/SwissEvent.h"

namespace velka {

class RandomSource;

// The tables of round `round` (1-based) for the players who play in it (SwissEvent::playsIn),
// from the results of the rounds before it, which must all be in. Round 1 pairs a random order.
// A later round is the perfect matching, over every pair of players and a bye when their count
// is odd, that is best by these rules, each counting only among pairings equal by the rules
// before it (docs/swiss.md gives the weights):
//   1. the bye goes to a player with as few byes as anyone playing, so a second bye only once
//      everyone has had one;
//   2. as few rematches as possible, then as few earlier meetings among them;
//   3. the bye to the fewest match points;
//   4. as few players paired down (paired with someone of other match points) as possible;
//   5. the smallest sum of the squared match-point differences of those paired down;
//   6. at random among the rest.
// Tables are numbered from the highest match points down; the higher player sits first; the
// bye, with its result already in, is the last table; a pair that met before is marked.
// With no player to pair the round has no tables.
SwissRound pairRound(const SwissEvent& event, int round, RandomSource& random);

} // namespace velka
