#include "timer/KeepScreenAwake.h"

namespace velka {

KeepScreenAwake::KeepScreenAwake(EventTimer& timer, ScreenSaver& screenSaver)
    : timer_(timer)
    , screenSaver_(screenSaver)
{
    subscription_ = timer.subscribe([this](EventTimer::Part part) { heard(part); });
}

KeepScreenAwake::~KeepScreenAwake()
{
    release();
}

void KeepScreenAwake::heard(EventTimer::Part part)
{
    if (part == EventTimer::Part::CountDownStarted) {
        release();
        screenSaver_.inhibit();
        holding_ = true;
    } else if (part == EventTimer::Part::CountingDown && !timer_.countingDown()) {
        release();
    }
}

void KeepScreenAwake::release()
{
    if (!holding_)
        return;
    holding_ = false;
    screenSaver_.release();
}

} // namespace velka
