#include "timer/EventTimer.h"

#include "core/TypedNumber.h"

#include <algorithm>

namespace velka {

namespace {

// Minutes and seconds, 0 to 59, with a leading zero below 10. Appended rather than prefixed with
// operator+, which GCC 12's -Wrestrict misreads in an optimised build.
std::string twoDigits(std::int64_t value)
{
    std::string text(value < 10 ? 1 : 0, '0');
    text += std::to_string(value);
    return text;
}

// "h : mm : ss", the hour without a leading zero.
std::string displayTime(std::int64_t hours, std::int64_t minutes, std::int64_t seconds)
{
    return std::to_string(hours) + " : " + twoDigits(minutes) + " : " + twoDigits(seconds);
}

Message notANumber(const char* field)
{
    return errorMessage(std::string(field) + "の欄には数字を入力してください。");
}

} // namespace

EventTimer::EventTimer(const Clock& clock)
    : clock_(clock)
{}

void EventTimer::notify(Part part)
{
    changed_.notify(part);
}

std::optional<Message> EventTimer::setCountingDown(bool checked)
{
    if (checked == countingDown_)
        return std::nullopt;
    countingDown_ = checked;
    notify(Part::CountingDown);
    std::optional<Message> refusal = StartCountDown();
    if (refusal) {
        countingDown_ = false;
        notify(Part::CountingDown);
    }
    return refusal;
}

void EventTimer::setInput(std::string& input, std::string text)
{
    if (input == text)
        return;
    input = std::move(text);
    notify(Part::Inputs);
}

std::optional<Message> EventTimer::StartCountDown()
{
    if (!countingDown_)
        return std::nullopt;
    const std::optional<TypedNumber> hours = TypedNumber::read(hourText_);
    if (!hours)
        return notANumber("時間");
    const std::optional<TypedNumber> minutes = TypedNumber::read(minuteText_);
    if (!minutes)
        return notANumber("分");
    const std::optional<TypedNumber> seconds = TypedNumber::read(secondText_);
    if (!seconds)
        return notANumber("秒");
    const std::int64_t now = clock_.now();

    const std::optional<std::int64_t> period =
        roundedSum({{&*hours, 3600}, {&*minutes, 60}, {&*seconds, 1}}, kLatestEnd - kEarliestEnd);
    const Int128 end = period ? Int128{now} + *period : 0;
    if (!period || end < kEarliestEnd || end > kLatestEnd)
        return errorMessage("カウントダウンの時間が長すぎます。\r\n"
                            "時間・分・秒の数字を確かめてください。");
    CountDownEnd = static_cast<std::int64_t>(end);
    countDownPeriod_ = *period;
    notify(Part::CountDownStarted);
    return std::nullopt;
}

bool EventTimer::TimerTick()
{
    const std::int64_t now = clock_.now();
    if (!countingDown_) {
        const TimeOfDay time = localTimeOfDay(now);
        setDisplay(displayTime(time.hour, time.minute, time.second), Colour::White);
        return false;
    }
    const Int128 remaining = Int128{CountDownEnd} - now;
    if (remaining <= 0) {
        setDisplay("0 : 00 : 00", Colour::Red);
        setCountingDown(false);
        notify(Part::TimeUp);
        return true;
    }
    // A clock set before the year 1 cannot make the remaining time overflow.
    const auto r =
        static_cast<std::int64_t>(std::min<Int128>(remaining, kLatestEnd - kEarliestEnd));
    const std::int64_t minutes = r / 60 % 60;
    // A period of a day or more shows all its hours rather than wrapping at 24.
    setDisplay(displayTime(r / 3600, minutes, r % 60), minutes > 0 ? Colour::Green : Colour::Red);
    return false;
}

void EventTimer::setDisplay(std::string text, Colour colour)
{
    if (text == displayText_ && colour == displayColour_)
        return;
    displayText_ = std::move(text);
    displayColour_ = colour;
    notify(Part::Display);
}

Message EventTimer::timeUpMessage()
{
    return {kApplicationTitle, "Time Up!!", MessageIcon::Information, MessageButtons::Ok};
}

} // namespace velka
