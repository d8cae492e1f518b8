#pragma once

#include "core/Message.h"
#include "uikit/MessagePresenter.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

namespace velka::test {

// Records every message shown, and the window it stood over, and answers questions from a
// script. An OK box needs no script; an unscripted question fails the test and is answered No.
// onShow, when set, runs while the message is "open", so that a test can look at the windows at
// that moment. A model shows its messages through it as MessageBoxes, with no owner; a window
// through it as MessagePresenter, over itself.
class ScriptedMessageBoxes final : public MessageBoxes, public MessagePresenter {
public:
    MessageAnswer show(const Message& message) override { return show(nullptr, message); }
    MessageAnswer show(QWidget* owner, const Message& message) override
    {
        shown.push_back(message);
        owners.push_back(owner);
        if (onShow)
            onShow();
        if (message.buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << message.text;
            return MessageAnswer::No;
        }
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<MessageAnswer> answers;
    std::vector<Message> shown;
    std::vector<const QWidget*> owners; // one for each message shown, null for a model's own
    std::function<void()> onShow;
};

} // namespace velka::test
