#pragma once

#include "timer/EventTimer.h"
#include "timer/HallTimerControls.h"
#include "uikit/MessagePresenter.h"
#include "uikit/PaletteSize.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace velka {

// The event timer window: a large display of the time of day or of a running countdown, and
// below it a row with the period's hours, minutes and seconds and the check box that starts the
// countdown. The row shows only while the window is high; every control in it still works while
// it is cut off. Every event goes to one EventTimer operation; the window then shows what the
// timer holds.
class frmEventTimer final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmEventTimer)

public:
    static constexpr int kClientWidth = 7260; // twips
    // The window's outer height decides whether the input row shows: 1965 twips closed (the load
    // step closes it), 2430 open; the designed frame takes 375 of it. cmdCtlShow runs
    // ToggleTimerPalette.
    static constexpr int kTimerPaletteClosedHeight = 1965;
    static constexpr int kTimerPaletteOpenHeight = 2430;
    static constexpr int kFrameHeight = 375;

    // Builds the controls and runs the load step: the input row hidden and Timer1 ticking.
    // Its boxes, "Time Up!!" among them, stand over it.
    frmEventTimer(Clock& clock, MessagePresenter& messageBoxes, QWidget* parent = nullptr);
    // The same, with the desktop services of the hall functions: the projector view, the sounds
    // and the screen kept awake are reached by keyboard, double-click and context menu.
    frmEventTimer(Clock& clock, MessagePresenter& messageBoxes, HallServices hall,
                  QWidget* parent = nullptr);
    ~frmEventTimer() override;

    EventTimer& eventTimer() { return eventTimer_; }
    const EventTimer& eventTimer() const { return eventTimer_; }
    HallTimerControls& hall() { return *hall_; }

    int outerHeight() const { return height_.twips(); }
    bool paletteOpen() const { return height_.isOpen(); }
    // Opens the input row when it is hidden and hides it when it shows.
    void ToggleTimerPalette();

    // What Timer1 runs every 100 ms: the timer's tick, and after the tick that ends a countdown
    // the "Time Up!!" message, from the event loop. Tests call it to move time on themselves.
    void tick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createWidgets();
    void connectWidgets();
    void showChange(EventTimer::Part part);
    void showDisplay();
    void showInputs();
    void showClientHeight();
    void tellLater(std::optional<Message> refusal);

    EventTimer eventTimer_;
    PaletteSize height_{kTimerPaletteClosedHeight, kTimerPaletteOpenHeight};
    Subscription timerSubscription_;
    WindowMessageBoxes messageBoxes_;
    HallTimerControls* hall_ = nullptr;

    QLineEdit* txtEventTimer = nullptr;
    QPushButton* cmdCtlShow = nullptr;
    QLineEdit* txtHour = nullptr;
    QLineEdit* txtMinute = nullptr;
    QLineEdit* txtSecound = nullptr;
    QCheckBox* chkCountDownTimer = nullptr;
    QLabel* Label1 = nullptr;
    QTimer* Timer1 = nullptr;
};

} // namespace velka
