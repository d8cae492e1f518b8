#include "app/EventTimerCountdown.h"

#include "timer/frmEventTimer.h"

namespace velka {

void EventTimerCountdown::watch(frmEventTimer& window)
{
    watched_ = &window;
    timer_ = &window.eventTimer();
    subscription_ = timer_->subscribe([this](EventTimer::Part part) {
        if (part == EventTimer::Part::Display || part == EventTimer::Part::CountingDown)
            emit changed();
    });
    // Told while the window is being destroyed, when it is only a QObject and its timer may be
    // gone: the timer is forgotten here, never read through the window.
    connect(&window, &QObject::destroyed, this, [this](QObject* gone) {
        if (gone != watched_)
            return; // another window is watched by now
        watched_ = nullptr;
        timer_ = nullptr;
        subscription_ = {};
        emit changed();
    });
}

QString EventTimerCountdown::timeLeft() const
{
    if (!timer_ || !timer_->countingDown())
        return {};
    return QString::fromStdString(timer_->displayText());
}

} // namespace velka
