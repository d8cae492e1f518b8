#pragma once

#include "core/Message.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

namespace velka::test {

// Records every message shown and answers questions from a script. An OK box needs no script;
// an unscripted question fails the test and is answered No. onShow, when set, runs while the
// message is "open", so that a test can look at the windows at that moment.
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(const Message& message) override
    {
        shown.push_back(message);
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
    std::function<void()> onShow;
};

} // namespace velka::test
