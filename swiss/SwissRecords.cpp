#include "swiss/SwissRecords.h"

#include <algorithm>

namespace velka {

int matchPointsOf(const MatchResult& result)
{
    if (result.gamesA > result.gamesB)
        return 3;
    return result.gamesA == result.gamesB ? 1 : 0;
}

namespace {

void count(PlayerRecord& record, const MatchResult& result)
{
    const int points = matchPointsOf(result);
    record.matchPoints += points;
    record.wins += points == 3 ? 1 : 0;
    record.draws += points == 1 ? 1 : 0;
    record.losses += points == 0 ? 1 : 0;
    record.gamePoints += 3 * result.gamesA + result.drawnGames;
    record.games += result.gamesA + result.gamesB + result.drawnGames;
    ++record.rounds;
}

} // namespace

std::vector<PlayerRecord> playerRecords(const SwissEvent& event, int throughRound)
{
    std::vector<PlayerRecord> records(event.players.size());
    const int last = std::min(throughRound, static_cast<int>(event.rounds.size()));
    for (std::size_t p = 0; p < event.players.size(); ++p) {
        const int missed = std::min(event.players[p].firstRound - 1, last);
        for (int r = 0; r < missed; ++r)
            count(records[p], kMissedRoundResult);
    }
    for (int r = 0; r < last; ++r) {
        for (const SwissTable& table : event.rounds[r].tables) {
            if (!table.result)
                continue;
            PlayerRecord& a = records.at(table.playerA);
            count(a, *table.result);
            if (table.bye()) {
                ++a.byes;
                continue;
            }
            PlayerRecord& b = records.at(*table.playerB);
            count(b, reversed(*table.result));
            a.opponents.push_back(*table.playerB);
            b.opponents.push_back(table.playerA);
        }
    }
    return records;
}

} // namespace velka
