#include "timer/EventTimer.h"

#include "tests/support/ScopedTimeZone.h"
#include "tests/support/TestClock.h"
#include "tests/support/TestSeed.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace velka {
namespace {

using Colour = EventTimer::Colour;

using test::ScopedTimeZone;
using test::TestClock;

constexpr std::int64_t kJune1Tokyo0000 = 1717167600;   // 2024-06-01 00:00:00 +09:00
constexpr std::int64_t kAutumnBerlin0130 = 1729985400; // 2024-10-27 01:30 CEST, 23:30Z
constexpr std::int64_t kSpringBerlin0130 = 1711845000; // 2024-03-31 01:30 CET, 00:30Z

class EventTimerTest : public ::testing::Test {
protected:
    void SetUp() override { clock.time = kJune1Tokyo0000 + 10 * 3600; }
    std::optional<Message> start(const char* h, const char* m, const char* s)
    {
        timer.setHourText(h);
        timer.setMinuteText(m);
        timer.setSecondText(s);
        return timer.setCountingDown(true);
    }
    // Ticks at `offset` seconds after `from`; true when the tick announced the end.
    bool tickAt(std::int64_t from, std::int64_t offset)
    {
        clock.time = from + offset;
        return timer.TimerTick();
    }
    void expectDisplay(const std::string& text, Colour colour) const
    {
        EXPECT_EQ(timer.displayText(), text);
        EXPECT_EQ(timer.displayColour(), colour) << text;
    }

