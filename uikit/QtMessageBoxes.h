#pragma once

#include "core/Message.h"

class QFont;
class QString;

namespace velka {

// The width a window needs for the whole of its title to show in a title bar: the title in the
// bold face that title bars use, with room for the window icon and the title bar's buttons.
int titleBarWidth(const QString& title, const QFont& font);

// Message boxes as Qt shows them: modal over the active window, with the message's own title,
// never narrower than titleBarWidth so that a window manager does not cut the title short.
class QtMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(const Message& message) override;
};

} // namespace velka
