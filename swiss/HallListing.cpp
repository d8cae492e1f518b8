#include "swiss/HallListing.h"

namespace velka {

int shownRound(const SwissEvent& event)
{
    return static_cast<int>(event.rounds.size());
}

std::vector<Seat> seatsOf(const SwissEvent& event, int round)
{
    std::vector<Seat> seats;
    if (round < 1 || round > static_cast<int>(event.rounds.size()))
        return seats;
    const std::vector<SwissTable>& tables = event.rounds[round - 1].tables;
    seats.reserve(2 * tables.size());
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const SwissTable& table = tables[t];
        const int number = static_cast<int>(t) + 1;
        seats.push_back({table.playerA, number, table.playerB, table.result});
        if (table.playerB) {
            std::optional<MatchResult> theirs;
            if (table.result)
                theirs = reversed(*table.result);
            seats.push_back({*table.playerB, number, table.playerA, theirs});
        }
    }
    return seats;
}

SwissEvent throughCompleteRounds(const SwissEvent& event)
{
    SwissEvent through = event;
    while (!through.rounds.empty() && !through.rounds.back().complete())
        through.rounds.pop_back();
    return through;
}

} // namespace velka
