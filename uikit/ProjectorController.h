#pragma once

#include "uikit/FullScreenView.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace velka {

// The projector view of one window, the same for the event timer and the bracket: opened on
// the chosen monitor by F11 or the window's menu, closed by them, by the view's own keys or with
// the window, and moved at once when another monitor is chosen. The view is a child window of
// the window it was opened from, so that the window's boxes stand over that window, not on the
// projector. On another monitor the view leaves the keyboard with the window: the organiser goes
// on working there, with its shortcuts. On the window's own monitor (a laptop alone, or one
// mirrored to the projector) it covers the window and takes the keyboard until it closes.
class ProjectorController final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProjectorController)

public:
    // Makes the view, as a child of the window given.
    using ViewFactory = std::function<FullScreenView*(QWidget* window)>;

    // window takes F11 and owns the view; actionText names the toggle in its menu.
    ProjectorController(QWidget* window, const QString& actionText, ViewFactory makeView);
    ~ProjectorController() override;

    void toggle();
    // Opens the view on the chosen monitor, or moves it there when it is open.
    void open();
    void close();
    bool isOpen() const;
    // The view while it exists (a closed view is deleted), or null.
    FullScreenView* view() const { return view_.data(); }

    ScreenChoice& screenChoice() { return screenChoice_; }

    // The toggle, F11 on the window: checked while the view shows.
    QAction* toggleAction() const { return toggleAction_; }

    // Adds the monitor submenu to menu when there are two monitors or more, and returns it;
    // otherwise adds nothing and returns null.
    QMenu* addScreenMenu(QMenu* menu);

    // Shows the players' page's address in the view's corner while it is published, with a
    // checkable item 「QRコードを表示する(&Q)」 (checked at first) that hides it for as long as
    // the window lives. page must outlive the controller.
    void offerAddressCorner(const PublishedAddress& page);
    // That item, or null until the corner is offered.
    QAction* addressCornerAction() const { return cornerAction_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showState();

    QWidget* window_;
    ViewFactory makeView_;
    ScreenChoice screenChoice_;
    QPointer<FullScreenView> view_;
    bool viewTakesKeyboard_ = false;                // the open view covers the window
    std::vector<QPointer<FullScreenView>> closing_; // closed, not yet deleted
    QAction* toggleAction_;
    const PublishedAddress* page_ = nullptr;
    QAction* cornerAction_ = nullptr;
};

} // namespace velka
