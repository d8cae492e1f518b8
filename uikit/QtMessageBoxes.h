#pragma once

#include "uikit/MessagePresenter.h"

class QFont;
class QString;

namespace velka {

// The width a window needs for the whole of its title to show in a title bar: the title in the
// bold face that title bars use, with room for the window icon and the title bar's buttons.
int titleBarWidth(const QString& title, const QFont& font);

// Message boxes as Qt shows them: modal, centred over their owner on the owner's monitor, with
// the message's own title, never narrower than titleBarWidth so that a window manager does not
// cut the title short. A full-screen view never owns one: a box for it stands over the window
// the view belongs to. When the box closes, the keyboard goes back to the window that had it.
class QtMessageBoxes final : public MessagePresenter {
public:
    MessageAnswer show(QWidget* owner, const Message& message) override;
};

} // namespace velka
