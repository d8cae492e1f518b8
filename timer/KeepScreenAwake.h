#pragma once

#include "core/Subscription.h"
#include "timer/EventTimer.h"

namespace velka {

// The desktop's screen saver and screen lock. inhibit asks it not to blank or lock the screen
// until release; neither call waits for an answer, and without a desktop service both do
// nothing.
class ScreenSaver {
public:
    virtual ~ScreenSaver() = default;
    virtual void inhibit() = 0;
    virtual void release() = 0;
};

// Keeps the screen awake while a countdown runs: one inhibition per countdown, taken when it
// starts and released when it ends, is cleared or restarted (a restart then takes a new one),
// and when this object goes with its window. It never holds two.
class KeepScreenAwake {
public:
    KeepScreenAwake(EventTimer& timer, ScreenSaver& screenSaver);
    ~KeepScreenAwake();
    KeepScreenAwake(const KeepScreenAwake&) = delete;
    KeepScreenAwake& operator=(const KeepScreenAwake&) = delete;

    bool holding() const { return holding_; }

private:
    void heard(EventTimer::Part part);
    void release();

    const EventTimer& timer_;
    ScreenSaver& screenSaver_;
    bool holding_ = false;
    Subscription subscription_;
};

} // namespace velka
