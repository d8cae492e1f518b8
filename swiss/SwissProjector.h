#pragma once

#include "swiss/HallCountdown.h"
#include "swiss/SwissProjectorView.h"
#include "uikit/ProjectorController.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QAction;
class QMenu;
class QPushButton;

namespace velka {

class Clock;
class SwissDraw;

// What the Swiss window offers the projector: 「組み合わせを映す(&J)」 and 「順位表を映す(&R)」,
// one view that shows either, on the monitor chosen as for the timer and the bracket, with the
// same keys (F11 opens the pairings and closes the view) and the players' page's address in the
// corner. Each item is checked while its list shows; choosing the other switches the open view,
// choosing the same closes it. They are reached by a button of the window that opens them as a
// menu.
class SwissProjector final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SwissProjector)

public:
    SwissProjector(SwissDraw& draw, QWidget* window);
    ~SwissProjector() override;

    // The time left shown in the view's corner while the event timer counts down; null shows
    // none. It must outlive this object.
    void useCountdown(HallCountdown* countdown) { countdown_ = countdown; }
    // Replaces the clock that turns the pages, for tests. It must outlive this object.
    void useClock(const Clock& clock) { clock_ = &clock; }
    // The players' page's address in the view's corner (see ProjectorController).
    void offerAddressCorner(const PublishedAddress& page);

    // Shows the list on the projector, or closes the view when it already shows that list.
    void toggle(SwissProjectorView::Mode mode);
    void close() { controller_->close(); }
    SwissProjectorView* view() const;
    ProjectorController& controller() { return *controller_; }

    QAction* pairingsAction() const { return pairings_; }
    QAction* standingsAction() const { return standings_; }
    // The window's button that opens the menu of these items.
    QPushButton* createButton(QWidget* parent);
    // The menu as it stands now, for the monitors present. The caller owns it.
    QMenu* createMenu(QWidget* parent);

private:
    void showState();

    SwissDraw& draw_;
    std::unique_ptr<Clock> ownClock_;
    const Clock* clock_;
    QPointer<HallCountdown> countdown_;
    SwissProjectorView::Mode opening_ = SwissProjectorView::Mode::Pairings;
    ProjectorController* controller_;
    QAction* pairings_;
    QAction* standings_;
};

} // namespace velka
