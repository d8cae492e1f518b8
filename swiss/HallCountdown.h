#pragma once

#include <QObject>
#include <QString>

namespace velka {

// The event timer's countdown as the hall's views show it in a corner: whoever holds the timer
// gives one, so that a view needs no timer of its own and shows the same second as the timer's
// window.
class HallCountdown : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HallCountdown)

public:
    using QObject::QObject;
    ~HallCountdown() override = default;

    // The time left as the timer's window shows it ("0 : 12 : 34") while a countdown runs;
    // empty otherwise.
    virtual QString timeLeft() const = 0;

signals:
    // The time left changed, or a countdown started or ended.
    void changed();
};

} // namespace velka
