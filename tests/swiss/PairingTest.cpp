#include "core/TypedNumber.h"
#include "swiss/CompleteMatching.h"
#include "swiss/LemonMatching.h"
#include "swiss/SwissDraw.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TestSeed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

namespace velka {
namespace {

using test::TestSeed;

// What the rules weigh, in their order, counted here from the tables alone: repeated byes,
// rematches, earlier meetings, the bye's match points, pairs across points, squared gaps.
using Cost = std::array<int, 6>;

struct History {
    std::vector<int> points, byes;
    std::vector<std::vector<int>> met;
};

History historyBefore(const SwissEvent& e, int round)
{
    const std::size_t n = e.players.size();
    History h{std::vector<int>(n), std::vector<int>(n),
              std::vector<std::vector<int>>(n, std::vector<int>(n))};
    for (int r = 1; r < round; ++r) {
        for (const SwissTable& t : e.rounds[r - 1].tables) {
            const int a = t.result->gamesA, b = t.result->gamesB;
            h.points[t.playerA] += a > b ? 3 : a == b ? 1 : 0;
            if (t.bye()) {
                ++h.byes[t.playerA];
                continue;
            }
            h.points[*t.playerB] += b > a ? 3 : a == b ? 1 : 0;
            ++h.met[t.playerA][*t.playerB];
            ++h.met[*t.playerB][t.playerA];
        }
    }
    return h;
}

Cost costOf(const History& h, const std::vector<std::pair<int, int>>& pairs, int bye)
{
    Cost c{};
    if (bye >= 0)
        c = {h.byes[bye], 0, 0, h.points[bye], 0, 0};
    for (const auto& [a, b] : pairs) {
        const int gap = h.points[a] - h.points[b];
        c[1] += h.met[a][b] > 0;
        c[2] += h.met[a][b];
        c[4] += gap != 0;
        c[5] += gap * gap;
    }
    return c;
}

// The best cost over every perfect matching of the players (and a bye when odd).
void search(const History& h, std::vector<int>& left, std::vector<std::pair<int, int>>& pairs,
            int bye, Cost& best)
{
    if (left.empty()) {
        best = std::min(best, costOf(h, pairs, bye));
        return;
    }
    const int first = left.back();
    left.pop_back();
    if (left.size() % 2 == 0 && bye < 0)
        search(h, left, pairs, first, best);
    for (std::size_t i = 0; i < left.size(); ++i) {
        const int other = left[i];
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(i));
        pairs.emplace_back(first, other);
        search(h, left, pairs, bye, best);
        pairs.pop_back();
        left.insert(left.begin() + static_cast<std::ptrdiff_t>(i), other);
    }
    left.push_back(first);
}

// True when the players can be paired without a rematch, the bye going to one with the fewest
// byes; gives up (false) after `budget` steps.
bool rematchFree(const History& h, std::vector<int>& left, int fewestByes, int& budget)
{
    if (left.empty())
        return true;
    if (--budget < 0)
        return false;
    const int first = left.back();
    left.pop_back();
    bool found = false;
    if (left.size() % 2 == 0 && h.byes[first] == fewestByes)
        found = rematchFree(h, left, fewestByes, budget);
    for (std::size_t i = 0; i < left.size() && !found; ++i) {
        const int other = left[i];
        if (h.met[first][other] > 0)
            continue;
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(i));
        found = rematchFree(h, left, fewestByes, budget);
        left.insert(left.begin() + static_cast<std::ptrdiff_t>(i), other);
    }
    left.push_back(first);
    return found;
}

void checkRound(const SwissEvent& e, int round)
{
    SCOPED_TRACE("round " + std::to_string(round));
    ASSERT_EQ(swissEventFault(e), std::nullopt);
    const History h = historyBefore(e, round);
    std::vector<int> players, seen(e.players.size());
    std::vector<std::pair<int, int>> pairs;
    int bye = -1;
    for (const SwissTable& t : e.rounds[round - 1].tables) {
        ++seen[t.playerA];
        if (t.bye()) {
            bye = t.playerA;
        } else {
            ++seen[*t.playerB];
            pairs.emplace_back(t.playerA, *t.playerB);
            EXPECT_EQ(t.rematch, h.met[t.playerA][*t.playerB] > 0);
        }
    }
    for (int p = 0; p < static_cast<int>(e.players.size()); ++p) {
        EXPECT_EQ(seen[p], e.playsIn(p, round) ? 1 : 0) << "player " << p;
        if (e.playsIn(p, round))
            players.push_back(p);
    }
    EXPECT_EQ(bye >= 0, players.size() % 2 == 1);
    int fewestByes = 1 << 20;
    for (int p : players)
        fewestByes = std::min(fewestByes, h.byes[p]);
    if (bye >= 0) {
        EXPECT_EQ(h.byes[bye], fewestByes);
    }
    const Cost made = costOf(h, pairs, bye);
    if (round > 1 && players.size() <= 12) {
        Cost best;
        best.fill(1 << 30);
        std::vector<std::pair<int, int>> scratch;
        search(h, players, scratch, -1, best);
        EXPECT_EQ(made, best);
    } else if (round > 1) {
        int budget = 200000;
        if (rematchFree(h, players, fewestByes, budget)) {
            EXPECT_EQ(made[1], 0);
        }
    }
}

