#include "timer/EventTimer.h"

#include "tests/support/ScopedTimeZone.h"
#include "tests/support/TestClock.h"
#include "tests/support/TestSeed.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <optional>
#include <random>
#include <string>

namespace velka {
namespace {

// Two days of a timer left running on the test clock. The 100 ms ticks come as a busy machine
// delivers them: ten a second, fewer, none for a while, late ones that share a second, doubled
// ones; the system clock is stepped back and forth now and then. One countdown follows another,
// each of a random length; some are abandoned, some restarted by a typed character. Every
// countdown that runs to its end announces exactly once, at or after its end, never before.
class EventTimerSoak : public ::testing::TestWithParam<test::TestSeed> {};

TEST_P(EventTimerSoak, FortyEightHoursOfCountdownsAnnounceEachEndExactlyOnce)
{
    const test::ScopedTimeZone zone("Europe/Berlin");
    std::mt19937_64 random(test::announce(GetParam()));
    const auto chance = [&](double p) { return std::bernoulli_distribution(p)(random); };
    const auto between = [&](std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(random);
    };

    test::TestClock clock;
    clock.time = 1'729'900'000; // two days that take in the end of summer time in Berlin
    EventTimer timer(clock);

    // The countdown as this test knows it: its end by the test's own arithmetic.
    std::optional<std::int64_t> expectedEnd;
    bool announcedSinceStart = false;
    std::int64_t idleUntil = clock.time;
    int countdowns = 0, finished = 0, abandoned = 0, restarted = 0, announcements = 0;
    long long ticks = 0;

    const auto startCountdown = [&] {
        const std::int64_t h = chance(0.05) ? 1 : 0;
        const std::int64_t m = between(0, 19);
        const std::int64_t s = between(0, 59);
        timer.setHourText(std::to_string(h));
        timer.setMinuteText(std::to_string(m));
        timer.setSecondText(std::to_string(s));
        const bool restart = timer.countingDown();
        const std::optional<Message> refusal =
            restart ? timer.TypeCharacter() : timer.setCountingDown(true);
        ASSERT_FALSE(refusal) << refusal->text;
        ASSERT_TRUE(timer.countingDown());
        expectedEnd = clock.time + h * 3600 + m * 60 + s;
        ASSERT_EQ(timer.countDownEnd(), *expectedEnd);
        announcedSinceStart = false;
        ++(restart ? restarted : countdowns);
    };

    const std::int64_t stop = clock.time + 48 * 3600;
    while (clock.time < stop) {
        // The clock moves on: usually a second, sometimes a stall of up to a minute, sometimes
        // a step of the system clock either way.
        if (chance(0.0005))
            clock.time += between(-3600, 3600);
        else if (chance(0.002))
            clock.time += between(2, 60);
        else
            clock.time += 1;

        // A restart while counting down comes by a chance of its own, after the abandonment's.
        if (!timer.countingDown() && clock.time >= idleUntil && !expectedEnd)
            startCountdown(); // NOLINT(bugprone-branch-clone)
        else if (timer.countingDown() && chance(0.0001)) {
            ASSERT_FALSE(timer.setCountingDown(false));
            expectedEnd.reset();
            ++abandoned;
        } else if (timer.countingDown() && chance(0.0001))
            startCountdown();

        // A tick missing now and then, several in the same second, a doubled one.
        const int n = chance(0.05) ? 0 : static_cast<int>(between(1, 10)) + (chance(0.01) ? 1 : 0);
        for (int i = 0; i < n; ++i) {
            const bool wasCounting = timer.countingDown();
            const bool announced = timer.TimerTick();
            ++ticks;
            if (announced) {
                ++announcements;
                ASSERT_TRUE(wasCounting);
                ASSERT_TRUE(expectedEnd.has_value());
                ASSERT_FALSE(announcedSinceStart) << "a second announcement of one countdown";
                ASSERT_GE(clock.time, *expectedEnd) << "announced before the end";
                ASSERT_EQ(timer.displayText(), "0 : 00 : 00");
                announcedSinceStart = true;
                expectedEnd.reset();
                ++finished;
                idleUntil = clock.time + between(0, 300);
            } else if (expectedEnd) {
                ASSERT_LT(clock.time, *expectedEnd) << "the end came and went unannounced";
                ASSERT_TRUE(timer.countingDown());
            }
        }
    }

    std::cout << "soak: " << ticks << " ticks; " << countdowns << " countdowns started, "
              << restarted << " restarted, " << abandoned << " abandoned, " << finished
              << " ran out; " << announcements << " announcements" << std::endl;
    EXPECT_EQ(announcements, finished);
    EXPECT_GT(finished, 100) << "the soak should see many countdowns run out";
    EXPECT_GT(ticks, 48LL * 3600 * 3);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EventTimerSoak, ::testing::ValuesIn(test::testSeeds()),
                         test::seedName);

} // namespace
} // namespace velka
