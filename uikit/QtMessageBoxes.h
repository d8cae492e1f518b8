#pragma once

#include "core/Message.h"

namespace velka {

// Message boxes as Qt shows them: modal over the active window, with the message's own title.
class QtMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(const Message& message) override;
};

} // namespace velka
