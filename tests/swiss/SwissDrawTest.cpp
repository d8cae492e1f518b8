#include "swiss/SwissDraw.h"
#include "swiss/HallListing.h"
#include "swiss/SwissCsv.h"
#include "swiss/TopCut.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/swiss/HandEvent.h"

#include <gtest/gtest.h>

#include <functional>

namespace velka {
namespace {

using namespace test;

class SwissDrawTest : public ::testing::Test {
protected:
    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        for (const SwissPlayer& p : draw.event().players)
            all.push_back(p.name);
        return all;
    }
    // The names at each table of a round, as a check that survives renumbering.
    std::vector<std::string> tables(int round) const
    {
        std::vector<std::string> all;
        for (const SwissTable& t : draw.event().rounds.at(round - 1).tables)
            all.push_back(draw.event().players[t.playerA].name + "/" +
                          (t.playerB ? draw.event().players[*t.playerB].name : "bye"));
        return all;
    }
    void addFive()
    {
        for (const char* name : {"A", "B", "C", "D", "E"})
            ASSERT_EQ(draw.addPlayer(name), std::nullopt);
    }
    void enterAllResults()
    {
        for (std::size_t t = 0; t < draw.event().rounds.back().tables.size(); ++t) {
            if (!draw.event().rounds.back().tables[t].bye()) {
                ASSERT_EQ(draw.setResult(static_cast<int>(t), {2, 0, 0}), std::nullopt);
            }
        }
    }