// Random events through SwissDraw: every round paired and checked, results at random, drops,
// late players, a round now and then paired again.
void walk(unsigned seed, int fewest, int most)
{
    std::mt19937 gen(seed);
    auto below = [&](int n) { return static_cast<int>(gen() % static_cast<unsigned>(n)); };
    test::ScriptedRandom random({}, gen());
    SwissDraw draw(random);
    const int n = fewest + below(most - fewest + 1);
    for (int p = 0; p < n; ++p)
        ASSERT_EQ(draw.addPlayer("P" + std::to_string(p)), std::nullopt);
    // Small fields get more rounds than players, to force rematches and second byes.
    const int rounds = std::min(kMaxSwissRounds, suggestedRounds(n) + below(n <= 12 ? n : 3));
    const auto format = below(2) ? MatchFormat::BestOfThree : MatchFormat::SingleGame;
    ASSERT_EQ(draw.setSettings({rounds, format, TiebreakerSet::OmwGwOgw, 0}), std::nullopt);
    for (int round = 1; round <= rounds; ++round) {
        const int someone = below(static_cast<int>(draw.event().players.size()));
        if (round > 1 && below(4) == 0 && !draw.event().players[someone].droppedFrom) {
            ASSERT_EQ(draw.dropPlayer(someone), std::nullopt);
        }
        if (round == 2 && below(2) == 0) {
            ASSERT_EQ(draw.addPlayer("Late"), std::nullopt);
        }
        if (const auto refusal = draw.pairNextRound()) {
            ASSERT_EQ(refusal->text, "組み合わせる参加者がいません。"); // everyone dropped
            return;
        }
        checkRound(draw.event(), round);
        if (below(5) == 0) {
            ASSERT_EQ(draw.pairRoundAgain(), std::nullopt);
            checkRound(draw.event(), round);
        }
        const auto& results = resultsFor(format);
        for (std::size_t t = 0; t < draw.event().rounds.back().tables.size(); ++t) {
            const MatchResult result = results[below(static_cast<int>(results.size()))];
            if (!draw.event().rounds.back().tables[t].bye()) {
                ASSERT_EQ(draw.setResult(static_cast<int>(t), result), std::nullopt);
            }
        }
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

class RandomEvents : public ::testing::TestWithParam<TestSeed> {};

TEST_P(RandomEvents, SmallFieldsPairAsWellAsExhaustiveSearch)
{
    std::mt19937 seeds(test::announce(GetParam()));
    for (int i = 0; i < 40 && !HasFatalFailure(); ++i)
        walk(seeds(), 4, 12);
}

TEST_P(RandomEvents, LargeFieldsPairEveryoneOnceWithoutAvoidableRematches)
{
    std::mt19937 seeds(test::announce(GetParam()));
    for (int i = 0; i < 12 && !HasFatalFailure(); ++i)
        walk(seeds(), 13, 64);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomEvents, ::testing::ValuesIn(test::testSeeds()),
                         test::seedName);

// The sparse solve with its dual check against the solver over every edge.
TEST(CompleteMatching, MatchesTheSolverOverEveryEdge)
{
    std::mt19937_64 gen(7);
    for (int n = 2; n <= 80; n += 6) {
        EdgeWeights weights(n);
        std::vector<WeightedEdge> all;
        for (int u = 0; u < n; ++u) {
            for (int v = u + 1; v < n; ++v) {
                const auto w = static_cast<std::int64_t>(gen() % 1000) << (gen() % 40);
                weights.set(u, v, w);
                all.push_back({u, v, w});
            }
        }
        std::vector<std::pair<int, int>> path;
        for (int v = 1; v < n; ++v)
            path.emplace_back(v - 1, v);
        auto total = [&](const std::vector<int>& mate) {
            Int128 sum = 0;
            for (int v = 0; v < n; ++v)
                sum += mate[v] > v ? weights.at(v, mate[v]) : 0;
            return sum;
        };
        const std::vector<int> mate = maxWeightCompleteMatching(weights, path);
        for (int v = 0; v < n; ++v)
            ASSERT_EQ(mate[mate[v]], v);
        EXPECT_TRUE(total(mate) == total(lemonPerfectMatching(n, all).mate)) << "n = " << n;
    }
}

} // namespace
} // namespace velka
