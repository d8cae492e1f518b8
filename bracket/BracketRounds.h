#pragma once

// What a single-elimination bracket means, read from the tournament exactly as the board shows
// it: its rounds and matches, who went through, each player's next opponent and the champion.
// Whatever tells more than the board's lines asks this (the players' page, first of all). The
// names stand in velka::bracket: another kind of tournament has players, matches and rounds of
// its own.

#include "bracket/Tournament.h"

#include <optional>
#include <string>
#include <vector>

namespace velka::bracket {

// One side of a match: a player who is there, the match whose winner is still to come, or
// nobody (both -1): no one went on from the match that should have sent someone.
struct Entrant {
    int player = -1;    // index into BracketState::players
    int fromMatch = -1; // index into BracketState::matches, while its winner is not known

    bool known() const { return player >= 0; }
    bool pending() const { return player < 0 && fromMatch >= 0; }
    bool operator==(const Entrant&) const = default;
};

// How the board shows a match. A line shown means that the player on it went on: with both
// input lines shown the match is still to be played, with one shown that side went through, and
// with neither shown nobody went on. A bye has no lower side: its upper side goes on while its
// line is shown.
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
// taken as they are, and anything shown outside the field is ignored.
std::optional<BracketState> bracketFrom(const Tournament& tournament);

// The name of round `round` (1-based) of a field with `rounds` rounds.
std::string roundName(int round, int rounds);

} // namespace velka::bracket