    ScriptedRandom random;
    SwissDraw draw{random};
    int heard = 0;
    Subscription subscription = draw.subscribe([this] { ++heard; });
};

TEST_F(SwissDrawTest, NamesAreTrimmedUniqueAndAtMost256AllOrNothing)
{
    EXPECT_EQ(draw.addPlayers({{"  Ana ", " あな"}, {" \u3000", "x"}, {"\u3000Bob\t", ""}}),
              std::nullopt);
    EXPECT_EQ(names(), (std::vector<std::string>{"Ana", "Bob"}));
    EXPECT_EQ(draw.event().players[0].reading, "あな");
    const std::vector<std::vector<PlayerEntry>> refused = {
        {{"Ana ", ""}}, {{"Cy", ""}, {"Cy", ""}}, {{"Dee", ""}, {"Bob", ""}}};
    for (const auto& entries : refused) {
        const auto refusal = draw.addPlayers(entries);
        ASSERT_TRUE(refusal);
        EXPECT_NE(refusal->text.find("すでに参加者にいます"), std::string::npos);
    }
    EXPECT_TRUE(draw.renamePlayer(1, " Ana", ""));
    std::vector<PlayerEntry> many;
    for (int i = 0; i < 254; ++i)
        many.push_back({"P" + std::to_string(i), ""});
    many.push_back({"One too many", ""});
    const auto tooMany = draw.addPlayers(many);
    ASSERT_TRUE(tooMany);
    EXPECT_NE(tooMany->text.find("256人まで"), std::string::npos);
    EXPECT_EQ(names().size(), 2u);
    many.pop_back();
    EXPECT_EQ(draw.addPlayers(many), std::nullopt);
    EXPECT_TRUE(draw.addPlayer("Z"));
    EXPECT_EQ(heard, 2);
}

TEST_F(SwissDrawTest, LatePlayersJoinUntilRoundTwoAndDropsTakeEffectAtTheNextPairing)
{
    addFive();
    EXPECT_TRUE(draw.dropPlayer(0)); // before round 1: remove instead
    ASSERT_EQ(draw.pairNextRound(), std::nullopt);
    EXPECT_EQ(draw.event().settings.rounds, 3); // the suggestion for 5, written in
    EXPECT_TRUE(draw.setSettings({4, MatchFormat::SingleGame, TiebreakerSet::OwpOowp, 0}));
    ASSERT_EQ(draw.event().rounds[0].tables.size(), 3u);

    // A latecomer before any result is in joins round 1 when it is paired again.
    ASSERT_EQ(draw.addPlayer("Late"), std::nullopt);
    EXPECT_EQ(draw.event().players[5].firstRound, 2);
    ASSERT_EQ(draw.pairRoundAgain(), std::nullopt);
    EXPECT_EQ(draw.event().players[5].firstRound, 1);
    EXPECT_EQ(draw.event().rounds[0].tables.size(), 3u);
    EXPECT_FALSE(draw.event().rounds[0].tables.back().bye());

    // One after a result is in starts in round 2 with a loss for round 1.
    EXPECT_TRUE(draw.setResult(0, {3, 0, 0}));
    EXPECT_TRUE(draw.pairNextRound()); // results missing
    enterAllResults();
    EXPECT_TRUE(draw.pairRoundAgain());
    ASSERT_EQ(draw.addPlayer("Later"), std::nullopt);
    ASSERT_EQ(draw.dropPlayer(0), std::nullopt);
    EXPECT_EQ(draw.reinstatePlayer(0), std::nullopt);
    ASSERT_EQ(draw.dropPlayer(0), std::nullopt);
    EXPECT_TRUE(draw.removePlayer(1)); // in round 1
    ASSERT_EQ(draw.pairNextRound(), std::nullopt);
    EXPECT_FALSE(draw.event().playsIn(0, 2));
    EXPECT_TRUE(draw.event().playsIn(6, 2));
    EXPECT_TRUE(draw.reinstatePlayer(0)); // already left out of round 2
    EXPECT_TRUE(draw.addPlayer("Too late"));
    EXPECT_EQ(draw.event().rounds[1].tables.size(), 3u); // six: Late and Later in, A out
    EXPECT_EQ(swissEventFault(draw.event()), std::nullopt);
}

TEST_F(SwissDrawTest, ByeTablesAndUnknownResultsAreRefusedWithoutAChange)
{
    addFive();
    ASSERT_EQ(draw.pairNextRound(), std::nullopt);
    const SwissEvent before = draw.event();
    const int heardBefore = heard;
    EXPECT_TRUE(draw.setResult(2, {0, 2, 0})); // the bye
    EXPECT_TRUE(draw.clearResult(2));          // the bye
    EXPECT_TRUE(draw.setResult(0, {0, 0, 1})); // a drawn game is for 1本勝負
    EXPECT_TRUE(draw.setSettings({1, MatchFormat::BestOfThree, TiebreakerSet::OmwGwOgw, 0}));
    EXPECT_THROW(draw.setResult(3, {2, 0, 0}), std::out_of_range);
    EXPECT_EQ(draw.event(), before);
    EXPECT_EQ(heard, heardBefore);
}

TEST_F(SwissDrawTest, RemovingAPlayerInNoRoundKeepsEveryTable)
{
    addFive();
    ASSERT_EQ(draw.pairNextRound(), std::nullopt);
    ASSERT_EQ(draw.dropPlayer(0), std::nullopt);
    ASSERT_EQ(draw.pairRoundAgain(), std::nullopt); // A leaves round 1 altogether
    const std::vector<std::string> before = tables(1);
    ASSERT_EQ(draw.removePlayer(0), std::nullopt);
    EXPECT_EQ(names(), (std::vector<std::string>{"B", "C", "D", "E"}));
    EXPECT_EQ(tables(1), before);
}

TEST(SwissEventFault, RefusesWhatTheProgramCannotHaveMade)
{
    using Change = std::function<void(SwissEvent&)>;
    const std::vector<std::pair<Change, std::string>> cases = {
        {[](SwissEvent& e) { e.rounds[1].tables[0].playerB = Zoe; }, "二度組まれて"},
        {[](SwissEvent& e) { e.rounds[1].tables.pop_back(); }, "組まれていません"},
        {[](SwissEvent& e) { e.rounds[0].tables[0].playerB = 9; }, "いない参加者"},
        {[](SwissEvent& e) { e.players[Suzuki].droppedFrom = 2; }, "出ない「鈴木」"},
        {[](SwissEvent& e) { std::swap(e.rounds[0].tables[1], e.rounds[0].tables[2]); },
         "最後の卓ではありません"},
        {[](SwissEvent& e) { // "Ace" has the bye of round 1 too
             e.rounds[0].tables[1].playerB = Suzuki;
             e.rounds[0].tables[2].playerA = Ace;
         },
         "二度目の不戦勝"},
        {[](SwissEvent& e) { e.rounds[1].tables[1].result.reset(); }, "次の回戦があります"},
        {[](SwissEvent& e) {
             e.rounds[2].tables[0].result = MatchResult{3, 0, 0};
         },
         "3-0"},
        {[](SwissEvent& e) { e.rounds[2].tables[1].rematch = true; }, "再戦の印"},
        {[](SwissEvent& e) { e.players[Zoe].name = "Ana"; }, "二人います"},
        {[](SwissEvent& e) { e.players[Zoe].name = "Zoë "; }, "前後に空白"},
        {[](SwissEvent& e) { e.players[Zoe].firstRound = 3; }, "参加した回戦"},
        {[](SwissEvent& e) { e.settings.rounds = 2; }, "より多くの回戦"},
        {[](SwissEvent& e) { e.settings.topCut = 6; }, "決勝トーナメント"},
    };
    for (const auto& [change, expected] : cases) {
        SwissEvent event = handEvent();
        change(event);
        const auto fault = swissEventFault(event);
        ASSERT_TRUE(fault) << expected;
        EXPECT_NE(fault->find(expected), std::string::npos) << *fault;
    }
}

TEST(SwissCsv, PairingsAndStandingsAsSpreadsheetsReadThem)
{
    const SwissEvent event = handEvent();
    EXPECT_EQ(pairingsCsv(event, 3),
              "\xEF\xBB\xBF回戦,卓,選手1,勝ち点1,成績1,選手2,勝ち点2,成績2,結果,備考\r\n"
              "3,1,Ana,6,2-0-0,Zoë,3,1-1-0,1-2,\r\n"
              "3,2,'=1+1,3,1-1-0,\"山田, 太郎\",1,0-1-1,2-0,\r\n"
              "3,3,\"\"\"Ace\"\"\",1,0-1-1,,,,不戦勝,\r\n");
    EXPECT_EQ(standingsCsv(event),
              "\xEF\xBB\xBF順位,名前,ふりがな,勝ち点,勝,負,分,OMW%,GW%,OGW%,状態\r\n"
              "1,Ana,,6,2,1,0,61.11,62.50,59.52,\r\n"
              "2,Zoë,,6,2,1,0,49.83,57.14,47.75,\r\n"
              "3,'=1+1,,6,2,1,0,48.04,71.43,48.50,\r\n"
              "4,\"\"\"Ace\"\"\",,4,1,1,1,49.83,50.00,52.21,\r\n"
              "5,鈴木,,3,1,1,0,66.67,50.00,62.50,棄権\r\n"
              "6,\"山田, 太郎\",やまだ たろう,1,0,2,1,59.26,33.00,59.52,\r\n");
}

TEST(SwissCsv, PlayersFromTextAndCsv)
{
    using Entries = std::vector<PlayerEntry>;
    EXPECT_EQ(playersFromLines("  A \r\n\r\nB\nC\r\u3000\rD,e").players,
              (Entries{{"A", ""}, {"B", ""}, {"C", ""}, {"D,e", ""}}));
    const std::vector<std::pair<std::string, Entries>> csv = {
        {"名前,ふりがな\r\n山田,やまだ\r\n\r\n\"鈴木, 一郎\" ,すずき,extra\n",
         {{"山田", "やまだ"}, {"鈴木, 一郎", "すずき"}}},
        {"\xEF\xBB\xBFName\nAlice\n", {{"Alice", ""}}},
        {"Alice,アリス\r\nBob,", {{"Alice", "アリス"}, {"Bob", ""}}},
        {"\"A\"\"x\r\ny\",r\nsay \"hi\"", {{"A\"x\r\ny", "r"}, {"say \"hi\"", ""}}},
    };
    for (const auto& [text, entries] : csv)
        EXPECT_EQ(playersFromCsv(text).players, entries) << text;
    const PlayerReading broken = playersFromCsv("a\r\n\"b,\nc");
    EXPECT_TRUE(broken.players.empty());
    ASSERT_TRUE(broken.refusal);
    EXPECT_NE(broken.refusal->text.find("2行目"), std::string::npos);
}

TEST(TopCut, SeedsOneAndTwoMeetOnlyInTheFinal)
{
    EXPECT_EQ(seedingOrder(2), (std::vector<int>{1, 2}));
    EXPECT_EQ(seedingOrder(4), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_EQ(seedingOrder(8), (std::vector<int>{1, 8, 4, 5, 2, 7, 3, 6}));
    EXPECT_EQ(seedingOrder(16),
              (std::vector<int>{1, 16, 8, 9, 4, 13, 5, 12, 2, 15, 7, 10, 3, 14, 6, 11}));

    SwissEvent event = handEvent(); // a cut of 4; 鈴木 dropped
    const TopCutResult cut = topCut(event);
    ASSERT_TRUE(cut.cut);
    EXPECT_EQ(cut.cut->names, (std::vector<std::string>{"Ana", "\"Ace\"", "Zoë", "=1+1"}));
    EXPECT_FALSE(cut.cut->tieAtTheCut);
    const std::vector<std::function<void(SwissEvent&)>> refused = {
        [](SwissEvent& e) { e.settings.topCut = 0; },
        [](SwissEvent& e) { e.settings.topCut = 8; }, // five still in
        [](SwissEvent& e) { e.rounds[2].tables[0].result.reset(); },
        [](SwissEvent& e) { e.settings.rounds = 4; },
    };
    for (const auto& change : refused) {
        SwissEvent changed = handEvent();
        change(changed);
        EXPECT_TRUE(topCut(changed).refusal);
    }
}

TEST(HallListing, SeatsFromBothSidesAndStandingsBetweenRounds)
{
    SwissEvent event = handEvent();
    event.rounds[2].tables[0].result.reset(); // round 3 still being played
    const std::vector<Seat> expected = {
        {Ana, 1, Zoe, std::nullopt},        {Zoe, 1, Ana, std::nullopt},
        {Formula, 2, Yamada, {{2, 0, 0}}},  {Yamada, 2, Formula, {{0, 2, 0}}},
        {Ace, 3, std::nullopt, kByeResult},
    };
    EXPECT_EQ(shownRound(event), 3);
    EXPECT_EQ(seatsOf(event, 3), expected);
    EXPECT_TRUE(seatsOf(event, 0).empty());
    EXPECT_TRUE(seatsOf(event, 4).empty());

    const SwissEvent between = throughCompleteRounds(event);
    ASSERT_EQ(between.rounds.size(), 2U);
    EXPECT_EQ(between.rounds, std::vector(event.rounds.begin(), event.rounds.begin() + 2));
    EXPECT_EQ(throughCompleteRounds(handEvent()), handEvent());
}

} // namespace
} // namespace velka
