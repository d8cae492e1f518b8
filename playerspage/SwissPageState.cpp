#include "playerspage/SwissPageState.h"

#include "swiss/HallListing.h"
#include "swiss/Standings.h"
#include "swiss/TopCut.h"

#include <numeric>

namespace velka::playerspage {

namespace {

// `order` when it names every player exactly once; otherwise the order of entry.
std::vector<int> checkedOrder(const std::vector<int>& order, std::size_t players)
{
    std::vector<bool> seen(players, false);
    bool whole = order.size() == players;
    for (std::size_t i = 0; whole && i < order.size(); ++i) {
        const int p = order[i];
        whole = p >= 0 && static_cast<std::size_t>(p) < players && !seen[p];
        if (whole)
            seen[p] = true;
    }
    if (whole)
        return order;
    std::vector<int> entered(players);
    std::iota(entered.begin(), entered.end(), 0);
    return entered;
}

} // namespace

bool topCutOnBoard(const SwissEvent& event, const Tournament& board)
{
    const int size = event.settings.topCut;
    if (size == 0 || board.fieldSize != size)
        return false;
    const TopCutResult cut = topCut(event);
    if (!cut.cut)
        return false;
    for (int slot = 0; slot < size; ++slot) {
        if (board.names[slot] != cut.cut->names[slot])
            return false;
    }
    return true;
}

std::optional<SwissPageState> swissPageState(const SwissEvent& event, const Tournament& board,
                                             const std::vector<int>& order)
{
    const int round = shownRound(event);
    if (round == 0 || topCutOnBoard(event, board))
        return std::nullopt;
    const std::vector<int> shown = checkedOrder(order, event.players.size());
    std::vector<int> position(event.players.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        position[shown[i]] = static_cast<int>(i);

    SwissPageState state;
    state.round = round;
    state.rounds = event.plannedRounds();
    state.players.reserve(shown.size());
    for (const int p : shown) {
        const SwissPlayer& player = event.players[p];
        state.players.push_back({player.name,
                                 player.reading,
                                 std::nullopt,
                                 std::nullopt,
                                 {},
                                 player.droppedFrom.has_value()});
    }
    for (const Seat& seat : seatsOf(event, round)) {
        SwissEntry& entry = state.players[position[seat.player]];
        entry.table = seat.table;
        if (seat.opponent) {
            entry.opponent = position[*seat.opponent];
            if (seat.result)
                entry.result = resultText(event.settings.match, *seat.result);
        }
    }

    const SwissEvent counted = throughCompleteRounds(event);
    state.standingsAfter = shownRound(counted);
    if (state.standingsAfter > 0) {
        for (const SwissStanding& line : standings(counted)) {
            state.standings.push_back({line.rank, position[line.player], line.matchPoints,
                                       std::to_string(line.wins) + "-" +
                                           std::to_string(line.losses) + "-" +
                                           std::to_string(line.draws),
                                       line.dropped});
        }
    }
    return state;
}

} // namespace velka::playerspage
