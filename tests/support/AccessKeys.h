#pragma once

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QTimerEvent>
#include <QWidget>

namespace velka::test {

// An access key presses its button with a short animation: the button shows pressed and is
// clicked when a timer of its own fires, a tenth of a second later (more on a loaded machine).
// This ends the animation at once: every button of the window that shows pressed gets its
// timer's event now, and is clicked before this returns. Nothing is waited for.
inline void finishAccessKeyPresses(QWidget* window)
{
    QList<QPointer<QAbstractButton>> pressed;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isDown())
            pressed << button;
    }
    for (const QPointer<QAbstractButton>& button : pressed) {
        if (!button)
            continue;
        const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(button);
        for (const auto& timer : timers) {
            QTimerEvent fired(timer.timerId);
            QCoreApplication::sendEvent(button, &fired);
        }
    }
}

} // namespace velka::test
