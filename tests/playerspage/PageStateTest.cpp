#include "playerspage/PageState.h"
#include "playerspage/PageSnapshot.h"

#include "bracket/BracketBoard.h"
#include "draw/Draw.h"
#include "draw/EntryList.h"
#include "tests/support/ScopedTimeZone.h"
#include "tests/support/ScriptedRandom.h"
#include "timer/EventTimer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace velka::playerspage {
namespace {

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

std::string nameOfSlot(int slot)
{
    return "選手" + std::to_string(slot + 1);
}

// A real draw of `fieldSize` with the names 選手1.. in slot order, then the boxes listed in
// `lost` ("1 3 17") unchecked: the tournament on the board.
Tournament drawnAndMarked(int fieldSize, bool seed, const std::string& lost = "")
{
    BracketBoard board;
    board.Load();
    EntryList entries;
    std::string typed;
    for (int slot = 0; slot < board::kSlotCount; ++slot)
        typed += nameOfSlot(slot) + "\r\n";
    addEntries(entries, typed);
    DrawSettings settings{std::to_string(fieldSize), seed, seed ? "シード選手" : ""};
    test::ScriptedRandom firstLeft(std::deque<double>(16, 0.0)); // always the first name left
    EXPECT_TRUE(drawField(settings, entries, board, firstLeft).drawn());
    board.ToggleProgress();
    std::istringstream boxes(lost);
    for (int box; boxes >> box;)
        board.setBoxChecked(box, false);
    return board.tournament();
}

// What a player's page says, in short: P<slot>@<round> playing that slot, W<slots>@<round>
// waiting for the winner among those slots, O<slot>@<round> out (beaten by that slot, "-" when
// nobody went on), C@<round> champion.
std::string said(const BracketState& state, const Player& p)
{
    const auto slot = [&](int player) { return std::to_string(state.players.at(player).slot); };
    const auto round = [&] {
        return "@" + (p.match >= 0 ? std::to_string(state.matches.at(p.match).round) : "?");
    };
    switch (p.status) {
    case PlayerStatus::Playing:
        return "P" + slot(p.opponent) + round();
    case PlayerStatus::Waiting: {
        std::string out = "W";
        for (std::size_t i = 0; i < p.waitingFor.size(); ++i)
            out += (i ? "," : "") + slot(p.waitingFor[i]);
        return out + round();
    }
    case PlayerStatus::Out:
        return "O" + (p.opponent >= 0 ? slot(p.opponent) : "-") + round();
    case PlayerStatus::Champion:
        return "C" + round();
    }
    return "?";
}

struct Marked {
    int fieldSize;
    bool seed;
    const char* lostBoxes; // unchecked after the draw: these lines are taken off
    int byes;              // matches without a lower side
    const char* expected;  // what each slot's page says, in slot order
};

void PrintTo(const Marked& m, std::ostream* out)
{
    *out << "a draw of " << m.fieldSize << (m.seed ? " with a seed" : "");
}

class PageStateFor : public ::testing::TestWithParam<Marked> {};

TEST_P(PageStateFor, ReadsTheBoardAsItShows)
{
    const Marked& row = GetParam();
    const std::optional<BracketState> state =
        bracketFrom(drawnAndMarked(row.fieldSize, row.seed, row.lostBoxes));
    ASSERT_TRUE(state);

    std::string seen;
    int champion = -1;
    for (std::size_t i = 0; i < state->players.size(); ++i) {
        const Player& p = state->players[i];
        const bool seed = row.seed && p.slot == row.fieldSize - 1;
        EXPECT_EQ(p.slot, static_cast<int>(i));
        EXPECT_EQ(p.name, seed ? "シード選手" : nameOfSlot(p.slot));
        EXPECT_EQ(p.seed, seed) << p.slot;
        seen += (i ? " " : "") + said(*state, p);
        champion = p.status == PlayerStatus::Champion ? static_cast<int>(i) : champion;
    }
    EXPECT_EQ(seen, row.expected);
    EXPECT_EQ(state->champion, champion);

    const std::vector<std::vector<std::string>> names = {{"決勝"},
                                                         {"準決勝", "決勝"},
                                                         {"1回戦", "準決勝", "決勝"},
                                                         {"1回戦", "2回戦", "準決勝", "決勝"}};
    std::size_t rounds = 1;
    while ((1 << rounds) < row.fieldSize)
        ++rounds;
    std::vector<std::string> roundNames;
    for (const Round& r : state->rounds)
        roundNames.push_back(r.name);
    EXPECT_EQ(roundNames, names[rounds - 1]);
    EXPECT_EQ(state->rounds.back().matches.size(), 1u);
    // The field has fieldSize - 1 real matches and the byes.
    int byes = 0;
    for (const Match& m : state->matches)
        byes += m.bye ? 1 : 0;
    EXPECT_EQ(byes, row.byes);
    EXPECT_EQ(static_cast<int>(state->matches.size()) - byes, row.fieldSize - 1);
}

// Lines: 0..15 beside the slots, 16 + c out of connector c. Byes: the last odd slot in round 1,
// and wherever a half of the board runs short later.
INSTANTIATE_TEST_SUITE_P(
    EveryFieldSize, PageStateFor,
    ::testing::Values(
        Marked{2, false, "1", 0, "C@1 O0@1"}, Marked{3, true, "0", 1, "O1@1 P2@2 P1@2"},
        Marked{4, false, "3", 0, "P1@1 P0@1 W0,1@2 O2@1"},
        Marked{5, false, "1 3 17", 2, "P4@3 O0@1 O0@2 O2@1 P0@3"},
        Marked{6, false, "4", 1, "P1@1 P0@1 P3@1 P2@1 O5@1 W0,1,2,3@3"},
        Marked{7, true, "0 2 16", 1, "O1@1 O3@2 O3@1 W4,5,6@3 P5@1 P4@1 W4,5@2"},
        Marked{8, false, "1 3 5 7 17 19 25", 0, "C@3 O0@1 O0@2 O2@1 O0@3 O4@1 O4@2 O6@1"},
        // Slot 8's own line taken off its bye: nobody goes on from there, so the final waits.
        Marked{9, false, "8", 3, "P1@1 P0@1 P3@1 P2@1 P5@1 P4@1 P7@1 P6@1 O-@1"},
        // Both lines of slots 2 and 3 taken off: nobody went on from their match.
        Marked{10, false, "9 2 3", 2,
               "P1@1 P0@1 O-@1 O-@1 P5@1 P4@1 P7@1 P6@1 W0,1,4,5,6,7@4 O8@1"},
        Marked{11, true, "8", 2, "P1@1 P0@1 P3@1 P2@1 P5@1 P4@1 P7@1 P6@1 O9@1 P10@2 P9@2"},
        Marked{12, false, "0 2 4 6 8 10 16 18 20 24", 1,
               "O1@1 O3@2 O3@1 O7@3 O5@1 O7@2 O7@1 P11@4 O9@1 O11@2 O11@1 P7@4"},
        // Slot 10 beaten in round 2 by whoever wins slots 8 and 9, not played yet.
        Marked{13, false, "11 21", 2,
               "P1@1 P0@1 P3@1 P2@1 P5@1 P4@1 P7@1 P6@1 P9@1 P8@1 O-@2 O10@1 W8,9@3"},
        Marked{14, false, "13 22", 1,
               "P1@1 P0@1 P3@1 P2@1 P5@1 P4@1 P7@1 P6@1 P9@1 P8@1 P11@1 P10@1 O-@2 O12@1"},
        Marked{
            15, true, "", 1,
            "P1@1 P0@1 P3@1 P2@1 P5@1 P4@1 P7@1 P6@1 P9@1 P8@1 P11@1 P10@1 P13@1 P12@1 W12,13@2"},
        Marked{16, false, "0 2 4 6 8 10 12 14 16 18 20 22 24 26 28", 0,
               "O1@1 O3@2 O3@1 O7@3 O5@1 O7@2 O7@1 O15@4 O9@1 O11@2 O11@1 O15@3 O13@1 O15@2 O15@1 "
               "C@4"}));

TEST(PageState, NothingBeforeTheFirstDraw)
{
    BracketBoard board;
    board.Load();
    Tournament t = board.tournament();
    EXPECT_FALSE(bracketFrom(t));
    // The board after a reset shows sixteen placeholders; a field size is what makes it a draw.
    t.fieldSize = 16;
    EXPECT_TRUE(bracketFrom(t));
}

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

// The laptop at 2023-11-14 22:13:20.250 UTC (07:13:20.250 in Tokyo), its timer loaded.
class PageClock : public ::testing::Test {
protected:
    static constexpr std::int64_t kStart = 1'700'000'000'250;
    void SetUp() override
    {
        system.ms = kStart;
        timer.Load();
    }

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
              nlohmann::json::parse(R"({"version":1,"clock":null,"bracket":null})"));
}

} // namespace
} // namespace velka::playerspage
