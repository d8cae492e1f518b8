#pragma once

#include "core/Message.h"

class QWidget;

namespace velka {

// Shows a message modally over the window the caller names, and returns the button the
// organiser chose: the one way the program's windows reach the toolkit's message boxes. The
// owner is the window the organiser works in, or the window whose operation shows the message;
// nothing guesses it from whichever window happens to be active.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual MessageAnswer show(QWidget* owner, const Message& message) = 0;
};

// A window's own message boxes: every message that the window, or a model working for it,
// shows stands over that window. The window keeps it as a member, so the owner outlives it.
class WindowMessageBoxes final : public MessageBoxes {
public:
    WindowMessageBoxes(MessagePresenter& presenter, QWidget* owner)
        : presenter_(presenter)
        , owner_(owner)
    {}

    MessageAnswer show(const Message& message) override { return presenter_.show(owner_, message); }
    QWidget* owner() const { return owner_; }

private:
    MessagePresenter& presenter_;
    QWidget* owner_;
};

} // namespace velka
