#pragma once

#include <QObject>
#include <QPointer>

namespace velka {

class Clock;
class MessagePresenter;
class RandomSource;
class ScreenSaver;
class SoundPlayer;
class WebBrowser;
class frmEventTimer;
class frmNewGame;
class frmPairvaneMainForm;
class frmVerInfo;

// The platform services the windows reach through small interfaces.
struct Services {
    MessagePresenter& messageBoxes;
    RandomSource& random;
    Clock& clock;
    WebBrowser& browser;
    // The event timer's sounds and the screen saver it holds off; without them it is silent and
    // leaves the screen saver alone.
    SoundPlayer* sound = nullptr;
    ScreenSaver* screenSaver = nullptr;
};

// The program's four windows: one instance of each window class, created on first use and
// unloaded when it closes, so that the next use builds it afresh from its design and runs its
// load step again. No data is handed to a window when it opens. The program ends when its last
// window has closed; closing the main window leaves a running event timer open.
class Shell final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Shell)

public:
    explicit Shell(Services services, QObject* parent = nullptr);
    ~Shell() override;

    // Creates the main window (its load step runs) and shows it centred on the screen.
    void start();

    // The main window's palette buttons run these three.
    // Shows the entry dialog modally; returns when it has closed.
    void OpenEntryDialog();
    // Shows the event timer unless it is visible already; a visible one is left as it stands,
    // neither raised nor restored.
    void OpenEventTimer();
    // Shows the version window modally; returns when it has closed.
    void OpenVersionInfo();

    // The loaded instances, or null.
    frmPairvaneMainForm* loadedMainForm() const;
    frmNewGame* loadedNewGame() const;
    frmEventTimer* loadedEventTimer() const;
    frmVerInfo* loadedVerInfo() const;

private:
    // The instances, each created on first use.
    frmPairvaneMainForm& mainForm();
    frmNewGame& newGame();
    frmEventTimer& eventTimer();
    frmVerInfo& verInfo();

    Services services_;
    QPointer<frmPairvaneMainForm> mainForm_;
    QPointer<frmNewGame> newGame_;
    QPointer<frmEventTimer> eventTimer_;
    QPointer<frmVerInfo> verInfo_;
};

} // namespace velka
