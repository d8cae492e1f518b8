#pragma once

#include "core/Clock.h"
#include "core/Subscription.h"
#include "timer/EventTimer.h"

#include <cstdint>

namespace velka {

enum class RoundSound { TimeUp, FiveMinutesLeft, OneMinuteLeft };

// Plays an event sound without waiting for it. Where there is no sound device or server it
// stays silent and says nothing.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(RoundSound sound) = 0;
};

// Which sounds a countdown makes: the chime once at time up, and, when the warnings are on, a
// signal when 5 minutes and when 1 minute are left, each only in a countdown that started with
// more time than that. Mute silences everything. The choices last for the life of the object.
class RoundSounds {
public:
    static constexpr std::int64_t kFiveMinutes = 300;
    static constexpr std::int64_t kOneMinute = 60;

    RoundSounds(EventTimer& timer, const Clock& clock, SoundPlayer& player);

    bool warningsOn() const { return warningsOn_; }
    void setWarningsOn(bool on) { warningsOn_ = on; }
    bool muted() const { return muted_; }
    void setMuted(bool muted) { muted_ = muted; }

private:
    void heard(EventTimer::Part part);
    void remainingChanged();

    const EventTimer& timer_;
    const Clock& clock_;
    SoundPlayer& player_;
    bool warningsOn_ = false;
    bool muted_ = false;
    // The warnings the running countdown has still to pass.
    bool fiveMinutesDue_ = false;
    bool oneMinuteDue_ = false;
    Subscription subscription_;
};

} // namespace velka