    ScopedTimeZone zone{"Asia/Tokyo"};
    TestClock clock;
    EventTimer timer{clock};
};

TEST_F(EventTimerTest, DesignState)
{
    EventTimer fresh(clock);
    EXPECT_FALSE(fresh.countingDown());
    EXPECT_EQ(fresh.hourText() + fresh.minuteText() + fresh.secondText(), "00500");
    EXPECT_EQ(fresh.displayText(), "00 : 00 : 00");
    EXPECT_EQ(EventTimer::rgb(fresh.displayColour()), (EventTimer::Rgb{255, 255, 255}));
}

struct ClockCase {
    const char* zone;
    std::int64_t instant;
    const char* shown;
};

class ClockMode : public EventTimerTest, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(ClockMode, ShowsTheLocalTimeOfDayInWhite)
{
    zone.set(GetParam().zone);
    clock.time = GetParam().instant;
    EXPECT_FALSE(timer.TimerTick());
    expectDisplay(GetParam().shown, Colour::White);
}

INSTANTIATE_TEST_SUITE_P(
    Instants, ClockMode,
    ::testing::Values(ClockCase{"Asia/Tokyo", kJune1Tokyo0000, "0 : 00 : 00"},
                      ClockCase{"Asia/Tokyo", kJune1Tokyo0000 + 9 * 3600 + 307, "9 : 05 : 07"},
                      ClockCase{"Asia/Tokyo", kJune1Tokyo0000 - 1, "23 : 59 : 59"},
                      ClockCase{"Asia/Tokyo", -1, "8 : 59 : 59"},
                      ClockCase{"UTC", kJune1Tokyo0000, "15 : 00 : 00"},
                      // 02:30 happens twice in Berlin on the autumn night.
                      ClockCase{"Europe/Berlin", kAutumnBerlin0130 + 3600, "2 : 30 : 00"},
                      ClockCase{"Europe/Berlin", kAutumnBerlin0130 + 7200, "2 : 30 : 00"}));

struct PeriodCase {
    const char* h;
    const char* m;
    const char* s;
    std::int64_t seconds; // 0 or less: ends at the first tick
    const char* first;    // the display at the start
    Colour colour;
};

void PrintTo(const PeriodCase& c, std::ostream* out)
{
    *out << '"' << c.h << "\" \"" << c.m << "\" \"" << c.s << '"';
}

class Period : public EventTimerTest, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(Period, StartsAtItsFullLengthAndEndsOnItsLastSecond)
{
    const PeriodCase& c = GetParam();
    const std::int64_t t0 = clock.time;
    ASSERT_FALSE(start(c.h, c.m, c.s));
    EXPECT_EQ(timer.countDownEnd(), t0 + c.seconds);
    if (c.seconds <= 0) {
        EXPECT_TRUE(tickAt(t0, 0));
        expectDisplay("0 : 00 : 00", Colour::Red);
        EXPECT_FALSE(timer.countingDown());
        return;
    }
    EXPECT_FALSE(tickAt(t0, 0));
    expectDisplay(c.first, c.colour);
    EXPECT_FALSE(tickAt(t0, c.seconds - 1));
    expectDisplay("0 : 00 : 01", Colour::Red);
    EXPECT_TRUE(tickAt(t0, c.seconds));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Period,
    ::testing::Values(PeriodCase{"0", "05", "00", 300, "0 : 05 : 00", Colour::Green},
                      PeriodCase{"1", "0", "30", 3630, "1 : 00 : 30", Colour::Red},
                      PeriodCase{"1.5", "0", "0", 5400, "1 : 30 : 00", Colour::Green},
                      PeriodCase{"0.1", "0", "0", 360, "0 : 06 : 00", Colour::Green},
                      PeriodCase{"0", "59.99", "0", 3599, "0 : 59 : 59", Colour::Green},
                      PeriodCase{"0", "0", "0.5", 1, "0 : 00 : 01", Colour::Red},
                      PeriodCase{"25", "0", "0", 90000, "25 : 00 : 00", Colour::Red},
                      PeriodCase{"24", "1", "0", 86460, "24 : 01 : 00", Colour::Green},
                      PeriodCase{" ０ ", "　５", "+0e1", 300, "0 : 05 : 00", Colour::Green},
                      PeriodCase{"0", "0", "0", 0, "", Colour::Red},
                      PeriodCase{"0", "-5", "0", -300, "", Colour::Red},
                      PeriodCase{"0", "0", "0.49", 0, "", Colour::Red}));

struct ColourCase {
    const char* h;
    const char* m;
    const char* s;
    std::int64_t after;
    const char* shown;
    Colour colour;
};

class ColourRule : public EventTimerTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(ColourRule, IsRedExactlyWhileTheMinutesPartIsZero)
{
    const ColourCase& c = GetParam();
    const std::int64_t t0 = clock.time;
    ASSERT_FALSE(start(c.h, c.m, c.s));
    EXPECT_FALSE(tickAt(t0, c.after));
    expectDisplay(c.shown, c.colour);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, ColourRule,
    ::testing::Values(ColourCase{"0", "5", "0", 240, "0 : 01 : 00", Colour::Green},
                      ColourCase{"0", "5", "0", 241, "0 : 00 : 59", Colour::Red},
                      ColourCase{"1", "0", "30", 30, "1 : 00 : 00", Colour::Red},
                      ColourCase{"1", "0", "30", 31, "0 : 59 : 59", Colour::Green},
                      ColourCase{"1", "0", "30", 3570, "0 : 01 : 00", Colour::Green},
                      ColourCase{"1", "0", "30", 3571, "0 : 00 : 59", Colour::Red}));

// Ticks in each second: the 100 ms timer gives about ten, a busy machine one, and a late tick
// can share its second with the next one.
class WholeCountdownTest : public EventTimerTest {
protected:
    // Counts down five minutes with ticksInASecond() ticks in every second: every second is shown
    // once, in order, then the end is announced once.
    void countDownWhole(const std::function<int()>& ticksInASecond)
    {
        std::vector<std::string> shown;
        const Subscription subscription = timer.subscribe([&](EventTimer::Part part) {
            if (part == EventTimer::Part::Display)
                shown.push_back(timer.displayText());
        });
        const std::int64_t t0 = clock.time;
        ASSERT_FALSE(start("0", "05", "00"));
        int announced = 0;
        for (std::int64_t second = 0; second <= 302; ++second) {
            const int ticks = ticksInASecond();
            for (int i = 0; i < ticks; ++i) {
                if (tickAt(t0, second)) {
                    ++announced;
                    EXPECT_EQ(second, 300);
                    expectDisplay("0 : 00 : 00", Colour::Red);
                    EXPECT_FALSE(timer.countingDown());
                }
            }
        }
        EXPECT_EQ(announced, 1);

        // Each value once, in order: the display is only told when it changes.
        std::vector<std::string> expected;
        for (int r = 300; r >= 1; --r)
            expected.push_back("0 : " + std::string(r / 60 < 10 ? "0" : "") +
                               std::to_string(r / 60) + " : " + (r % 60 < 10 ? "0" : "") +
                               std::to_string(r % 60));
        expected.push_back("0 : 00 : 00");
        ASSERT_GT(shown.size(), expected.size());
        EXPECT_EQ(std::vector(shown.begin(), shown.begin() + 301), expected);
        EXPECT_EQ(shown[301].substr(0, 9), "10 : 05 :") << "the clock again";
        EXPECT_EQ(shown.back(), "10 : 05 : 02");
    }
};

class WholeCountdown : public WholeCountdownTest, public ::testing::WithParamInterface<int> {};

TEST_P(WholeCountdown, ShowsEverySecondThenAnnouncesOnce)
{
    countDownWhole([] { return GetParam(); });
}

INSTANTIATE_TEST_SUITE_P(TicksASecond, WholeCountdown, ::testing::Values(10, 1, 2));

// One to ten ticks, drawn at random for every second.
class WholeCountdownAtRandom : public WholeCountdownTest,
                               public ::testing::WithParamInterface<test::TestSeed> {};

TEST_P(WholeCountdownAtRandom, ShowsEverySecondThenAnnouncesOnce)
{
    std::mt19937 random(test::announce(GetParam()));
    countDownWhole([&random] { return std::uniform_int_distribution<int>(1, 10)(random); });
}

INSTANTIATE_TEST_SUITE_P(Seeds, WholeCountdownAtRandom, ::testing::ValuesIn(test::testSeeds()),
                         test::seedName);

TEST_F(EventTimerTest, ATickAfterAStallEndsTheCountdownAndNothingAnnouncesTwice)
{
    const std::int64_t t0 = clock.time;
    ASSERT_FALSE(start("0", "05", "00"));
    EXPECT_FALSE(tickAt(t0, 0));
    EXPECT_TRUE(tickAt(t0, 305));
    expectDisplay("0 : 00 : 00", Colour::Red);
    EXPECT_FALSE(tickAt(t0, 305));
    expectDisplay("10 : 05 : 05", Colour::White);
    EXPECT_EQ(EventTimer::timeUpMessage(), (Message{"Velka Tablewright", "Time Up!!",
                                                    MessageIcon::Information, MessageButtons::Ok}));
}

TEST_F(EventTimerTest, CountdownRunsAcrossMidnight)
{
    const std::int64_t t0 = kJune1Tokyo0000 + 86400 - 60; // 23:59:00
    clock.time = t0;
    ASSERT_FALSE(start("0", "5", "0"));
    EXPECT_FALSE(tickAt(t0, 60));
    expectDisplay("0 : 04 : 00", Colour::Green);
    EXPECT_TRUE(tickAt(t0, 300));
    EXPECT_FALSE(tickAt(t0, 300));
    expectDisplay("0 : 04 : 00", Colour::White);
}

TEST_F(EventTimerTest, CharacterRestartsARunningCountdownWithTheInputsOfNow)
{
    const std::int64_t t0 = clock.time;
    EXPECT_FALSE(timer.TypeCharacter());
    EXPECT_EQ(timer.countDownEnd(), 0) << "an unchecked box starts nothing";

    ASSERT_FALSE(start("0", "05", "00"));
    timer.setMinuteText("10");
    EXPECT_FALSE(tickAt(t0, 100));
    expectDisplay("0 : 03 : 20", Colour::Green);
    EXPECT_EQ(timer.countDownEnd(), t0 + 300) << "edited inputs wait for the next start";

    EXPECT_FALSE(timer.TypeCharacter());
    EXPECT_FALSE(tickAt(t0, 100));
    expectDisplay("0 : 10 : 00", Colour::Green);
}

TEST_F(EventTimerTest, ClearingAbandonsAndCheckingAgainStartsOver)
{
    const std::int64_t t0 = clock.time;
    ASSERT_FALSE(start("0", "05", "00"));
    EXPECT_FALSE(tickAt(t0, 10));
    EXPECT_FALSE(timer.setCountingDown(false));
    EXPECT_EQ(timer.countDownEnd(), t0 + 300);
    EXPECT_FALSE(tickAt(t0, 20));
    expectDisplay("10 : 00 : 20", Colour::White);
    EXPECT_FALSE(timer.setCountingDown(true));
    EXPECT_FALSE(tickAt(t0, 20));
    expectDisplay("0 : 05 : 00", Colour::Green);
}

struct DstCase {
    const char* name;
    std::int64_t start;
    const char* hours;
    std::int64_t seconds;
    const char* halfway;
    const char* endsAt; // local time of day after the end
};

void PrintTo(const DstCase& c, std::ostream* out)
{
    *out << c.name;
}

class DaylightSaving : public EventTimerTest, public ::testing::WithParamInterface<DstCase> {};

TEST_P(DaylightSaving, ChangesNeitherTheLengthNorTheCountOfARound)
{
    const DstCase& c = GetParam();
    zone.set("Europe/Berlin");
    clock.time = c.start;
    ASSERT_FALSE(start(c.hours, "0", "0"));
    EXPECT_FALSE(tickAt(c.start, c.seconds / 2));
    EXPECT_EQ(timer.displayText(), c.halfway);
    // Even a new time zone in the middle of the round leaves it alone.
    zone.set("America/New_York");
    EXPECT_FALSE(tickAt(c.start, c.seconds - 1));
    EXPECT_EQ(timer.displayText(), "0 : 00 : 01");
    zone.set("Europe/Berlin");
    EXPECT_TRUE(tickAt(c.start, c.seconds));
    EXPECT_FALSE(tickAt(c.start, c.seconds));
    EXPECT_EQ(timer.displayText(), c.endsAt);
}

INSTANTIATE_TEST_SUITE_P(Berlin, DaylightSaving,
                         ::testing::Values(DstCase{"AutumnNight", kAutumnBerlin0130, "2", 7200,
                                                   "1 : 00 : 00", "2 : 30 : 00"},
                                           DstCase{"SpringNight", kSpringBerlin0130, "1", 3600,
                                                   "0 : 30 : 00", "3 : 30 : 00"}),
                         [](const auto& test) { return std::string(test.param.name); });

struct RefusalCase {
    const char* h;
    const char* m;
    const char* s;
    const char* text;
};

void PrintTo(const RefusalCase& c, std::ostream* out)
{
    *out << '"' << c.h << "\" \"" << c.m << "\" \"" << c.s << '"';
}

class Refusal : public EventTimerTest, public ::testing::WithParamInterface<RefusalCase> {};

const char* const kTooLong = "カウントダウンの時間が長すぎます。\r\n"
                             "時間・分・秒の数字を確かめてください。";

TEST_P(Refusal, LeavesTheBoxUncheckedAndSaysWhy)
{
    const RefusalCase& c = GetParam();
    std::vector<bool> flag;
    const Subscription subscription = timer.subscribe([&](EventTimer::Part part) {
        if (part == EventTimer::Part::CountingDown)
            flag.push_back(timer.countingDown());
    });
    EXPECT_EQ(start(c.h, c.m, c.s), errorMessage(c.text));
    EXPECT_FALSE(timer.countingDown());
    EXPECT_EQ(flag, (std::vector<bool>{true, false})) << "the window must clear its box again";
    EXPECT_EQ(timer.countDownEnd(), 0);
    EXPECT_FALSE(timer.TimerTick());
    EXPECT_EQ(timer.displayColour(), Colour::White);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Refusal,
    ::testing::Values(RefusalCase{"", "05", "00", "時間の欄には数字を入力してください。"},
                      RefusalCase{"5時間", "x", "00", "時間の欄には数字を入力してください。"},
                      RefusalCase{"0", "1 6", "00", "分の欄には数字を入力してください。"},
                      RefusalCase{"0", "05", "0x10", "秒の欄には数字を入力してください。"},
                      RefusalCase{"1e12", "0", "0", kTooLong},
                      RefusalCase{"-1e12", "0", "0", kTooLong},
                      RefusalCase{"0", "0", "1e15", kTooLong}));

TEST_F(EventTimerTest, EndsUpToTheLastRepresentableSecondAreAccepted)
{
    clock.time = EventTimer::kLatestEnd - 10;
    EXPECT_FALSE(start("0", "0", "10"));
    EXPECT_EQ(timer.countDownEnd(), EventTimer::kLatestEnd);
    EXPECT_FALSE(timer.setCountingDown(false));
    EXPECT_TRUE(start("0", "0", "11"));

    clock.time = EventTimer::kEarliestEnd + 10;
    EXPECT_FALSE(start("0", "0", "-10"));
    EXPECT_TRUE(timer.TimerTick());
    EXPECT_TRUE(start("0", "0", "-11"));
}

TEST_F(EventTimerTest, RefusedRestartKeepsTheRunningCountdown)
{
    const std::int64_t t0 = clock.time;
    ASSERT_FALSE(start("0", "05", "00"));
    timer.setSecondText("abc");
    EXPECT_EQ(timer.TypeCharacter(), errorMessage("秒の欄には数字を入力してください。"));
    EXPECT_TRUE(timer.countingDown());
    EXPECT_EQ(timer.countDownEnd(), t0 + 300);
}

} // namespace
} // namespace velka
