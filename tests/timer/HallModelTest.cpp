#include "tests/support/ScopedTimeZone.h"
#include "tests/support/TestClock.h"
#include "tests/timer/HallDoubles.h"
#include "timer/EventTimer.h"
#include "timer/KeepScreenAwake.h"
#include "timer/RoundSounds.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace velka {

void PrintTo(RoundSound sound, std::ostream* out)
{
    static const char* const names[] = {"TimeUp", "FiveMinutesLeft", "OneMinuteLeft"};
    *out << names[static_cast<int>(sound)];
}

namespace {

using test::RecordingScreenSaver;
using test::RecordingSoundPlayer;
using test::TestClock;
using Played = RecordingSoundPlayer::Played;

constexpr std::int64_t kStart = 1717203600;

class HallModelTest : public ::testing::Test {
protected:
    std::optional<Message> start(const char* h, const char* m, const char* s)
    {
        timer.setHourText(h);
        timer.setMinuteText(m);
        timer.setSecondText(s);
        return timer.setCountingDown(true);
    }
    // Ticks ten times a second, as the window does, up to and including `until`.
    void runUntil(std::int64_t until)
    {
        while (clock.time < until) {
            ++clock.time;
            for (int tenth = 0; tenth < 10; ++tenth)
                timer.TimerTick();
        }
    }

