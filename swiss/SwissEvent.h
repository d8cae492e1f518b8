#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velka {

// A Swiss event (スイスドロー) as plain values: the settings, the players and every round's
// tables. SwissDraw changes one by its operations; the tournament file and the keeper store
// one as it is; standings, pairings and CSV text are derived from one. Players are named by
// their index in `players`; an index moves only when a player in no round is removed.

inline constexpr int kMinSwissPlayers = 4;
inline constexpr int kMaxSwissPlayers = 256;
inline constexpr int kMinSwissRounds = 2;
// Caps the exact tiebreaker fractions, whose denominators grow with the rounds (see
// docs/swiss.md): every one of them fits 128 bits up to here.
inline constexpr int kMaxSwissRounds = 20;

enum class MatchFormat {
    SingleGame, // 1本勝負: a win, a loss or a draw
    BestOfThree // 2本先取: the games each won
};

enum class TiebreakerSet {
    OmwGwOgw, // 「OMW% → GW% → OGW%（下限33%）」
    OwpOowp   // 「OWP → OOWP（下限25%）」
};

struct SwissSettings {
    // The number of rounds; 0 until the organiser chooses, which stands for the suggestion for
    // the field (suggestedRounds). Pairing the first round writes the number in.
    int rounds = 0;
    MatchFormat match = MatchFormat::BestOfThree;
    TiebreakerSet tiebreakers = TiebreakerSet::OmwGwOgw;
    // The players of the single-elimination cut after the last round: 0 (none), 2, 4, 8 or 16.
    int topCut = 0;

    bool operator==(const SwissSettings&) const = default;
};

// ⌈log₂ players⌉, at least kMinSwissRounds and at most kMaxSwissRounds.
int suggestedRounds(int players);

struct SwissPlayer {
    std::string name;    // unique in the event, trimmed (trimmedName), never empty
    std::string reading; // ふりがな, trimmed; empty when there is none
    // The first round the player is paired in. Every round before it counts as a match loss,
    // 0–2 in games, against no opponent. 1, or 2 for a player who came late.
    int firstRound = 1;
    // The first round the player is no longer paired in (棄権); none while still playing.
    std::optional<int> droppedFrom;

    bool operator==(const SwissPlayer&) const = default;
};

// A player as typed, pasted or read from a file, before joining the event.
struct PlayerEntry {
    std::string name;
    std::string reading;

    bool operator==(const PlayerEntry&) const = default;
};

// A match's games from the first player's side: games won by each and games drawn. The match
// goes to whoever won more games; equal counts are a drawn match (1-1, or 0-0 when unfinished).
struct MatchResult {
    int gamesA = 0;
    int gamesB = 0;
    int drawnGames = 0;

    bool operator==(const MatchResult&) const = default;
};

inline constexpr MatchResult kByeResult{2, 0, 0};
// What a late player is given for each round before they joined.
inline constexpr MatchResult kMissedRoundResult{0, 2, 0};

// The results the organiser can enter in a match of that format, in the order a list shows
// them: 1本勝負 win, loss, draw ({1,0,0}, {0,1,0}, {0,0,1}); 2本先取 2-0, 2-1, 1-2, 0-2, 1-1,
// 1-0, 0-1, 0-0.
const std::vector<MatchResult>& resultsFor(MatchFormat format);
bool allowedResult(MatchFormat format, const MatchResult& result);
// The result as the organiser reads it from the first player's side: 「勝ち」「負け」「引き分け」
// in 1本勝負, "2-1" in 2本先取.
std::string resultText(MatchFormat format, const MatchResult& result);
// The result as the second player sees it.
MatchResult reversed(const MatchResult& result);

// One table of a round: two players, or one with a bye (playerB empty), whose result is
// kByeResult from the moment the round is paired.
struct SwissTable {
    int playerA = 0;
    std::optional<int> playerB;
    std::optional<MatchResult> result; // none until entered
    bool rematch = false;              // the two have met in an earlier round

    bool bye() const { return !playerB; }
    bool operator==(const SwissTable&) const = default;
};

// A round's tables, table number k + 1 at index k. The bye, if any, is the last table.
struct SwissRound {
    std::vector<SwissTable> tables;

    bool complete() const;
    bool operator==(const SwissRound&) const = default;
};

struct SwissEvent {
    SwissSettings settings;
    std::vector<SwissPlayer> players;
    std::vector<SwissRound> rounds; // round N at index N - 1

    // The rounds the event will have: the settings' number, or the suggestion while it is 0.
    int plannedRounds() const;
    // Paired in round `round` (1-based): joined by then and not dropped before it.
    bool playsIn(int player, int round) const;
    bool operator==(const SwissEvent&) const = default;
};

// The name with blanks (spaces, tabs, the ideographic space U+3000 and the no-break space)
// cut from both ends: the form a name is kept and compared in.
std::string trimmedName(std::string_view name);

// What in the event this program could not have made, in Japanese for the organiser, naming
// the round, table or player; none when the program could have made it. For events read from
// a file: players (count, names, joining and dropping), settings, each round's tables (every
// player paired exactly once, only players then in the event, the bye last and only with an
// odd count, a second bye only when everyone had one, rematch marks true to the history),
// results (allowed for the format, none missing before the last round).
std::optional<std::string> swissEventFault(const SwissEvent& event);

} // namespace velka
