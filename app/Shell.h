#pragma once

#include "playerspage/NetworkAddresses.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace velka {

class Clock;
class EventTimerCountdown;
class MessagePresenter;
class RandomSource;
class ScreenSaver;
class SoundPlayer;
class SwissDraw;
class WebBrowser;
class frmEventTimer;
class frmNewGame;
class frmSwissDraw;
class frmPairvaneMainForm;
class frmVerInfo;
class PlayersPageLink;

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
    // The players' page: the addresses its window offers (null: this computer's interfaces) and
    // the first port it tries (none: its usual 8765). Tests give loopback and port 0.
    const playerspage::AddressSource* networkAddresses = nullptr;
    std::optional<std::uint16_t> pagePort = std::nullopt;
    // The module that holds the page's server, loaded when the page is first asked for (empty:
    // the program's own). Tests name one that is missing.
    std::string pageServerModule = {};
};

// The program's four windows: one instance of each window class, created on first use and
// unloaded when it closes, so that the next use builds it afresh from its design and runs its
// load step again. No data is handed to a window when it opens. The program ends when its last
// window has closed; closing the main window leaves a running event timer open.
//
// Beside them, the window of a Swiss event, opened from the board's context menu: one instance
// as well, but the event it shows (swissDraw) is kept here for the whole run, so that closing
// the window loses nothing. It goes with the main window, whose board takes its top cut.
class Shell final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Shell)

public:
    explicit Shell(Services services, QObject* parent = nullptr);
    ~Shell() override;

    // Creates the main window (its load step runs) and shows it centred on the screen. Given a
    // tournament file, then opens it onto the board; a file that is refused is reported over
    // the window, which stays in its design state.
    void start(const QString& tournamentFile = {});
    // Every main window from now on keeps its last tournament in folder (see
    // TournamentFileActions); an empty folder keeps nothing, as without this call.
    void keepTournamentsIn(const QString& folder) { keptFolder_ = folder; }

    // The main window's palette buttons run these three.
    // Shows the entry dialog modally; returns when it has closed.
    void OpenEntryDialog();
    // Shows the event timer unless it is visible already; a visible one is left as it stands,
    // neither raised nor restored.
    void OpenEventTimer();
    // Shows the version window modally; returns when it has closed.
    void OpenVersionInfo();
    // The board's context menu runs this: shows the Swiss event's window, or brings it forward.
    void OpenSwissDraw();

    // The Swiss event: one for the program's run, kept here so that it outlives its window;
    // kept, saved and opened with the board.
    SwissDraw& swissDraw() { return *swissDraw_; }

    // The loaded instances, or null.
    frmPairvaneMainForm* loadedMainForm() const;
    frmNewGame* loadedNewGame() const;
    frmEventTimer* loadedEventTimer() const;
    frmVerInfo* loadedVerInfo() const;
    frmSwissDraw* loadedSwissDraw() const;
    // The players' page's window while it is loaded, or null (always where the page is not
    // built).
    QWidget* loadedPlayersPage() const;

private:
    // The instances, each created on first use.
    frmPairvaneMainForm& mainForm();
    frmNewGame& newGame();
    frmEventTimer& eventTimer();
    frmVerInfo& verInfo();
    frmSwissDraw& swissWindow();

    Services services_;
    QString keptFolder_;
    std::unique_ptr<SwissDraw> swissDraw_;
    QPointer<frmPairvaneMainForm> mainForm_;
    QPointer<frmNewGame> newGame_;
    QPointer<frmEventTimer> eventTimer_;
    QPointer<frmVerInfo> verInfo_;
    QPointer<frmSwissDraw> swissWindow_;
    // The timer's time left, for the Swiss projector view's corner.
    EventTimerCountdown* countdown_;
    // After the windows: the page it runs outlives them.
    std::unique_ptr<PlayersPageLink> playersPage_;
};

} // namespace velka
