#pragma once

#include "core/Clock.h"
#include "core/Message.h"
#include "core/Subscription.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace velka {

// The event timer: a clock of the local time of day that, while the countdown flag is set,
// counts down to CountDownEnd instead. The flag is the state of the window's check box; the
// three input texts are read only when a countdown starts. A countdown is counted in whole
// seconds of the absolute clock, so a change of daylight-saving time or of the time zone during
// a round neither lengthens nor shortens it. The window's size is the window's own: nothing
// here knows it.
class EventTimer {
public:
    // The latest end a countdown may have, 9999-12-31 23:59:59 UTC, and the earliest,
    // 0001-01-01 00:00:00 UTC, in seconds since 1970. A start beyond them is refused.
    static constexpr std::int64_t kLatestEnd = 253'402'300'799;
    static constexpr std::int64_t kEarliestEnd = -62'135'596'800;

    enum class Colour { White, Green, Red };
    struct Rgb {
        int red;
        int green;
        int blue;

        bool operator==(const Rgb&) const = default;
    };
    static constexpr Rgb rgb(Colour colour)
    {
        switch (colour) {
        case Colour::Green:
            return {0, 192, 0};
        case Colour::Red:
            return {255, 0, 0};
        case Colour::White:
            break;
        }
        return {255, 255, 255};
    }

    // What changed: the countdown flag, the display's text or colour, or an input text.
    // CountDownStarted follows every start that set CountDownEnd (a first start or a restart);
    // TimeUp follows the tick that ended a countdown, once the flag is clear.
    enum class Part { CountingDown, Display, Inputs, CountDownStarted, TimeUp };

    // The timer as designed: clock mode, the inputs "0", "05" and "00", "00 : 00 : 00" in white.
    explicit EventTimer(const Clock& clock);

    // Tells the callback of every change, right after it happened, for as long as the returned
    // subscription lives. The display is reported only when its text or colour really changed.
    Subscription subscribe(std::function<void(Part)> callback)
    {
        return changed_.subscribe(std::move(callback));
    }

    bool countingDown() const { return countingDown_; }
    // The click of the check box: a change of the flag runs StartCountDown; setting the state it
    // already holds runs nothing. A start that StartCountDown refuses leaves the flag clear, and
    // its message is returned.
    std::optional<Message> setCountingDown(bool checked);

    // The instant the running countdown reaches zero. Kept when the countdown stops.
    std::int64_t countDownEnd() const { return CountDownEnd; }
    // The whole seconds from the latest start to CountDownEnd; 0 or less for a period that ends
    // at the first tick.
    std::int64_t countDownPeriod() const { return countDownPeriod_; }

    const std::string& hourText() const { return hourText_; }
    const std::string& minuteText() const { return minuteText_; }
    const std::string& secondText() const { return secondText_; }
    void setHourText(std::string text) { setInput(hourText_, std::move(text)); }
    void setMinuteText(std::string text) { setInput(minuteText_, std::move(text)); }
    void setSecondText(std::string text) { setInput(secondText_, std::move(text)); }

    const std::string& displayText() const { return displayText_; }
    Colour displayColour() const { return displayColour_; }

    // While counting down, sets CountDownEnd to now plus the period that the three inputs give,
    // rounded to the nearest second; otherwise does nothing. An input that is not a number, or
    // an end outside kEarliestEnd..kLatestEnd, refuses the start: nothing changes and the
    // message that says why is returned. setCountingDown and TypeCharacter run it.
    std::optional<Message> StartCountDown();
    // A character typed while the check box has the focus: starts the countdown again from the
    // full period when it runs.
    std::optional<Message> TypeCharacter() { return StartCountDown(); }

    // The 100 ms tick: shows the remaining time, or the local time of day in clock mode. Returns
    // true on the one tick that ends a countdown, after it has shown "0 : 00 : 00" in red and
    // cleared the flag; the caller then announces timeUpMessage().
    bool TimerTick();

    static Message timeUpMessage();

private:
    void notify(Part part);
    void setInput(std::string& input, std::string text);
    void setDisplay(std::string text, Colour colour);

    const Clock& clock_;
    bool countingDown_ = false;
    std::int64_t CountDownEnd = 0;
    std::int64_t countDownPeriod_ = 0;
    std::string hourText_ = "0";
    std::string minuteText_ = "05";
    std::string secondText_ = "00";
    std::string displayText_ = "00 : 00 : 00";
    Colour displayColour_ = Colour::White;

    Notifier<Part> changed_;
};

} // namespace velka
