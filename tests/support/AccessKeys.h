#pragma once

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QLabel>
#include <QList>
#include <QPointer>
#include <QTabBar>
#include <QTimerEvent>
#include <QWidget>

#include <map>

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

// The access key of a caption: the character after its "&" (upper-cased), or none ("&&" is a
// plain "&").
inline QChar accessKeyOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toUpper();
        ++i;
    }
    return {};
}

// Every access key of a window, with what holds it: its buttons, the labels that name another
// control, and its tabs (as "tabs[i]"). A key held twice presses neither holder: each press only
// moves the focus between them.
inline std::map<QChar, QStringList> accessKeysOf(const QWidget* window)
{
    std::map<QChar, QStringList> keys;
    const auto add = [&keys](const QString& caption, const QString& holder) {
        if (const QChar key = accessKeyOf(caption); !key.isNull())
            keys[key] << holder;
    };
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
        add(button->text(), button->objectName());
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy())
            add(label->text(), label->objectName());
    }
    for (const QTabBar* tabs : window->findChildren<QTabBar*>()) {
        for (int i = 0; i < tabs->count(); ++i)
            add(tabs->tabText(i), QStringLiteral("tabs[%1]").arg(i));
    }
    return keys;
}

} // namespace velka::test
