#include "playerspage/PageState.h"
#include "playerspage/PageSnapshot.h"
#include "playerspage/SwissPageState.h"
#include "swiss/TopCut.h"

#include "tests/support/DrawnTournament.h"
#include "tests/support/ScopedTimeZone.h"
#include "timer/EventTimer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace velka::playerspage {
namespace {

using bracket::bracketFrom;
using test::drawnAndMarked;

// A clock with milliseconds that the test moves.
class MillisecondClock final : public Clock {
public:
    std::int64_t now() const override { return ms >= 0 ? ms / 1000 : (ms - 999) / 1000; }
    std::int64_t nowMilliseconds() const override { return ms; }
    std::int64_t ms = 0;
};

class TestMonotonic final : public MonotonicClock {
public:
    std::int64_t milliseconds() const override { return ms; }
    std::int64_t ms = 0;
};

// The document carries the bracket as derived, on one line (an event stream's data line cannot
// hold a line break), with the names kept as they are and serialised as text.
TEST(PageState, TheDocumentCarriesTheBracketAsDerived)
{
    Tournament t = drawnAndMarked(5, false, "1 3 17");
    t.names[0] = "<b>太字</b> & \"引用\"\n改行";
    t.names[1] = std::string("壊れた\xff\xfeUTF-8");
    const std::optional<BracketState> state = bracketFrom(t);
    const std::string text = PageSnapshot(PageState{state, ClockState{}}).json(0);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    const nlohmann::json b = nlohmann::json::parse(text)["bracket"];
    EXPECT_EQ(b["players"][0]["name"], "<b>太字</b> & \"引用\"\n改行");
    EXPECT_EQ(b["players"][1]["name"], "壊れた\uFFFD\uFFFDUTF-8");
    EXPECT_EQ(b["fieldSize"], 5);
    EXPECT_EQ(b["champion"], nullptr);
    ASSERT_EQ(b["matches"].size(), state->matches.size());
    // The final: slot 0 against slot 4, who came through two byes.
    const nlohmann::json& final = b["matches"][b["rounds"][2]["matches"][0].get<int>()];
    EXPECT_EQ(final["result"], "pending");
    EXPECT_EQ(b["players"][final["upper"]["player"].get<int>()]["slot"], 0);
    EXPECT_EQ(b["players"][final["lower"]["player"].get<int>()]["slot"], 4);
    EXPECT_EQ(final["next"], nullptr);
    const nlohmann::json& bye = b["matches"][b["rounds"][1]["matches"][1].get<int>()];
    EXPECT_TRUE(bye["bye"]);
    EXPECT_EQ(bye["lower"], nlohmann::json::object());
    EXPECT_EQ(b["players"][4]["status"], "playing");
    EXPECT_EQ(b["players"][2]["status"], "out");
    EXPECT_EQ(b["players"][2]["opponent"], 0);
}

// The laptop at 2023-11-14 22:13:20.250 UTC (07:13:20.250 in Tokyo), its timer as designed.
class PageClock : public ::testing::Test {
protected:
    static constexpr std::int64_t kStart = 1'700'000'000'250;
    void SetUp() override { system.ms = kStart; }