    test::ScopedTimeZone zone{"Asia/Tokyo"};
    TestClock clock;
    EventTimer timer{clock};
    RecordingSoundPlayer player{clock};
    RoundSounds sounds{timer, clock, player};
    RecordingScreenSaver screenSaver;
    std::optional<KeepScreenAwake> awake{std::in_place, timer, screenSaver};
};

// A whole countdown, ticked through: which sounds come and at which second.
struct SoundCase {
    const char* name;
    const char* hours;
    const char* minutes;
    const char* seconds;
    bool warnings;
    bool muted;
    std::vector<std::pair<RoundSound, std::int64_t>> expected; // sound, seconds after the start
};

void PrintTo(const SoundCase& c, std::ostream* out)
{
    *out << c.name;
}

class RoundSoundsCases : public HallModelTest, public ::testing::WithParamInterface<SoundCase> {};

TEST_P(RoundSoundsCases, SoundAtTheirSecondOnly)
{
    const SoundCase& c = GetParam();
    sounds.setWarningsOn(c.warnings);
    sounds.setMuted(c.muted);
    clock.time = kStart;
    ASSERT_EQ(start(c.hours, c.minutes, c.seconds), std::nullopt);
    runUntil(kStart + 3 * 3600);
    std::vector<Played> expected;
    for (const auto& [sound, after] : c.expected)
        expected.push_back({sound, kStart + after});
    EXPECT_EQ(player.played, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Countdowns, RoundSoundsCases,
    ::testing::Values(
        SoundCase{"ChimeOnlyByDefault", "0", "10", "00", false, false, {{RoundSound::TimeUp, 600}}},
        SoundCase{"BothWarningsWhenOn",
                  "0",
                  "10",
                  "00",
                  true,
                  false,
                  {{RoundSound::FiveMinutesLeft, 300},
                   {RoundSound::OneMinuteLeft, 540},
                   {RoundSound::TimeUp, 600}}},
        // Started exactly at five minutes: it did not start above the mark.
        SoundCase{"FiveMinutesStartHasNoFiveMinuteWarning",
                  "0",
                  "05",
                  "00",
                  true,
                  false,
                  {{RoundSound::OneMinuteLeft, 240}, {RoundSound::TimeUp, 300}}},
        SoundCase{"FiveMinutesAndOneSecond",
                  "0",
                  "05",
                  "01",
                  true,
                  false,
                  {{RoundSound::FiveMinutesLeft, 1},
                   {RoundSound::OneMinuteLeft, 241},
                   {RoundSound::TimeUp, 301}}},
        SoundCase{
            "OneMinuteStartChimesOnly", "0", "1", "0", true, false, {{RoundSound::TimeUp, 60}}},
        SoundCase{"LongerThanAnHour",
                  "1",
                  "0",
                  "30",
                  true,
                  false,
                  {{RoundSound::FiveMinutesLeft, 3330},
                   {RoundSound::OneMinuteLeft, 3570},
                   {RoundSound::TimeUp, 3630}}},
        SoundCase{"ZeroPeriodChimesAtTheFirstTick",
                  "0",
                  "0",
                  "0",
                  true,
                  false,
                  {{RoundSound::TimeUp, 1}}},
        SoundCase{"MutedIsSilent", "0", "10", "00", true, true, {}}));

TEST_F(HallModelTest, RefusedStartIsSilentAndHoldsNothing)
{
    sounds.setWarningsOn(true);
    clock.time = kStart;
    ASSERT_NE(start("x", "10", "00"), std::nullopt);
    ASSERT_NE(start("99999999999", "0", "0"), std::nullopt);
    runUntil(kStart + 1200);
    EXPECT_TRUE(player.played.empty());
    EXPECT_TRUE(screenSaver.calls.empty());
}

TEST_F(HallModelTest, EachWarningOnceAcrossRestartsAndALateTick)
{
    sounds.setWarningsOn(true);
    clock.time = kStart;
    ASSERT_EQ(start("0", "6", "0"), std::nullopt);
    runUntil(kStart + 61); // 4:59 left: the five-minute warning
    // A restart brings the full period back, and its warnings with it.
    ASSERT_EQ(timer.TypeCharacter(), std::nullopt);
    const std::int64_t restart = clock.time;
    runUntil(restart + 30);
    // The machine was busy: the next tick comes with 40 s left, past both marks at once.
    clock.time = restart + 320;
    timer.TimerTick();
    runUntil(restart + 400);
    const std::vector<Played> expected{{RoundSound::FiveMinutesLeft, kStart + 60},
                                       {RoundSound::OneMinuteLeft, restart + 320},
                                       {RoundSound::TimeUp, restart + 360}};
    EXPECT_EQ(player.played, expected);
}

TEST_F(HallModelTest, ClearedCountdownAndMuteDuringTheRound)
{
    sounds.setWarningsOn(true);
    clock.time = kStart;
    ASSERT_EQ(start("0", "10", "0"), std::nullopt);
    runUntil(kStart + 200);
    timer.setCountingDown(false); // abandoned before any mark: nothing sounds
    runUntil(kStart + 1000);
    EXPECT_TRUE(player.played.empty());

    ASSERT_EQ(timer.setCountingDown(true), std::nullopt);
    const std::int64_t second = clock.time;
    sounds.setMuted(true);
    runUntil(second + 400); // the five-minute mark passes while muted and is not made up
    sounds.setMuted(false);
    runUntil(second + 600);
    const std::vector<Played> expected{{RoundSound::OneMinuteLeft, second + 540},
                                       {RoundSound::TimeUp, second + 600}};
    EXPECT_EQ(player.played, expected);
}

TEST_F(HallModelTest, ScreenHeldExactlyWhileACountdownRuns)
{
    using Calls = std::vector<std::string>;
    clock.time = kStart;
    ASSERT_EQ(start("0", "0", "30"), std::nullopt);
    EXPECT_EQ(screenSaver.calls, Calls{"inhibit"});
    runUntil(kStart + 29);
    EXPECT_TRUE(awake->holding());
    runUntil(kStart + 30); // time up
    EXPECT_EQ(screenSaver.calls, (Calls{"inhibit", "release"}));
    EXPECT_FALSE(awake->holding());

    screenSaver.calls.clear();
    ASSERT_EQ(timer.setCountingDown(true), std::nullopt);
    ASSERT_EQ(timer.TypeCharacter(), std::nullopt); // restart: the old one goes first
    timer.setCountingDown(false);                   // cleared
    EXPECT_EQ(screenSaver.calls, (Calls{"inhibit", "release", "inhibit", "release"}));

    screenSaver.calls.clear();
    ASSERT_EQ(timer.setCountingDown(true), std::nullopt);
    awake.reset(); // the window closes during the countdown
    EXPECT_EQ(screenSaver.calls, (Calls{"inhibit", "release"}));
    runUntil(kStart + 200);
    EXPECT_EQ(screenSaver.calls.size(), 2U) << "nothing after the window went";
}

TEST_F(HallModelTest, TypingOnAClearedBoxTakesNothing)
{
    clock.time = kStart;
    ASSERT_EQ(timer.TypeCharacter(), std::nullopt);
    runUntil(kStart + 10);
    EXPECT_TRUE(screenSaver.calls.empty());
    EXPECT_FALSE(awake->holding());
}

} // namespace
} // namespace velka
