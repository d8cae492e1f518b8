#include "playerspage/PageState.h"
#include "playerspage/PageSnapshot.h"

#include "tests/support/DrawnTournament.h"
#include "tests/support/ScopedTimeZone.h"
#include "timer/EventTimer.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <optional>
#include <string>

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
              nlohmann::json::parse(R"({"version":1,"clock":null,"bracket":null})"));
}

} // namespace
} // namespace velka::playerspage
