#include "swiss/TopCut.h"

#include "swiss/Standings.h"

#include <stdexcept>

namespace velka {

std::vector<int> seedingOrder(int size)
{
    if (size != 2 && size != 4 && size != 8 && size != 16)
        throw std::invalid_argument("a top cut of 2, 4, 8 or 16");
    std::vector<int> order{1};
    for (int n = 2; n <= size; n *= 2) {
        std::vector<int> next;
        for (int seed : order) {
            next.push_back(seed);
            next.push_back(n + 1 - seed);
        }
        order = std::move(next);
    }
    return order;
}

TopCutResult topCut(const SwissEvent& event)
{
    const int size = event.settings.topCut;
    if (size == 0)
        return {std::nullopt, errorMessage("この大会には決勝トーナメントがありません。")};
    const int planned = event.plannedRounds();
    if (static_cast<int>(event.rounds.size()) < planned ||
        (!event.rounds.empty() && !event.rounds.back().complete()))
        return {std::nullopt, errorMessage("決勝トーナメントは全" + std::to_string(planned) +
                                           "回戦の結果がそろってから作れます。")};
    std::vector<SwissStanding> qualified;
    std::optional<SwissStanding> firstLeftOut;
    for (const SwissStanding& line : standings(event)) {
        if (line.dropped)
            continue;
        if (static_cast<int>(qualified.size()) < size)
            qualified.push_back(line);
        else if (!firstLeftOut)
            firstLeftOut = line;
    }
    if (static_cast<int>(qualified.size()) < size)
        return {std::nullopt,
                errorMessage("棄権していない参加者が" + std::to_string(size) + "人に足りません。")};
    TopCut cut;
    for (int seed : seedingOrder(size))
        cut.names.push_back(event.players[qualified[seed - 1].player].name);
    cut.tieAtTheCut = firstLeftOut && firstLeftOut->rank == qualified.back().rank;
    return {cut, std::nullopt};
}

} // namespace velka
