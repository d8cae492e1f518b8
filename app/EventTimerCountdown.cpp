#include "app/EventTimerCountdown.h"

#include "timer/frmEventTimer.h"

namespace velka {

void EventTimerCountdown::watch(frmEventTimer& window)
{
    window_ = &window;
    subscription_ = window.eventTimer().subscribe([this](EventTimer::Part part) {
        if (part == EventTimer::Part::Display || part == EventTimer::Part::CountingDown)
            emit changed();
    });
    connect(&window, &QObject::destroyed, this, [this, watched = &window] {
        if (window_ && window_ != watched)
            return; // another window is watched by now
        subscription_ = {};
        emit changed();
    });
}

QString EventTimerCountdown::timeLeft() const
{
    if (!window_)
        return {};
    const EventTimer& timer = window_->eventTimer();
    return timer.countingDown() ? QString::fromStdString(timer.displayText()) : QString();
}

} // namespace velka
