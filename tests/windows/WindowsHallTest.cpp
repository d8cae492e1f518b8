// The hall's Windows adapters against the real Win32 calls (under Wine on CI): the round's
// sounds are handed to Windows and play returns without waiting for them, and the display is
// kept on exactly while a countdown runs.
#include "tests/support/ScopedTimeZone.h"
#include "tests/support/TestClock.h"
#include "timer/EventTimer.h"
#include "timer/HallPlatform.h"
#include "timer/KeepScreenAwake.h"
#include "timer/platform/windows/WindowsScreenSaver.h"
#include "timer/platform/windows/WindowsSoundPlayer.h"

#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include <functional>
#include <optional>
#include <string>

namespace velka {
namespace {

constexpr EXECUTION_STATE kKeptOn = ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED;

// The thread's execution state in force. A call without ES_CONTINUOUS changes nothing lasting
// (it only counts as activity once) and returns the state in force.
EXECUTION_STATE executionState()
{
    return SetThreadExecutionState(ES_DISPLAY_REQUIRED) & kKeptOn;
}

TEST(WindowsHall, EverySoundIsHandedToWindowsWithoutWaiting)
{
    for (const RoundSound sound :
         {RoundSound::TimeUp, RoundSound::FiveMinutesLeft, RoundSound::OneMinuteLeft}) {
        EXPECT_TRUE(WindowsSoundPlayer::start(sound)) << static_cast<int>(sound);
    }
    // The platform's player, as the program makes it, plays through the same call.
    const HallPlatform hall = makeHallPlatform();
    ASSERT_NE(hall.sound, nullptr);
    ASSERT_NE(hall.screenSaver, nullptr);
    hall.sound->play(RoundSound::TimeUp);
    PlaySoundW(nullptr, nullptr, 0); // stops what still plays
}

// How a running countdown ends, and whether the display is to stay on afterwards.
struct Ending {
    const char* name;
    std::function<void(EventTimer& timer, test::TestClock& clock,
                       std::optional<KeepScreenAwake>& awake)>
        end;
};

class CountdownEndings : public ::testing::TestWithParam<Ending> {};

TEST_P(CountdownEndings, KeepTheDisplayOnWhileTheCountdownRuns)
{
    const test::ScopedTimeZone zone("Asia/Tokyo");
    test::TestClock clock;
    clock.time = 1717203600;
    EventTimer timer(clock);
    WindowsScreenSaver screenSaver;
    std::optional<KeepScreenAwake> awake(std::in_place, timer, screenSaver);
    SetThreadExecutionState(ES_CONTINUOUS);
    ASSERT_EQ(executionState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));

    timer.setMinuteText("1");
    timer.setSecondText("0");
    ASSERT_FALSE(timer.setCountingDown(true).has_value());
    EXPECT_EQ(executionState(), kKeptOn);
    clock.time += 30;
    timer.TimerTick();
    EXPECT_EQ(executionState(), kKeptOn) << "halfway";

    GetParam().end(timer, clock, awake);
    EXPECT_EQ(executionState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Endings, CountdownEndings,
    ::testing::Values(Ending{"TimeUp",
                             [](EventTimer& timer, test::TestClock& clock, auto&) {
                                 clock.time += 30;
                                 timer.TimerTick();
                             }},
                      Ending{"Cleared",
                             [](EventTimer& timer, auto&, auto&) {
                                 EXPECT_FALSE(timer.setCountingDown(false).has_value());
                             }},
                      Ending{"WindowClosed", [](auto&, auto&, auto& awake) { awake.reset(); }}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace velka
