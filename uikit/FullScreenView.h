#pragma once

#include "uikit/AddressCorner.h"

#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>

class QMenu;
class QScreen;

namespace velka {

// The monitors a full-screen view can cover, in the order the toolkit lists them. A screen that
// only spans others (X11 lists the whole root window beside its RandR monitors) is left out, so
// every entry is one real monitor.
QList<QScreen*> viewScreens();

// The monitor a window stands on: the one holding the centre of its frame, else the toolkit's
// idea of its screen.
QScreen* screenOf(const QWidget* window);

// Where a view for the organiser's window goes when nobody chose: another monitor when there is
// one (the projector beside the laptop), else the window's own.
QScreen* defaultViewScreen(const QWidget* controlWindow);

// "name (1920 × 1080)": how a monitor is offered in a menu.
QString screenLabel(const QScreen* screen);

// The organiser's choice of monitor for the run, kept by identity (name and geometry), not by
// position in the list: monitors come and go while the program runs.
class ScreenChoice {
public:
    // The chosen monitor when it is still there, else the default for the control window.
    QScreen* resolve(const QWidget* controlWindow) const;
    void choose(const QScreen* screen);

    // Adds one checkable item per monitor to the menu when there are two or more; choosing
    // one stores it and calls chosen. Nothing is added for a single monitor.
    void addScreenItems(QMenu* menu, const QWidget* controlWindow,
                        const std::function<void()>& chosen);

private:
    QString name_;
    QRect geometry_;
};

// A borderless window that covers one monitor exactly, black, with nothing else on it: the base
// of the projector views. Esc, F11 or a double-click closes it. It works with and without a
// window manager, since it sets the monitor's geometry itself instead of asking for full screen.
class FullScreenView : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FullScreenView)

public:
    explicit FullScreenView(QWidget* parent = nullptr);

    // Shows the view over the whole of screen, or moves it there when it shows already. It does
    // not ask for the keyboard itself: whoever opens it decides where the keyboard goes.
    void showOn(QScreen* screen);

    // Shows the players' page's address in the bottom-right corner while page is published and
    // shown is true; the view lays its own picture out around it. page must outlive the view.
    void showAddressCorner(const PublishedAddress* page, bool shown);
    bool addressCornerShown() const { return cornerShown_; }
    // Where the corner is on the view now; its area is empty while there is none.
    AddressCornerLayout addressCorner() const;

signals:
    // Emitted once the view has been closed by its keys, its double-click or close().
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    void paintAddressCorner(QPainter& painter) const;
    // The corner came, went or changed: by default the whole view is painted again.
    virtual void addressCornerChanged() { update(); }

private:
    QPointer<QScreen> screen_;
    QPointer<const PublishedAddress> page_;
    bool cornerShown_ = false;
};

} // namespace velka
