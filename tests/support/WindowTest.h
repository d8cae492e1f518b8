#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QInputMethodEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>

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

// Shows the window, asks for it to be made active and waits until it is, so that keys and focus
// go where a user's would.
[[nodiscard]] inline ::testing::AssertionResult showActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    if (QTest::qWaitForWindowActive(window))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << window->objectName().toStdString() << " did not become the active window";
}

// Where a test armed a watch, for its failure message: filled in by default arguments of the
// compiler builtins that std::source_location::current() stands on. GCC and Clang both have
// them, and clang-tidy's clang 14 has no std::source_location with this standard library.
struct CallSite {
    const char* file = nullptr;
    int line = 0;
};

// The watch that whenModalOpens arms; see there.
class ModalWatch {
public:
    ModalWatch(std::function<void(QWidget*)> handler, std::chrono::milliseconds bound,
               std::chrono::milliseconds every, CallSite armedAt)
        : state_(std::make_shared<State>(State{armedAt, false, false}))
        , poll_(new QTimer(qApp))
    {
        QTimer* poll = poll_;
        const QDeadlineTimer deadline(bound);
        poll->setInterval(every);
        QObject::connect(poll, &QTimer::timeout, poll,
                         [poll, deadline, bound, handler = std::move(handler), state = state_] {
                             if (QWidget* modal = QApplication::activeModalWidget()) {
                                 poll->stop();
                                 poll->deleteLater();
                                 state->opened = true;
                                 handler(modal);
                             } else if (deadline.hasExpired()) {
                                 poll->stop();
                                 poll->deleteLater();
                                 state->failed = true;
                                 state->fail("did not open within " +
                                             std::to_string(bound.count()) + " ms");
                             }
                         });
        poll->start();
    }
    ~ModalWatch()
    {
        delete poll_.data();
        if (!state_->opened && !state_->failed)
            state_->fail("had not opened when the watch ended");
    }
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

    bool opened() const { return state_->opened; }

private:
    struct State {
        CallSite armedAt;
        bool opened = false;
        bool failed = false;

        void fail(const std::string& why) const
        {
            ADD_FAILURE_AT(armedAt.file, armedAt.line) << "the modal window awaited here " << why;
        }
    };
    std::shared_ptr<State> state_;
    QPointer<QTimer> poll_;
};

// Arms a handler for the next modal window before the action that opens it: polls for an active
// modal widget and gives it to the handler, which runs in the modal window's own event loop and
// must close it. Record what the handler saw and assert after the blocking call has returned: an
// assertion that fails inside the handler leaves the window open and the test hanging. Keep the
// returned watch while the window is due: the test fails when no modal window has opened within
// the bound, or by the time the watch is destroyed.
[[nodiscard]] inline ModalWatch
whenModalOpens(std::function<void(QWidget*)> handler,
               std::chrono::milliseconds bound = std::chrono::seconds(5),
               std::chrono::milliseconds every = std::chrono::milliseconds(10),
               const char* file = __builtin_FILE(), int line = __builtin_LINE())
{
    return ModalWatch(std::move(handler), bound, every, CallSite{file, line});
}

} // namespace velka::test
