#include "swiss/Standings.h"

#include "swiss/SwissRecords.h"

#include <algorithm>
#include <climits>
#include <numeric>

namespace velka {

const std::vector<std::string>& tiebreakerNames(TiebreakerSet set)
{
    static const std::vector<std::string> omw{"OMW%", "GW%", "OGW%"};
    static const std::vector<std::string> owp{"OWP", "OOWP"};
    return set == TiebreakerSet::OmwGwOgw ? omw : owp;
}

namespace {

const Fraction kThirtyThreePercent(33, 100);
const Fraction kQuarter(1, 4);

// points / (3 x count), at least floor; the floor itself when count is 0.
Fraction percentage(int points, int count, const Fraction& floor)
{
    return count == 0 ? floor : maxOf(Fraction(points, 3 * Int128(count)), floor);
}

// The mean of value over the opponents, 0 without one.
template <typename Value>
Fraction opponentsMean(const PlayerRecord& record, Value value)
{
    if (record.opponents.empty())
        return Fraction();
    Fraction sum;
    for (int opponent : record.opponents)
        sum = sum + value(opponent);
    return sum.dividedBy(static_cast<Int128>(record.opponents.size()));
}

} // namespace

std::vector<SwissStanding> standings(const SwissEvent& event)
{
    const std::vector<PlayerRecord> records = playerRecords(event, INT_MAX);
    const std::size_t count = records.size();
    std::vector<SwissStanding> lines(count);
    std::vector<Fraction> mwp(count);
    std::vector<Fraction> gw(count);
    const bool omwSet = event.settings.tiebreakers == TiebreakerSet::OmwGwOgw;
    const Fraction& floor = omwSet ? kThirtyThreePercent : kQuarter;
    for (std::size_t p = 0; p < count; ++p) {
        mwp[p] = percentage(records[p].matchPoints, records[p].rounds, floor);
        gw[p] = percentage(records[p].gamePoints, records[p].games, kThirtyThreePercent);
    }
    std::vector<Fraction> owp(count);
    for (std::size_t p = 0; p < count; ++p)
        owp[p] = opponentsMean(records[p], [&](int o) { return mwp[o]; });
    for (std::size_t p = 0; p < count; ++p) {
        SwissStanding& line = lines[p];
        const PlayerRecord& r = records[p];
        line.player = static_cast<int>(p);
        line.matchPoints = r.matchPoints;
        line.wins = r.wins;
        line.losses = r.losses;
        line.draws = r.draws;
        line.dropped = event.players[p].droppedFrom.has_value();
        if (omwSet)
            line.tiebreakers = {owp[p], gw[p], opponentsMean(r, [&](int o) { return gw[o]; })};
        else
            line.tiebreakers = {owp[p], opponentsMean(r, [&](int o) { return owp[o]; })};
    }
    auto better = [](const SwissStanding& a, const SwissStanding& b) {
        if (a.matchPoints != b.matchPoints)
            return a.matchPoints > b.matchPoints;
        return std::lexicographical_compare(b.tiebreakers.begin(), b.tiebreakers.end(),
                                            a.tiebreakers.begin(), a.tiebreakers.end());
    };
    std::stable_sort(lines.begin(), lines.end(), better);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool tied = i > 0 && !better(lines[i - 1], lines[i]);
        lines[i].rank = tied ? lines[i - 1].rank : static_cast<int>(i) + 1;
    }
    return lines;
}

} // namespace velka
