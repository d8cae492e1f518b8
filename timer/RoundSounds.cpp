#include "timer/RoundSounds.h"

namespace velka {

RoundSounds::RoundSounds(EventTimer& timer, const Clock& clock, SoundPlayer& player)
    : timer_(timer)
    , clock_(clock)
    , player_(player)
{
    subscription_ = timer.subscribe([this](EventTimer::Part part) { heard(part); });
}

void RoundSounds::heard(EventTimer::Part part)
{
    switch (part) {
    case EventTimer::Part::CountDownStarted:
        fiveMinutesDue_ = timer_.countDownPeriod() > kFiveMinutes;
        oneMinuteDue_ = timer_.countDownPeriod() > kOneMinute;
        break;
    case EventTimer::Part::Display:
        if (timer_.countingDown())
            remainingChanged();
        break;
    case EventTimer::Part::TimeUp:
        fiveMinutesDue_ = oneMinuteDue_ = false;
        if (!muted_)
            player_.play(RoundSound::TimeUp);
        break;
    case EventTimer::Part::CountingDown:
        if (!timer_.countingDown())
            fiveMinutesDue_ = oneMinuteDue_ = false;
        break;
    case EventTimer::Part::Inputs:
        break;
    }
}

void RoundSounds::remainingChanged()
{
    const std::int64_t remaining = timer_.countDownEnd() - clock_.now();
    if (remaining <= 0)
        return; // the chime's moment, not a warning's
    const bool fiveMinutes = fiveMinutesDue_ && remaining <= kFiveMinutes;
    const bool oneMinute = oneMinuteDue_ && remaining <= kOneMinute;
    if (fiveMinutes)
        fiveMinutesDue_ = false;
    if (oneMinute)
        oneMinuteDue_ = false;
    if (muted_ || !warningsOn_)
        return;
    // A tick that comes late past both marks gives the one that now holds, not two at once.
    if (oneMinute)
        player_.play(RoundSound::OneMinuteLeft);
    else if (fiveMinutes)
        player_.play(RoundSound::FiveMinutesLeft);
}

} // namespace velka
