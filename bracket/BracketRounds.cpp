#include "bracket/BracketRounds.h"

#include "bracket/BoardGeometry.h"

#include <algorithm>
#include <array>

namespace velka::bracket {

namespace {

// The draw shortens the connector of a bye down to its output line, so that it no longer reaches
// its lower input line.
bool reachesLowerInput(const Tournament::Connector& connector, int c)
{
    const int lowerY = board::kDesignLines[board::lowerInput(c)].y1;
    return std::max(connector.ends.y1, connector.ends.y2) >= lowerY;
}

MatchResult resultOf(bool bye, bool upperShown, bool lowerShown)
{
    if (bye)
        return upperShown ? MatchResult::UpperWon : MatchResult::NobodyWent;
    if (upperShown && lowerShown)
        return MatchResult::Pending;
    if (upperShown)
        return MatchResult::UpperWon;
    return lowerShown ? MatchResult::LowerWon : MatchResult::NobodyWent;
}

// Who goes on from a match: the winning side as it stands, the match itself while it is still
// to be played, or nobody.
Entrant goesOn(const Match& match, int index)
{
    switch (match.result) {
    case MatchResult::Pending:
        return Entrant{-1, index};
    case MatchResult::UpperWon:
        return match.upper;
    case MatchResult::LowerWon:
        return match.lower;
    case MatchResult::NobodyWent:
        break;
    }
    return Entrant{};
}

void collectCandidates(const std::vector<Match>& matches, const Entrant& entrant,
                       std::vector<int>& out)
{
    if (entrant.known()) {
        out.push_back(entrant.player);
        return;
    }
    if (!entrant.pending())
        return;
    const Match& from = matches[entrant.fromMatch];
    if (from.result == MatchResult::Pending) {
        collectCandidates(matches, from.upper, out);
        collectCandidates(matches, from.lower, out);
    } else {
        collectCandidates(matches, goesOn(from, entrant.fromMatch), out);
    }
}

bool wonBy(const Match& match, bool upper)
{
    return match.result == (upper ? MatchResult::UpperWon : MatchResult::LowerWon);
}

// Follows a player from their first match for as long as they went on.
void followPlayer(BracketState& state, int index, int finalMatch)
{
    Player& player = state.players[index];
    int m = -1;
    for (int i = 0; i < static_cast<int>(state.matches.size()); ++i) {
        if (state.matches[i].upper.player == index || state.matches[i].lower.player == index) {
            m = i;
            break;
        }
    }
    while (m >= 0) {
        const Match& match = state.matches[m];
        const bool upper = match.upper.player == index;
        const Entrant& other = upper ? match.lower : match.upper;
        if (match.result == MatchResult::Pending) {
            player.match = m;
            if (other.known()) {
                player.status = PlayerStatus::Playing;
                player.opponent = other.player;
            } else {
                player.status = PlayerStatus::Waiting;
                collectCandidates(state.matches, other, player.waitingFor);
                std::sort(player.waitingFor.begin(), player.waitingFor.end());
            }
            return;
        }
        if (!wonBy(match, upper)) {
            player.status = PlayerStatus::Out;
            player.match = m;
            if (wonBy(match, !upper) && other.known())
                player.opponent = other.player;
            return;
        }
        if (m == finalMatch) {
            player.status = PlayerStatus::Champion;
            player.match = m;
            state.champion = index;
            return;
        }
        m = match.next;
    }
    // Went on from a match that leads nowhere on the board.
    player.status = PlayerStatus::Waiting;
    player.match = -1;
}

} // namespace

std::string roundName(int round, int rounds)
{
    if (round == rounds)
        return "決勝";
    if (round == rounds - 1)
        return "準決勝";
    return std::to_string(round) + "回戦";
}

std::optional<BracketState> bracketFrom(const Tournament& tournament)
{
    if (tournament.fieldSize <= 0)
        return std::nullopt;
    int rounds = 0;
    for (int c = 0; c < board::kConnectorCount; ++c) {
        if (tournament.connectors[c].visible)
            rounds = std::max(rounds, board::connectorRound(c));
    }
    if (rounds == 0)
        return std::nullopt;

    BracketState state;
    std::array<Entrant, board::kLineCount> onLine{};
    for (int slot = 0; slot < board::kSlotCount; ++slot) {
        const int c = slot / 2;
        const Tournament::Connector& connector = tournament.connectors[c];
        if (!connector.visible || (slot % 2 == 1 && !reachesLowerInput(connector, c)))
            continue;
        Player player;
        player.slot = slot;
        player.name = tournament.names[slot];
        player.seed = tournament.seedName && slot == tournament.fieldSize - 1 &&
                      player.name == *tournament.seedName;
        onLine[slot].player = static_cast<int>(state.players.size());
        state.players.push_back(std::move(player));
    }

    std::array<int, board::kConnectorCount> matchOf{};
    matchOf.fill(-1);
    state.rounds.resize(rounds);
    for (int c = 0; c < board::kConnectorCount; ++c) {
        const int round = board::connectorRound(c);
        if (round > rounds)
            break;
        Round& r = state.rounds[round - 1];
        r.number = round;
        r.name = roundName(round, rounds);
        const Tournament::Connector& connector = tournament.connectors[c];
        if (!connector.visible)
            continue;
        Match match;
        match.connector = c;
        match.round = round;
        match.bye = !reachesLowerInput(connector, c);
        match.upper = onLine[board::upperInput(c)];
        if (!match.bye)
            match.lower = onLine[board::lowerInput(c)];
        match.result = resultOf(match.bye, tournament.lineVisible[board::upperInput(c)],
                                tournament.lineVisible[board::lowerInput(c)]);
        const int index = static_cast<int>(state.matches.size());
        matchOf[c] = index;
        onLine[board::outputLine(c)] = goesOn(match, index);
        r.matches.push_back(index);
        state.matches.push_back(match);
    }
    for (Match& match : state.matches) {
        const int output = board::outputLine(match.connector);
        if (output < board::kChampionLine)
            match.next = matchOf[output / 2];
    }

    const std::vector<int>& lastRound = state.rounds.back().matches;
    const int finalMatch = lastRound.size() == 1 ? lastRound.front() : -1;
    for (int i = 0; i < static_cast<int>(state.players.size()); ++i)
        followPlayer(state, i, finalMatch);
    return state;
}

} // namespace velka::bracket
