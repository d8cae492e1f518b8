// The event timer on arbitrary inputs, clock jumps (backwards and to the ends of time too),
// starts, restarts, stops and ticks in any order.
//
// Invariants: the display always reads "h : mm : ss" with no sign, minutes and seconds below
// 60, and in clock mode the local time of day in white; a tick announces the end exactly when
// a countdown runs and its end has come, and then the countdown stops, so it cannot announce
// twice; a tick that does not announce shows the time left; a refused start leaves the box
// clear and a refused restart leaves the running countdown as it was; every end lies within
// the years the timer accepts.

#include "core/Clock.h"
#include "core/TypedNumber.h"
#include "fuzz/FuzzCheck.h"
#include "timer/EventTimer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>

namespace {

using velka::EventTimer;
using Colour = EventTimer::Colour;

class InputClock final : public velka::Clock {
public:
    std::int64_t now() const override { return time; }
    std::int64_t time = 1'700'000'000;
};

struct Shown {
    std::int64_t hours;
    int minutes;
    int seconds;
};

// Reads "h : mm : ss" strictly; fails the check on anything else.
Shown readDisplay(const std::string& text)
{
    const std::size_t first = text.find(" : ");
    FUZZ_CHECK(first != std::string::npos && first > 0 && first <= 18);
    FUZZ_CHECK(text.size() == first + 10 && text.compare(first + 5, 3, " : ") == 0);
    FUZZ_CHECK(first == 1 || text[0] != '0');
    std::int64_t hours = 0;
    for (std::size_t i = 0; i < first; ++i) {
        FUZZ_CHECK(text[i] >= '0' && text[i] <= '9');
        hours = hours * 10 + (text[i] - '0');
    }
    const auto twoDigits = [&](std::size_t at) {
        FUZZ_CHECK(text[at] >= '0' && text[at] <= '5' && text[at + 1] >= '0' &&
                   text[at + 1] <= '9');
        return (text[at] - '0') * 10 + (text[at + 1] - '0');
    };
    return {hours, twoDigits(first + 3), twoDigits(first + 8)};
}

std::int64_t saturatedAdd(std::int64_t a, std::int64_t b)
{
    std::int64_t sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<std::int64_t>::max()
                 : std::numeric_limits<std::int64_t>::min();
}

std::int64_t jump(FuzzedDataProvider& input, std::int64_t now)
{
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0: // a late or doubled tick
        return saturatedAdd(now, input.ConsumeIntegralInRange<std::int64_t>(0, 2));
    case 1: // a step of the system clock, either way
        return saturatedAdd(now, input.ConsumeIntegralInRange<std::int64_t>(-100'000, 100'000));
    case 2:
        return std::numeric_limits<std::int64_t>::max() - input.ConsumeIntegralInRange(0, 3);
    case 3:
        return std::numeric_limits<std::int64_t>::min() + input.ConsumeIntegralInRange(0, 3);
    case 4:
        return input.ConsumeIntegralInRange(EventTimer::kEarliestEnd - 10,
                                            EventTimer::kLatestEnd + 10);
    default:
        return input.ConsumeIntegral<std::int64_t>();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A zone with daylight-saving time, so that the time of day has its irregular days.
    setenv("TZ", "Europe/Berlin", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    InputClock clock;
    EventTimer timer(clock);

    while (input.remaining_bytes() > 0) {
        const bool wasCounting = timer.countingDown();
        const std::int64_t endBefore = timer.countDownEnd();
        switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0:
            timer.setHourText(input.ConsumeRandomLengthString(24));
            break;
        case 1:
            timer.setMinuteText(input.ConsumeRandomLengthString(24));
            break;
        case 2:
            timer.setSecondText(input.ConsumeRandomLengthString(24));
            break;
        case 3: {
            const bool checked = input.ConsumeBool();
            const auto refusal = timer.setCountingDown(checked);
            if (refusal) {
                FUZZ_CHECK(checked && !wasCounting);
                FUZZ_CHECK(!refusal->text.empty());
            }
            FUZZ_CHECK(timer.countingDown() == (checked && !refusal));
            break;
        }
        case 4: {
            const auto refusal = timer.TypeCharacter();
            FUZZ_CHECK(timer.countingDown() == wasCounting);
            if (refusal || !wasCounting)
                FUZZ_CHECK(timer.countDownEnd() == endBefore);
            break;
        }
        case 5:
            clock.time = jump(input, clock.time);
            break;
        default: {
            const bool announced = timer.TimerTick();
            const Shown shown = readDisplay(timer.displayText());
            if (announced) {
                FUZZ_CHECK(wasCounting && clock.time >= timer.countDownEnd());
                FUZZ_CHECK(!timer.countingDown());
                FUZZ_CHECK(timer.displayText() == "0 : 00 : 00");
                FUZZ_CHECK(timer.displayColour() == Colour::Red);
            } else if (wasCounting) {
                FUZZ_CHECK(timer.countingDown() && clock.time < timer.countDownEnd());
                // The clock may stand anywhere, even before the year 1.
                const auto left = static_cast<std::int64_t>(
                    std::min<velka::Int128>(velka::Int128{timer.countDownEnd()} - clock.time,
                                            EventTimer::kLatestEnd - EventTimer::kEarliestEnd));
                FUZZ_CHECK(shown.hours * 3600 + shown.minutes * 60 + shown.seconds == left);
                FUZZ_CHECK(timer.displayColour() ==
                           (shown.minutes > 0 ? Colour::Green : Colour::Red));
            } else {
                const velka::TimeOfDay now = velka::localTimeOfDay(clock.time);
                FUZZ_CHECK(shown.hours < 24);
                FUZZ_CHECK(shown.hours == now.hour && shown.minutes == now.minute &&
                           shown.seconds == now.second);
                FUZZ_CHECK(timer.displayColour() == Colour::White);
            }
            break;
        }
        }
        if (timer.countingDown()) {
            FUZZ_CHECK(timer.countDownEnd() >= EventTimer::kEarliestEnd &&
                       timer.countDownEnd() <= EventTimer::kLatestEnd);
        }
    }
    return 0;
}
