#pragma once

// The players' page server: a read-only web page with the bracket and the round clock, served
// from this computer to the phones on the shop's own network. GNU libmicrohttpd does the HTTP,
// one thread per connection, with its own connection limits and timeouts.
//
// How the window uses it (all calls from the window thread):
//
//     SteadyClock steady;                       // outlives the server
//     follow::PageServer server(steady);
//     server.publish(follow::makeSnapshot(board.tournament(), &timer, timeUpShown, systemClock,
//                                         steady));
//     if (!server.start(chosenAddress))         // e.g. "192.168.1.23"; tries 8765..8775
//         showInPlainWords(server.lastError());
//     qrCodeAndLabel(server.url());             // "http://192.168.1.23:8765/"
//     ... after every change of the board or the timer: server.publish(makeSnapshot(...));
//     ... once a second: label->setText(QString::number(server.connectedCount()));
//     server.stop();                            // or let the destructor do it
//
// publish() never blocks and never waits for a phone; a publish whose content equals the last
// one (a new second of the same countdown, say) refreshes the clock's reading and sends nothing.
// Publishing once a second (on the timer's display change) keeps the page's clock on the system
// clock even across a change of the date, the time zone or daylight-saving time.
//
// What it serves (docs/players-page.md has the details): GET and HEAD of
//   /           the page            /app.js, /app.css   its script and style
//   /state      the state as JSON, with an ETag (If-None-Match gives 304)
//   /events     Server-Sent Events: "state" with the whole state on connect and on every
//               change, "ping" with the clock every heartbeat
// and nothing else: 405 for other methods on those paths, 404 for other paths, 413 for a request
// with a body, 431 for a request line and headers beyond the limit, 421 for a Host header other
// than the published address:port, 429 for an event stream beyond the limit per address. Every
// response it makes, errors included, carries the same security headers (Content-Security-Policy,
// X-Content-Type-Options, Referrer-Policy, X-Frame-Options, Cross-Origin-Resource-Policy). Requests
// the library refuses before they reach the program (a malformed request line, headers beyond its
// 32 KiB memory pool, too many connections) get the library's own short answer or a closed
// connection.
//
// Nothing a phone sends is stored or shown. Client addresses are held in memory only to count
// the phones, and forgotten once they have gone.

#include "core/Clock.h"
#include "follow/NetworkAddresses.h"
#include "follow/PageSnapshot.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velka::follow {

struct ServerSettings {
    unsigned maxConnections = 256;
    // A browser opens six connections to one server at most.
    unsigned connectionsPerAddress = 8;
    // Event streams open from one address at once; one more is answered 429.
    int streamsPerAddress = 4;
    // A connection that sends and receives nothing for this long is closed. Event streams send
    // a heartbeat well within it.
    unsigned idleTimeoutSeconds = 30;
    // Each request is in and answered within this time from its connection's start (or the end
    // of the connection's previous request), however slowly its bytes trickle in. An event
    // stream is exempt once it has begun; it ends when what it sent stays unacknowledged for
    // two heartbeats.
    std::chrono::milliseconds requestTimeLimit{30'000};
    std::chrono::milliseconds heartbeat{15'000};
    // How often an open event stream looks whether its phone has closed the page; the count of
    // phones follows within this time.
    std::chrono::milliseconds goneCheck{1'000};
    // An event stream whose phone answers nothing for this long (it left the Wi-Fi without a
    // word) is broken off by the system: TCP_USER_TIMEOUT, and keep-alive probes while the
    // stream is quiet. With the heartbeat the count of phones is right within a minute.
    std::chrono::milliseconds unansweredLimit{40'000};
    // The request line (query string included) and the header lines together, as they came.
    std::size_t maxHeaderBytes = 8 * 1024;
    // How many ports after the first one start() tries when one is taken.
    int extraPorts = 10;
    // How long a phone that polls /state (where event streams are unavailable) counts as
    // connected after its last request.
    std::chrono::milliseconds pollingClientLifetime{30'000};
};

class PageServer {
public:
    static constexpr std::uint16_t kDefaultPort = 8765;

    // `monotonic` must outlive the server; it is read from the server's threads.
    explicit PageServer(const MonotonicClock& monotonic, ServerSettings settings = {});
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    // Listens on `address` (a dotted-quad IPv4 address of this computer) and nowhere else, on
    // firstPort or, when it is taken, on the next free one of the following extraPorts ports.
    // Port 0 lets the system choose (tests). Stops a server already running first. Returns false,
    // with lastError() saying why in plain Japanese, when it cannot listen.
    bool start(std::string_view address, std::uint16_t firstPort = kDefaultPort);
    // Closes every connection and stops listening. Returns once the server's threads have ended.
    void stop();

    bool running() const;
    std::string address() const;
    std::uint16_t port() const;
    // "http://<address>:<port>/", the address for the QR code; empty while not running.
    std::string url() const;
    // Why the last start() failed, for the organiser; empty after a start that worked.
    const std::string& lastError() const;

    // Hands the page a new state. Cheap and never blocking: the snapshot is swapped in
    // atomically and the server's own thread is told, which wakes the event streams; they write
    // from their own threads. Before the first publish the page shows that it is waiting for the
    // laptop. Null counts as that.
    void publish(std::shared_ptr<const PageSnapshot> snapshot);
    std::shared_ptr<const PageSnapshot> current() const;

    // Phones connected: the distinct client addresses with an open event stream, or that
    // fetched /state within pollingClientLifetime. A phone with two tabs open counts once.
    int connectedCount() const;
    // Event streams open now, for tests and benchmarks.
    int openStreams() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The IPv4 addresses of this computer's interfaces that are up and connected, ordered for the
// window as orderAddresses() does (private first, 127.0.0.1 last). Read with getifaddrs; the
// window may use QNetworkInterface and orderAddresses() instead.
std::vector<NetworkAddress> connectedIPv4Addresses();

} // namespace velka::follow
