#pragma once

#include "timer/KeepScreenAwake.h"
#include "timer/RoundSounds.h"
#include "uikit/ProjectorController.h"

#include <QObject>

#include <memory>
#include <optional>

class QLineEdit;
class QMenu;
class QWidget;

namespace velka {

class TimerProjectorView;

// The desktop services the hall functions reach. Left null, the timer is silent and leaves the
// screen saver alone.
struct HallServices {
    SoundPlayer* sound = nullptr;
    ScreenSaver* screenSaver = nullptr;
};

// What the event timer window offers the hall on top of its design: the projector view (F11, a
// double-click on the display, or the context menu), the monitor it goes on, the warnings and
// the mute, and the screen kept awake while a countdown runs. It adds no control to the window:
// everything is reached by keyboard, by double-click and by the display's context menu (right
// click, the Menu key or Shift+F10). The choices last as long as the window.
class HallTimerControls final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HallTimerControls)

public:
    HallTimerControls(QWidget* window, QLineEdit* display, EventTimer& timer, const Clock& clock,
                      HallServices services);
    ~HallTimerControls() override;

    // Opens the projector view on the chosen monitor, or closes it when it is open.
    void toggleProjector();
    void openProjector();
    void closeProjector();
    TimerProjectorView* projectorView() const;
    ScreenChoice& screenChoice() { return projector_->screenChoice(); }
    ProjectorController& projector() { return *projector_; }

    RoundSounds& sounds() { return sounds_; }
    const KeepScreenAwake* keepAwake() const { return awake_ ? &*awake_ : nullptr; }

    // The window tells when its "Time Up!!" box opens and closes.
    void timeUpShown(bool shown);

    // The context menu as it stands now, for the caller to show.
    std::unique_ptr<QMenu> contextMenu();
    // Shows the context menu at a point of the display.
    void showContextMenu(const QPoint& atDisplay);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    QLineEdit* display_;
    EventTimer& timer_;
    RoundSounds sounds_;
    ScreenSaver& screenSaver_;
    std::optional<KeepScreenAwake> awake_;
    bool timeUpShown_ = false;
    ProjectorController* projector_;
};

} // namespace velka
