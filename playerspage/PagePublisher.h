#pragma once

#include "bracket/BracketBoard.h"
#include "core/Clock.h"
#include "playerspage/NetworkAddresses.h"
#include "playerspage/PageServerModule.h"
#include "playerspage/SwissPageState.h"
#include "timer/EventTimer.h"
#include "uikit/AddressCorner.h"

#include <QEvent>
#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QTimer;

namespace velka {
class SwissDraw;
}

namespace velka::playerspage {

// This computer's interfaces, as connectedIPv4Addresses() reads them, through the page's server
// module (loaded by the first call); none when the module cannot be loaded.
class SystemAddresses final : public AddressSource {
public:
    std::vector<NetworkAddress> addresses() const override;
};

struct PublisherSettings {
    // The first port tried; when it is taken, the next ones (ServerSettings::extraPorts). 0 lets
    // the system choose (tests).
    std::uint16_t firstPort = PageServer::kDefaultPort;
    ServerSettings server;
    // The server's module; tests name a missing one.
    std::string serverModule = kPageServerModuleFile;
};

// The players' page for as long as the program runs: the server on the address the organiser
// chose, fed with the board and the event timer as they change. Off until it is turned on. It
// outlives the windows it watches: with the main window closed the page keeps the last bracket it
// had, and with the timer window closed it shows the time of day.
//
// While the Swiss event it watches runs, the page shows that in place of the bracket, until the
// event's top cut is on the board (swissPageState).
//
// It publishes a new state at most once per pass of the event loop (a draw changes the board
// hundreds of times), after every change of the board, the Swiss event or the timer and when the
// "Time Up!!" box opens or closes, and once a second. Nothing here waits for the server or a phone:
// a server that is turned off ends its connections on a thread of its own.
class PagePublisher final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PagePublisher)

public:
    // clock and addresses must outlive the publisher.
    PagePublisher(const Clock& clock, const AddressSource& addresses,
                  PublisherSettings settings = {}, QObject* parent = nullptr);
    ~PagePublisher() override;

    // The board the page shows, until owner is destroyed with it. Null for none.
    void watchBoard(BracketBoard* board, QObject* owner);
    // The event timer whose clock the page shows, until owner is destroyed with it. Null for
    // none: the page shows the time of day.
    void watchTimer(EventTimer* timer, QObject* owner);
    // Whether the "Time Up!!" box is open.
    void setTimeUpShown(bool shown);
    // The Swiss event the page shows while it runs; it must outlive the publisher, or be
    // replaced first. Null for none.
    void watchSwiss(SwissDraw* draw);

    // The addresses to offer, read afresh and ordered: private ones first, 127.0.0.1 last.
    std::vector<NetworkAddress> offeredAddresses() const;
    // The address the organiser chose last in this run; empty until one was chosen.
    const std::string& chosenAddress() const { return chosen_; }
    void choose(const std::string& address) { chosen_ = address; }

    // Puts the page on at address, moving it there when it is on elsewhere; the first time, loads
    // the server's module. False, with lastError() saying why in plain words and the page off,
    // when it cannot.
    bool turnOn(const std::string& address);
    void turnOff();

    bool isOn() const { return server_ != nullptr; }
    std::string address() const;
    // "http://<address>:<port>/"; empty while off.
    std::string url() const;
    const std::string& lastError() const { return lastError_; }
    const PublisherSettings& settings() const { return settings_; }
    // Phones connected, as of the last tick.
    int connectedCount() const { return connected_; }
    // The page's address for the projector views' corner; withdrawn while off.
    const PublishedAddress& publishedAddress() const { return published_; }
    // The running server, or null; for tests and benchmarks.
    PageService* server() const { return server_.get(); }
    // A change waits to be published at the end of the event loop's pass; for tests and
    // benchmarks that run the loop themselves.
    bool publishPending() const { return publishPending_; }

    // What runs once a second: the state published again (the clock's reading) and the count of
    // phones read. Tests call it to move on themselves.
    void tick();

signals:
    // On or off, the address, the problem or the count of phones changed.
    void changed();

protected:
    void customEvent(QEvent* event) override;

private:
    static QEvent::Type publishFirstRound();
    static QEvent::Type publishLastRound();
    void schedulePublish();
    void postPublish(bool lastRound);
    void publishNow();
    std::shared_ptr<const PageSnapshot> snapshot();
    // Hands the running server to a thread of its own to stop.
    void retire();

    struct Retiring {
        std::string address;
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    const Clock& clock_;
    const AddressSource& addresses_;
    PublisherSettings settings_;
    SteadyClock steady_; // read by the servers' threads: declared before them, gone after them
    std::vector<Retiring> retiring_;
    std::unique_ptr<PageService> server_;

    BracketBoard* board_ = nullptr;
    Subscription boardSubscription_;
    QMetaObject::Connection boardOwnerGone_;
    std::optional<Tournament> lastTournament_;
    SwissDraw* swiss_ = nullptr;
    Subscription swissSubscription_;
    // The Swiss event's part of the page, made again only after the event or the board changed:
    // the once-a-second publish of the clock reuses it.
    std::optional<SwissPageState> swissState_;
    bool swissStale_ = true;
    EventTimer* timer_ = nullptr;
    Subscription timerSubscription_;
    QMetaObject::Connection timerOwnerGone_;
    bool timeUpShown_ = false;
    bool publishPending_ = false;

    std::string chosen_;
    std::string lastError_;
    int connected_ = 0;
    PublishedAddress published_;
    QTimer* second_;
};

} // namespace velka::playerspage
