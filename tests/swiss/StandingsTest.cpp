#include "swiss/Standings.h"
#include "tests/swiss/HandEvent.h"

#include <gtest/gtest.h>

namespace velka {
namespace {

using namespace test;
using F = Fraction;

struct Expected {
    int player;
    int rank;
    int points, wins, losses, draws;
    std::vector<Fraction> tiebreakers;
};

// Worked by hand from the table in HandEvent.h, not from the code. Records (rounds, games):
//   Ana    W 2-1, W 2-0, L 1-2       6 pts/3 rounds, 15 game pts/8 games, opp =1+1 鈴木 Zoë
//   =1+1   L 1-2, W 2-0, W 2-0       6/3, 15/7,  opp Ana "Ace" 山田
//   山田   D 1-1, L 0-2, L 0-2       1/3,  3/6,  opp "Ace" Zoë =1+1
//   "Ace"  D 1-1, L 0-2, bye 2-0     4/3,  9/6,  opp 山田 =1+1
//   鈴木   bye 2-0, L 0-2, dropped   3/2,  6/4,  opp Ana
//   Zoë    missed 0-2, W 2-0, W 2-1  6/3, 12/7,  opp 山田 Ana
// MWP: Ana 2/3, =1+1 2/3, 山田 1/9 (floored: 33/100 or 1/4), "Ace" 4/9, 鈴木 1/2, Zoë 2/3.
// GW:  Ana 5/8, =1+1 5/7, 山田 1/6 -> 33/100, "Ace" 1/2, 鈴木 1/2, Zoë 4/7.
// OMW% =1+1: (2/3 + 4/9 + 33/100) / 3 = 1297/2700; OGW% "Ace": (33/100 + 5/7) / 2 = 731/1400.
// OWP =1+1: (2/3 + 4/9 + 1/4) / 3 = 49/108; OOWP Ana: (49/108 + 2/3 + 11/24) / 3 = 341/648.
const std::vector<Expected> kOmwSet = {
    {Ana, 1, 6, 2, 1, 0, {F(11, 18), F(5, 8), F(25, 42)}},
    {Zoe, 2, 6, 2, 1, 0, {F(299, 600), F(4, 7), F(191, 400)}},
    {Formula, 3, 6, 2, 1, 0, {F(1297, 2700), F(5, 7), F(97, 200)}},
    {Ace, 4, 4, 1, 1, 1, {F(299, 600), F(1, 2), F(731, 1400)}},
    {Suzuki, 5, 3, 1, 1, 0, {F(2, 3), F(1, 2), F(5, 8)}},
    {Yamada, 6, 1, 0, 2, 1, {F(16, 27), F(33, 100), F(25, 42)}},
};
const std::vector<Expected> kOwpSet = {
    {Ana, 1, 6, 2, 1, 0, {F(11, 18), F(341, 648)}},
    {Zoe, 2, 6, 2, 1, 0, {F(11, 24), F(65, 108)}},
    {Formula, 3, 6, 2, 1, 0, {F(49, 108), F(359, 648)}},
    {Ace, 4, 4, 1, 1, 1, {F(11, 24), F(113, 216)}},
    {Suzuki, 5, 3, 1, 1, 0, {F(2, 3), F(11, 18)}},
    {Yamada, 6, 1, 0, 2, 1, {F(16, 27), F(37, 81)}},
};

TEST(Standings, HandWorkedTiebreakersOfBothSets)
{
    SwissEvent event = handEvent();
    ASSERT_EQ(swissEventFault(event), std::nullopt);
    for (const auto set : {TiebreakerSet::OmwGwOgw, TiebreakerSet::OwpOowp}) {
        event.settings.tiebreakers = set;
        const auto& expected = set == TiebreakerSet::OmwGwOgw ? kOmwSet : kOwpSet;
        const std::vector<SwissStanding> lines = standings(event);
        ASSERT_EQ(lines.size(), expected.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Expected& e = expected[i];
            EXPECT_EQ(lines[i], (SwissStanding{e.rank, e.player, e.points, e.wins, e.losses,
                                               e.draws, e.tiebreakers, e.player == Suzuki}))
                << "line " << i;
        }
    }
}

TEST(Standings, PlayersEqualOnEverythingShareARank)
{
    SwissEvent event;
    event.settings.rounds = 2;
    event.players = {{"A", "", 1, {}}, {"B", "", 1, {}}, {"C", "", 1, {}}, {"D", "", 1, {}}};
    event.rounds = {{{{0, 1, MatchResult{1, 1, 0}, false}, {2, 3, MatchResult{1, 1, 0}, false}}}};
    std::vector<int> ranks;
    for (const SwissStanding& line : standings(event))
        ranks.push_back(line.rank);
    EXPECT_EQ(ranks, (std::vector<int>{1, 1, 1, 1}));
}

TEST(Fraction, ComparesExactlyWhereCrossProductsOverflow)
{
    const Int128 big = Int128(1'000'000'000'000'000) * 1'000'000'000'000'000; // 10^30
    EXPECT_LT(F(big + 1, big), F(big, big - 1));
    EXPECT_GT(F(big - 1, big), F(big - 2, big - 1));
    EXPECT_EQ(F(2 * big, 4 * big), F(1, 2));
    EXPECT_LT(F(-1, 3), F(1, 1000));
    EXPECT_LT(F(-1, 2), F(-1, 3));
    EXPECT_EQ(F(1, 3) + F(1, 6), F(1, 2));
    EXPECT_EQ(F(5, 3).dividedBy(10), F(1, 6));
    const Int128 huge = Int128(1) << 100;
    EXPECT_THROW(F(1, huge) + F(1, huge - 1), std::overflow_error);
}

TEST(Fraction, PercentTextRoundsHalfUpToTwoDecimals)
{
    const std::vector<std::pair<Fraction, std::string>> cases = {
        {F(2, 3), "66.67"},    {F(33, 100), "33.00"}, {F(1297, 2700), "48.04"},
        {F(1, 800), "0.13"},   {F(1, 1), "100.00"},   {F(0, 1), "0.00"},
        {F(1, 30000), "0.00"}, {F(1, 20000), "0.01"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(value.percentText(), text);
}

} // namespace
} // namespace velka
