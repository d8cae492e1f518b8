#pragma once

#include <QApplication>
#include <QInputMethodEvent>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace velka::test {

// Finds a window's control by its object name and fails the test when it is missing.
template <typename T>
T* control(const QWidget* window, const QString& name)
{
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no control named " << name.toStdString();
    return found;
}

// Types text as a Japanese input method does: the composition first, shown at the cursor but not
// yet part of the text (when there is one), then the committed text that takes its place.
inline void commitThroughInputMethod(QWidget* widget, const QString& commit,
                                     const QString& preedit = {})
{
    if (!preedit.isEmpty()) {
        QInputMethodEvent composing(
            preedit, {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor,
                                                   static_cast<int>(preedit.size()), 1)});
        QApplication::sendEvent(widget, &composing);
    }
    QInputMethodEvent done;
    done.setCommitString(commit);
    QApplication::sendEvent(widget, &done);
}

// Arms a handler for the next modal window before the action that opens it: polls every 10 ms
// for an active modal widget and gives it to the handler, which must close it. Gives up after
// the bound, so that a missing window fails the test instead of hanging it. Record what the
// handler saw and assert after the blocking call has returned.
inline void whenModalOpens(std::function<void(QWidget*)> handler,
                           std::chrono::milliseconds bound = std::chrono::seconds(5))
{
    auto* poll = new QTimer(qApp);
    auto left = static_cast<int>(bound.count() / 10);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, left, handler]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            handler(modal);
        } else if (--left <= 0) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

} // namespace velka::test
