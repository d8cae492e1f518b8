#pragma once

#include "core/Subscription.h"
#include "swiss/HallCountdown.h"

#include <QPointer>

namespace velka {

class EventTimer;
class frmEventTimer;

// The countdown of the program's event timer for the hall's views: the time left as the
// timer's window shows it, from the window watched (the program's one timer window, which may
// close and be made again), and nothing while there is no such window.
class EventTimerCountdown final : public HallCountdown {
public:
    using HallCountdown::HallCountdown;

    // Follows this window's timer from now on, until the window is destroyed.
    void watch(frmEventTimer& window);

    QString timeLeft() const override;

private:
    QPointer<QObject> window_; // the window watched, compared only as a QObject
    EventTimer* timer_ = nullptr;
    Subscription subscription_;
};

} // namespace velka
