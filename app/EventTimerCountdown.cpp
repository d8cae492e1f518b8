#include "app/EventTimerCountdown.h"

#include "timer/frmEventTimer.h"

namespace velka {

void EventTimerCountdown::watch(frmEventTimer& window)
{
    window_ = &window;
    timer_ = &window.eventTimer();
    subscription_ = timer_->subscribe([this](EventTimer::Part part) {
        if (part == EventTimer::Part::Display || part == EventTimer::Part::CountingDown)
            emit changed();
    });
    // Told while the window is being destroyed: it is only a QObject by then.
    connect(&window, &QObject::destroyed, this, [this](QObject* gone) {
        if (window_.data() != gone)
            return; // another window is watched by now
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