    test::ScopedTimeZone tokyo{"Asia/Tokyo"};
    MillisecondClock system;
    TestMonotonic steady;
    EventTimer timer{system};
};

// The projector shows the countdown's whole seconds from the system clock at its 100 ms tick;
// the page shows ceil(msLeft / 1000). Both must be the same second at every instant, also once
// the server has brought the reading forward on the monotonic clock.
TEST_F(PageClock, ShowsTheProjectorsSecondAtEveryInstant)
{
    steady.ms = 5'000;
    timer.setMinuteText("5");
    ASSERT_FALSE(timer.setCountingDown(true));
    const ClockState read = readClock(&timer, false, system, steady);
    EXPECT_EQ(read.mode, ClockMode::Countdown);
    EXPECT_EQ(read.countDownEnd, timer.countDownEnd());

    for (const std::int64_t after :
         {0, 1, 749, 750, 751, 999, 1'750, 59'749, 59'750, 240'749, 240'750, 299'749}) {
        system.ms = kStart + after;
        timer.TimerTick();
        int h = 0, m = 0, s = 0;
        ASSERT_EQ(std::sscanf(timer.displayText().c_str(), "%d : %d : %d", &h, &m, &s), 3);
        const ClockState later = clockAt(read, steady.ms + after);
        EXPECT_EQ((later.msLeft + 999) / 1000, h * 3600 + m * 60 + s) << after << " ms later";
    }
}

TEST_F(PageClock, ReadsTheTimersMode)
{
    struct Case {
        const char* what;
        bool timerOpen;
        bool countingDown;
        bool timeUpShown;
        ClockMode mode;
    };
    steady.ms = 42;
    for (const Case& c :
         {Case{"timer closed", false, false, false, ClockMode::TimeOfDay},
          Case{"timer closed, box left over", false, false, true, ClockMode::TimeOfDay},
          Case{"clock mode", true, false, false, ClockMode::TimeOfDay},
          Case{"Time Up!! box open", true, false, true, ClockMode::TimeUp},
          Case{"counting down", true, true, false, ClockMode::Countdown}}) {
        if (c.countingDown) {
            ASSERT_FALSE(timer.setCountingDown(true));
        }
        const ClockState state =
            readClock(c.timerOpen ? &timer : nullptr, c.timeUpShown, system, steady);
        EXPECT_EQ(state.mode, c.mode) << c.what;
        EXPECT_EQ(state.measuredAt, 42) << c.what;
        EXPECT_EQ(state.timeOfDayMs, (7 * 3600 + 13 * 60 + 20) * 1000 + 250) << c.what;
        EXPECT_EQ(state.msLeft, c.mode == ClockMode::Countdown ? 5 * 60 * 1000 - 250 : 0) << c.what;
        // Across midnight, the time of day wraps.
        EXPECT_EQ(clockAt(state, 42 + 17 * 3600 * 1000).timeOfDayMs, (13 * 60 + 20) * 1000 + 250)
            << c.what;
    }
}

TEST(PageSnapshot, TheTagFollowsTheContentNotTheRunningClock)
{
    const Tournament t = drawnAndMarked(6, false);
    ClockState clock;
    clock.mode = ClockMode::Countdown;
    clock.countDownEnd = 1000;
    clock.msLeft = 60'000;
    const PageSnapshot a(PageState{bracketFrom(t), clock});
    EXPECT_EQ(PageSnapshot(PageState{bracketFrom(t), clockAt(clock, 7'000)}).etag(), a.etag());

    ClockState restarted = clock;
    restarted.countDownEnd = 1300;
    for (const PageSnapshot& other :
         {PageSnapshot(PageState{bracketFrom(t), restarted}),
          PageSnapshot(PageState{bracketFrom(t), ClockState{}}),
          PageSnapshot(PageState{bracketFrom(drawnAndMarked(6, false, "3")), clock}),
          PageSnapshot()}) {
        EXPECT_NE(other.etag(), a.etag());
    }

    // Before anything is known. (How a snapshot counts on when sent later is checked through
    // the server, on /state and in the heartbeat.)
    EXPECT_EQ(nlohmann::json::parse(PageSnapshot().json(0)),
              nlohmann::json::parse(R"({"version":1,"clock":null,"bracket":null,"swiss":null})"));
}

// Five players in 2本先取 over three rounds with a top cut of two; the third entered drops
// after round 1 is paired. `rounds` rounds are paired and `results` results are in (the byes'
// count).
SwissEvent swissEvent(int rounds, int results)
{
    SwissEvent e;
    e.settings = {3, MatchFormat::BestOfThree, TiebreakerSet::OmwGwOgw, 2};
    e.players = {{"<b>太字</b>", "ふとじ", 1, {}},
                 {"\u202eMallory", "", 1, {}},
                 {"壊れた\xff", "", 1, 2},
                 {"山田\"太郎\" & 花子", "やまだ", 1, {}},
                 {"Zoë", "ぞえ", 1, {}}};
    const std::vector<std::vector<SwissTable>> all = {
        {{0, 1, MatchResult{2, 1, 0}}, {2, 3, MatchResult{0, 2, 0}}, {4, std::nullopt, kByeResult}},
        {{0, 3, MatchResult{1, 2, 0}}, {4, 1, MatchResult{2, 0, 0}}},
        {{0, 4, MatchResult{2, 0, 0}}, {3, 1, MatchResult{2, 1, 0}}}};
    for (int r = 0; r < rounds; ++r)
        e.rounds.push_back({all[r]});
    if (rounds == 0)
        e.players[2].droppedFrom.reset(); // nobody drops before the first round
    for (SwissRound& round : e.rounds) {
        for (SwissTable& table : round.tables) {
            if (!table.bye() && results-- <= 0)
                table.result.reset();
        }
    }
    EXPECT_EQ(swissEventFault(e), std::nullopt);
    return e;
}

// The page shows the Swiss event from its first paired round until its top cut is on the board,
// read from the two values a tournament file keeps.
TEST(SwissPage, ShowsTheEventUntilItsTopCutIsOnTheBoard)
{
    const SwissEvent finished = swissEvent(3, 6);
    Tournament cut;
    cut.fieldSize = 2;
    const std::vector<std::string> seated = topCut(finished).cut.value().names;
    std::copy(seated.begin(), seated.end(), cut.names.begin());
    Tournament renamed = cut;
    renamed.names[1] = "別の人";
    Tournament reset = cut;
    reset.fieldSize = 0;
    SwissEvent noCut = finished;
    noCut.settings.topCut = 0;

    struct Case {
        const char* what = "";
        SwissEvent event;
        Tournament board;
        std::optional<int> round; // none: the bracket
        int standingsAfter = 0;
    };
    const Tournament older = drawnAndMarked(6, false, "1");
    for (const Case& c : {
             Case{"players entered, none paired", swissEvent(0, 0), older, std::nullopt, 0},
             Case{"round 1 paired", swissEvent(1, 0), older, 1, 0},
             Case{"round 2 with a result to come", swissEvent(2, 3), older, 2, 1},
             Case{"the last round complete", finished, older, 3, 3},
             Case{"the top cut on the board", finished, cut, std::nullopt, 0},
             Case{"another field of two on the board", finished, renamed, 3, 3},
             Case{"the board reset after the cut", finished, reset, 3, 3},
             Case{"no top cut", noCut, cut, 3, 3},
         }) {
        const std::optional<SwissPageState> state = swissPageState(c.event, c.board, {});
        ASSERT_EQ(state.has_value(), c.round.has_value()) << c.what;
        EXPECT_EQ(topCutOnBoard(c.event, c.board), !c.round && !c.event.rounds.empty()) << c.what;
        if (!state)
            continue;
        EXPECT_EQ(state->round, *c.round) << c.what;
        EXPECT_EQ(state->rounds, 3) << c.what;
        EXPECT_EQ(state->standingsAfter, c.standingsAfter) << c.what;
        EXPECT_EQ(state->standings.size(), c.standingsAfter ? 5u : 0u) << c.what;
    }
}

// In round 2 with one result in: each player's seat from their own side, in the order given, the
// names as text in one line of JSON, and the standings after round 1.
TEST(SwissPage, TheDocumentCarriesEachPlayersSeatInTheOrderGiven)
{
    const SwissEvent event = swissEvent(2, 3);
    const std::optional<SwissPageState> state =
        swissPageState(event, Tournament{}, {4, 2, 0, 3, 1});
    ASSERT_TRUE(state);
    const std::string text = PageSnapshot(PageState{std::nullopt, ClockState{}, state}).json(0);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    const nlohmann::json doc = nlohmann::json::parse(text);
    EXPECT_EQ(doc["bracket"], nullptr);
    const nlohmann::json& s = doc["swiss"];
    EXPECT_EQ(s["round"], 2);
    EXPECT_EQ(s["rounds"], 3);
    // What is false, empty or none is left out.
    EXPECT_EQ(s["players"], nlohmann::json::parse(R"([
        {"name": "Zoë", "reading": "ぞえ", "table": 2, "opponent": 4},
        {"name": "壊れた\uFFFD", "dropped": true},
        {"name": "<b>太字</b>", "reading": "ふとじ", "table": 1, "opponent": 3, "result": "1-2"},
        {"name": "山田\"太郎\" & 花子", "reading": "やまだ", "table": 1, "opponent": 2, "result": "2-1"},
        {"name": "\u202eMallory", "table": 2, "opponent": 0}])"));
    // After round 1: three winners on 3 points (the bye among them), two losers on 0.
    EXPECT_EQ(s["standingsAfter"], 1);
    std::map<std::string, std::tuple<int, std::string, bool>> lines;
    for (const nlohmann::json& line : s["standings"])
        lines[s["players"][line["player"].get<int>()]["name"]] = {line["points"], line["record"],
                                                                  line.value("dropped", false)};
    EXPECT_EQ(lines, (std::map<std::string, std::tuple<int, std::string, bool>>{
                         {"Zoë", {3, "1-0-0", false}},
                         {"壊れた\uFFFD", {0, "0-1-0", true}},
                         {"<b>太字</b>", {3, "1-0-0", false}},
                         {"山田\"太郎\" & 花子", {3, "1-0-0", false}},
                         {"\u202eMallory", {0, "0-1-0", false}}}));

    // An order that does not name every player once is not followed; a bye has a table and no
    // opponent; a result entered changes the tag.
    const std::optional<SwissPageState> entered =
        swissPageState(event, Tournament{}, {4, 4, 0, 3, 1});
    EXPECT_EQ(entered->players[0].name, "<b>太字</b>");
    const SwissPageState round1 = swissPageState(swissEvent(1, 2), Tournament{}, {}).value();
    EXPECT_EQ(round1.players[4].table, 3);
    EXPECT_EQ(round1.players[4].opponent, std::nullopt);
    EXPECT_EQ(round1.players[4].result, "");
    EXPECT_NE(
        PageSnapshot(PageState{std::nullopt, ClockState{},
                               swissPageState(swissEvent(2, 4), Tournament{}, {})})
            .etag(),
        PageSnapshot(PageState{std::nullopt, ClockState{}, swissPageState(event, Tournament{}, {})})
            .etag());
}

} // namespace
} // namespace velka::playerspage
