#include "playerspage/PageServer.h"

#include "playerspage/PageAssets.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <linux/tcp.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace velka::playerspage {

namespace {

// What the page needs from the laptop and nothing more: its own script, style and data.
constexpr const char* kContentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; connect-src 'self'; "
    "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

// The page's event stream reconnects this soon after losing the laptop, in milliseconds.
constexpr const char* kRetryMs = "2000";

// libmicrohttpd keeps each connection's request in a pool of this size; our own header limit is
// checked well inside it, so that a refusal still goes out with the security headers.
constexpr std::size_t kConnectionMemory = 32 * 1024;

enum class Route { Asset, State, Events };

// The one place that adds the headers every response carries.
void addSecurityHeaders(MHD_Response* response)
{
    MHD_add_response_header(response, "Content-Security-Policy", kContentSecurityPolicy);
    MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(response, "Referrer-Policy", "no-referrer");
    MHD_add_response_header(response, "X-Frame-Options", "DENY");
    MHD_add_response_header(response, "Cross-Origin-Resource-Policy", "same-origin");
}

MHD_Result queue(MHD_Connection* connection, unsigned status, MHD_Response* response)
{
    addSecurityHeaders(response);
    const MHD_Result result = MHD_queue_response(connection, status, response);
    MHD_destroy_response(response);
    return result;
}

// A refusal. Made as soon as the headers are in (all but the 429 of a stream too many), it goes
// out before the request's body (if any) is read, so the library closes the connection after
// it.
MHD_Result refuse(MHD_Connection* connection, unsigned status, const char* text,
                  std::initializer_list<std::pair<const char*, const char*>> headers = {})
{
    MHD_Response* response = MHD_create_response_from_buffer(
        std::strlen(text), const_cast<char*>(text), MHD_RESPMEM_PERSISTENT);
    MHD_add_response_header(response, "Content-Type", "text/plain; charset=utf-8");
    MHD_add_response_header(response, "Cache-Control", "no-store");
    for (const auto& [name, value] : headers)
        MHD_add_response_header(response, name, value);
    return queue(connection, status, response);
}

// The request target as it came, query string included: libmicrohttpd hands the handler the
// path alone. Each connection runs on a thread of its own (thread-per-connection), which reads
// one request at a time, so the thread keeps it for the request it is reading.
thread_local std::size_t requestTargetBytes = 0;

void* noteRequestTarget(void*, const char* uri, MHD_Connection*)
{
    requestTargetBytes = uri != nullptr ? std::strlen(uri) : 0;
    return nullptr;
}

struct HeaderSize {
    std::size_t bytes = 0;
};

MHD_Result countHeader(void* cls, MHD_ValueKind, const char* key, const char* value)
{
    // "Key: value\r\n"
    static_cast<HeaderSize*>(cls)->bytes +=
        std::strlen(key) + 2 + (value != nullptr ? std::strlen(value) : 0) + 2;
    return MHD_YES;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// Lets the calling server thread give way to the window's thread: a thread of the batch policy
// never preempts another when it wakes, and otherwise gets the processor as often as any.
// Without it, the streams that a change wakes take the window's processor from it for a
// millisecond or more on a machine of two cores. Once per thread.
void giveWayToTheWindow()
{
    thread_local bool done = false;
    if (done)
        return;
    done = true;
    sched_param normal{};
    normal.sched_priority = 0;
    ::pthread_setschedparam(::pthread_self(), SCHED_BATCH, &normal);
}

std::optional<std::uint32_t> clientAddress(MHD_Connection* connection)
{
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr || info->client_addr->sa_family != AF_INET)
        return std::nullopt;
    sockaddr_in address{};
    std::memcpy(&address, info->client_addr, sizeof address);
    return ntohl(address.sin_addr.s_addr);
}

struct Listener {
    int fd = -1;
    int error = 0;
};

// Which socket a descriptor's number stands for: the number may be given to another file once
// the socket is closed, the socket's identity is not.
struct SocketIdentity {
    dev_t device = 0;
    ino_t inode = 0;
};

std::optional<SocketIdentity> identify(int fd)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return std::nullopt;
    return SocketIdentity{status.st_dev, status.st_ino};
}

void closeIfStill(int fd, std::optional<SocketIdentity> socket)
{
    const std::optional<SocketIdentity> now = identify(fd);
    if (socket && now && now->device == socket->device && now->inode == socket->inode)
        ::close(fd);
}

// An event stream's socket: a phone that leaves without a word (out of the Wi-Fi) leaves the
// system resending for a quarter of an hour. Broken off instead once `limit` passes without an
// answer, whether data waits (TCP_USER_TIMEOUT) or the stream is quiet (keep-alive probes).
void giveUpUnanswered(int fd, std::chrono::milliseconds limit)
{
    const int ms = static_cast<int>(std::clamp<std::int64_t>(limit.count(), 1, INT_MAX));
    const int on = 1;
    const int idle = std::max(1, ms / 4'000);
    const int interval = std::max(1, ms / 8'000);
    const int probes = 6;
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &ms, sizeof ms);
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
}

Listener listenOn(std::uint32_t address, std::uint16_t port)
{
    Listener listener;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        listener.error = errno;
        return listener;
    }
    // Lets a restarted server take its port back while old connections linger in TIME_WAIT; a
    // port another program listens on stays refused.
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    where.sin_addr.s_addr = htonl(address);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        listener.error = errno;
        ::close(fd);
        return listener;
    }
    listener.fd = fd;
    return listener;
}

std::string bindError(int error, std::string_view address, std::uint16_t port)
{
    const std::string where(address);
    switch (error) {
    case EADDRNOTAVAIL:
        return "このパソコンには今、アドレス " + where +
               " がありません。ネットワークにつながっているか確かめて、一覧から選び直してください"
               "。";
    case EACCES:
        return "ポート " + std::to_string(port) + " を開く許可がありません。";
    case EAGAIN:
    case EMFILE:
    case ENFILE:
    case ENOBUFS:
    case ENOMEM:
        return "パソコンの資源が足りず、ページを公開できませんでした。ほかのプログラムを閉じてから"
               "、もう一度試してください。";
    default:
        break;
    }
    return "ページを公開できませんでした（システムのエラー番号 " + std::to_string(error) + "）。";
}

} // namespace

struct PageServer::Impl {
    // One open event stream; lives as long as libmicrohttpd holds its response.
    struct Stream {
        enum class Next { Send, Stop, Gone };

        Stream(Impl& s, std::optional<std::uint32_t> from, int socket)
            : server(s)
            , client(from)
            , fd(socket)
        {}

        // The phone closed the page (or the connection broke): nothing more to wait for.
        bool gone() const
        {
            if (fd < 0)
                return false;
            pollfd p{fd, POLLRDHUP, 0};
            return ::poll(&p, 1, 0) == 1 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
        }

        // What this stream sent has not moved for two heartbeats: the phone (or a program
        // posing as one) stopped reading, or is gone. Looked at once a heartbeat, from the
        // system's count of the bytes the phone acknowledged and of those still waiting.
        bool stalled()
        {
            tcp_info info{};
            socklen_t size = sizeof info;
            int waiting = 0;
            if (fd < 0 || ::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) != 0 ||
                size < offsetof(tcp_info, tcpi_bytes_acked) + sizeof info.tcpi_bytes_acked ||
                ::ioctl(fd, SIOCOUTQ, &waiting) != 0)
                return false;
            const bool moved = info.tcpi_bytes_acked != acknowledged;
            stalledBeats = waitingAtLastLook && !moved ? stalledBeats + 1 : 0;
            acknowledged = info.tcpi_bytes_acked;
            waitingAtLastLook = waiting > 0;
            return stalledBeats >= 2;
        }

        Impl& server;
        std::optional<std::uint32_t> client;
        int fd;
        std::uint32_t heartbeatSeen = 0;
        std::uint32_t lookedAtBeat = 0;
        std::uint64_t acknowledged = 0;
        bool waitingAtLastLook = false;
        int stalledBeats = 0;
        std::string sentTag;
        std::string pending;
        std::size_t offset = 0;
        bool first = true;

        // Waits for something to send: a new state, or the heartbeat. The server wakes every
        // stream now and then to look whether its phone is still there.
        Next next()
        {
            pending.clear();
            offset = 0;
            for (;;) {
                const std::uint32_t wake = server.wake.load(std::memory_order_acquire);
                if (server.stopping.load(std::memory_order_acquire))
                    return Next::Stop;
                if (gone())
                    return Next::Gone;
                const std::uint32_t beat = server.heartbeat.load(std::memory_order_acquire);
                if (beat != lookedAtBeat) {
                    lookedAtBeat = beat;
                    if (stalled())
                        return Next::Gone;
                }
                const std::shared_ptr<const PageSnapshot> snapshot = server.snapshot.load();
                const std::int64_t now = server.monotonic.milliseconds();
                if (snapshot->etag() != sentTag) {
                    sentTag = snapshot->etag();
                    if (first)
                        pending.append("retry: ").append(kRetryMs).append("\n");
                    first = false;
                    // Built in place: two hundred streams copy the state once each, not thrice.
                    pending += "event: state\ndata: ";
                    snapshot->appendJson(pending, now);
                    pending += "\n\n";
                    return Next::Send;
                }
                if (beat != heartbeatSeen) {
                    heartbeatSeen = beat;
                    pending = "event: ping\ndata: " + snapshot->clockJson(now) + "\n\n";
                    return Next::Send;
                }
                server.wake.wait(wake, std::memory_order_acquire);
            }
        }
    };

    struct Client {
        int streams = 0;
        std::int64_t lastPoll = 0;
        bool polled = false;
    };

    Impl(const MonotonicClock& clock, ServerSettings s)
        : monotonic(clock)
        , settings(s)
        , snapshot(std::make_shared<const PageSnapshot>())
    {
        for (std::size_t i = 0; i < kPageAssets.size(); ++i) {
            char tag[24];
            std::uint64_t hash = 14695981039346656037ull;
            for (const unsigned char c : kPageAssets[i].body) {
                hash ^= c;
                hash *= 1099511628211ull;
            }
            std::snprintf(tag, sizeof tag, "\"%016llx\"", static_cast<unsigned long long>(hash));
            assetTags[i] = tag;
        }
    }

    ~Impl()
    {
        if (beatEvents >= 0)
            ::close(beatEvents);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    void wakeStreams()
    {
        wake.fetch_add(1, std::memory_order_acq_rel);
        wake.notify_all();
    }

    // Tells the streams of a new state through the beat's thread. Waking hundreds of waiting
    // threads takes the waker a millisecond or more and hands them its processor; the window's
    // thread that publishes only writes to the beat's event counter, which takes no lock and
    // never waits.
    void announceChange()
    {
        // One signal for any number of changes until the beat's thread has taken them.
        if (!changeAnnounced.exchange(true, std::memory_order_acq_rel))
            signalBeat();
    }

    void signalBeat() const
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(beatEvents, &one, sizeof one);
    }

    // The heartbeat, the news of a new state, and between beats the look whether phones have
    // gone.
    void beat()
    {
        using std::chrono::steady_clock;
        giveWayToTheWindow();
        steady_clock::time_point nextBeat = steady_clock::now() + settings.heartbeat;
        while (!beatStop.load(std::memory_order_acquire)) {
            const steady_clock::time_point until =
                std::min(nextBeat, steady_clock::now() + settings.goneCheck);
            const auto wait =
                std::chrono::ceil<std::chrono::milliseconds>(until - steady_clock::now());
            pollfd events{beatEvents, POLLIN, 0};
            ::poll(&events, 1, static_cast<int>(std::max<std::int64_t>(wait.count(), 0)));
            // The counter is drained before the flag is cleared: a change announced between
            // the two finds the flag still set and signals nothing, and the wake below shows
            // it all the same; one announced after the clearing signals again. Cleared first,
            // a change in between would leave the flag set with nothing to wake this thread.
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(beatEvents, &count, sizeof count);
            changeAnnounced.exchange(false, std::memory_order_acq_rel);
            if (beatStop.load(std::memory_order_acquire))
                break;
            closeOverdue(monotonic.milliseconds());
            const steady_clock::time_point now = steady_clock::now();
            if (now >= nextBeat) {
                heartbeat.fetch_add(1, std::memory_order_acq_rel);
                nextBeat += settings.heartbeat;
                if (nextBeat <= now)
                    nextBeat = now + settings.heartbeat;
            }
            wakeStreams();
        }
    }

    // False when the address has all the streams it may have.
    bool streamOpened(std::optional<std::uint32_t> client)
    {
        if (client) {
            const std::lock_guard lock(clientsMutex);
            const auto found = clients.find(*client);
            if (found != clients.end() && found->second.streams >= settings.streamsPerAddress)
                return false;
            ++clients[*client].streams;
        }
        openStreams.fetch_add(1);
        return true;
    }

    void streamClosed(std::optional<std::uint32_t> client)
    {
        openStreams.fetch_sub(1);
        if (!client)
            return;
        const std::lock_guard lock(clientsMutex);
        const auto found = clients.find(*client);
        if (found != clients.end() && --found->second.streams <= 0 && !found->second.polled)
            clients.erase(found);
    }

    void polled(std::optional<std::uint32_t> client)
    {
        if (!client)
            return;
        const std::int64_t now = monotonic.milliseconds();
        const std::lock_guard lock(clientsMutex);
        // Keeps the table small against a scan from many addresses.
        if (clients.size() > 4 * settings.maxConnections)
            forgetGone(now);
        Client& c = clients[*client];
        c.polled = true;
        c.lastPoll = now;
    }

    // Under clientsMutex.
    void forgetGone(std::int64_t now)
    {
        for (auto i = clients.begin(); i != clients.end();) {
            Client& c = i->second;
            if (c.polled && now - c.lastPoll >= settings.pollingClientLifetime.count())
                c.polled = false;
            if (c.streams <= 0 && !c.polled)
                i = clients.erase(i);
            else
                ++i;
        }
    }

    // libmicrohttpd's word on each connection: from its start it has requestTimeLimit for its
    // first request. The closing word comes before the library closes the socket, so a
    // socket in `watched` is open while watchMutex is held.
    static void onConnection(void* cls, MHD_Connection* connection, void**,
                             MHD_ConnectionNotificationCode code)
    {
        Impl& server = *static_cast<Impl*>(cls);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            const MHD_ConnectionInfo* socket =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            if (socket == nullptr)
                return;
            const std::int64_t deadline =
                server.monotonic.milliseconds() + server.settings.requestTimeLimit.count();
            const std::lock_guard lock(server.watchMutex);
            server.watched[connection] = Watch{socket->connect_fd, deadline};
        } else {
            const std::lock_guard lock(server.watchMutex);
            server.watched.erase(connection);
        }
    }

    // A request answered: the connection's next one has its own time.
    static void onCompleted(void* cls, MHD_Connection* connection, void**,
                            MHD_RequestTerminationCode)
    {
        Impl& server = *static_cast<Impl*>(cls);
        server.setDeadline(connection, server.monotonic.milliseconds() +
                                           server.settings.requestTimeLimit.count());
    }

    void setDeadline(const MHD_Connection* connection, std::int64_t deadline)
    {
        const std::lock_guard lock(watchMutex);
        const auto found = watched.find(connection);
        if (found != watched.end())
            found->second.deadline = deadline;
    }

    // Ends the connections whose request ran out of time. The connection's own thread sees its
    // socket shut and closes it.
    void closeOverdue(std::int64_t now)
    {
        const std::lock_guard lock(watchMutex);
        for (auto& [connection, watch] : watched) {
            if (now >= watch.deadline) {
                ::shutdown(watch.fd, SHUT_RDWR);
                watch.deadline = kNoDeadline;
            }
        }
    }

    static ssize_t readStream(void* cls, std::uint64_t, char* buffer, std::size_t max)
    {
        Stream& stream = *static_cast<Stream*>(cls);
        if (stream.offset == stream.pending.size()) {
            switch (stream.next()) {
            case Stream::Next::Stop:
                return MHD_CONTENT_READER_END_OF_STREAM;
            case Stream::Next::Gone:
                return MHD_CONTENT_READER_END_WITH_ERROR;
            case Stream::Next::Send:
                break;
            }
        }
        const std::size_t n = std::min(max, stream.pending.size() - stream.offset);
        // NOLINTNEXTLINE(bugprone-not-null-terminated-result): bytes of the stream, not a string
        std::memcpy(buffer, stream.pending.data() + stream.offset, n);
        stream.offset += n;
        return static_cast<ssize_t>(n);
    }

    static void freeStream(void* cls)
    {
        Stream* stream = static_cast<Stream*>(cls);
        stream->server.streamClosed(stream->client);
        delete stream;
    }

    // What the first call found a request to ask for, once it passed every check.
    struct Accepted {
        Route route;
        std::size_t asset;
        bool head;
    };

    static const Accepted* accepted(Route route, std::size_t asset, bool head)
    {
        static const auto table = [] {
            std::array<Accepted, 2 * (std::tuple_size_v<decltype(kPageAssets)> + 2)> all{};
            std::size_t i = 0;
            for (const bool h : {false, true}) {
                for (std::size_t a = 0; a < kPageAssets.size(); ++a)
                    all[i++] = {Route::Asset, a, h};
                all[i++] = {Route::State, 0, h};
                all[i++] = {Route::Events, 0, h};
            }
            return all;
        }();
        for (const Accepted& a : table) {
            if (a.route == route && a.asset == asset && a.head == head)
                return &a;
        }
        return nullptr;
    }

    // libmicrohttpd calls this once the headers are in, and again once the request is
    // complete. Every check runs on the first call, before a byte of any body is read: a
    // refusal goes out at once, and the library then closes the connection. What passes is
    // answered on the second call, which keeps the connection open for the next request.
    static MHD_Result onRequest(void* cls, MHD_Connection* connection, const char* url,
                                const char* method, const char* version, const char*,
                                std::size_t* uploadSize, void** requestState)
    {
        Impl& server = *static_cast<Impl*>(cls);
        giveWayToTheWindow(); // the connection's own thread
        if (*requestState == nullptr) {
            const Accepted* ok = nullptr;
            const MHD_Result result = server.check(connection, url, method, version, ok);
            if (ok == nullptr)
                return result;
            *requestState = const_cast<Accepted*>(ok);
            return MHD_YES;
        }
        if (*uploadSize != 0)
            return MHD_NO; // a body after all: the connection is dropped
        const Accepted& ok = *static_cast<const Accepted*>(*requestState);
        switch (ok.route) {
        case Route::Asset:
            return server.serveAsset(connection, ok.asset);
        case Route::State:
            return server.serveState(connection);
        case Route::Events:
            return server.serveEvents(connection, ok.head);
        }
        return MHD_NO;
    }

    MHD_Result check(MHD_Connection* connection, std::string_view url, std::string_view method,
                     std::string_view version, const Accepted*& ok)
    {
        const std::size_t target = std::max(url.size(), requestTargetBytes);
        HeaderSize size{method.size() + 1 + target + 1 + version.size() + 2 + 2};
        MHD_get_connection_values(connection, MHD_HEADER_KIND, &countHeader, &size);
        if (size.bytes > settings.maxHeaderBytes)
            return refuse(connection, 431, "リクエストのヘッダーが大きすぎます。\n");

        const char* host = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Host");
        if (host == nullptr || !equalsIgnoringCase(host, hostHeader))
            return refuse(connection, 421, "このアドレスでは公開していません。\n");

        std::optional<Route> route;
        std::size_t asset = 0;
        for (; asset < kPageAssets.size(); ++asset) {
            if (url == kPageAssets[asset].path) {
                route = Route::Asset;
                break;
            }
        }
        if (url == "/state")
            route = Route::State;
        else if (url == "/events")
            route = Route::Events;
        if (!route)
            return refuse(connection, 404, "ページが見つかりません。\n");

        const bool head = method == "HEAD";
        if (!head && method != "GET")
            return refuse(connection, 405, "このページは読むことしかできません。\n",
                          {{"Allow", "GET, HEAD"}});

        const char* length =
            MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Content-Length");
        const char* chunked =
            MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "Transfer-Encoding");
        if (chunked != nullptr || (length != nullptr && std::string_view(length) != "0"))
            return refuse(connection, 413, "リクエストに本文は付けられません。\n");

        ok = accepted(*route, *route == Route::Asset ? asset : 0, head);
        return MHD_YES;
    }

    static bool matches(MHD_Connection* connection, const std::string& tag)
    {
        const char* given =
            MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "If-None-Match");
        if (given == nullptr)
            return false;
        // A list of tags, or "*".
        const std::string_view list(given);
        if (list == "*")
            return true;
        for (std::size_t at = list.find(tag); at != std::string_view::npos;
             at = list.find(tag, at + 1)) {
            const bool startsItem = at == 0 || list[at - 1] == ' ' || list[at - 1] == ',' ||
                                    (at >= 2 && list.substr(at - 2, 2) == "W/");
            const std::size_t end = at + tag.size();
            if (startsItem && (end == list.size() || list[end] == ',' || list[end] == ' '))
                return true;
        }
        return false;
    }

    MHD_Result notModified(MHD_Connection* connection, const std::string& tag)
    {
        MHD_Response* response =
            MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
        MHD_add_response_header(response, "ETag", tag.c_str());
        MHD_add_response_header(response, "Cache-Control", "no-cache");
        return queue(connection, 304, response);
    }

    MHD_Result serveAsset(MHD_Connection* connection, std::size_t index)
    {
        const PageAsset& asset = kPageAssets[index];
        if (matches(connection, assetTags[index]))
            return notModified(connection, assetTags[index]);
        MHD_Response* response = MHD_create_response_from_buffer(
            asset.body.size(), const_cast<char*>(asset.body.data()), MHD_RESPMEM_PERSISTENT);
        MHD_add_response_header(response, "Content-Type", std::string(asset.contentType).c_str());
        MHD_add_response_header(response, "Cache-Control", "no-cache");
        MHD_add_response_header(response, "ETag", assetTags[index].c_str());
        return queue(connection, 200, response);
    }

    MHD_Result serveState(MHD_Connection* connection)
    {
        polled(clientAddress(connection));
        const std::shared_ptr<const PageSnapshot> current = snapshot.load();
        if (matches(connection, current->etag()))
            return notModified(connection, current->etag());
        std::string body = current->json(monotonic.milliseconds());
        MHD_Response* response =
            MHD_create_response_from_buffer(body.size(), body.data(), MHD_RESPMEM_MUST_COPY);
        MHD_add_response_header(response, "Content-Type", "application/json; charset=utf-8");
        MHD_add_response_header(response, "Cache-Control", "no-cache");
        MHD_add_response_header(response, "ETag", current->etag().c_str());
        return queue(connection, 200, response);
    }

    MHD_Result serveEvents(MHD_Connection* connection, bool head)
    {
        MHD_Response* response = nullptr;
        if (head) {
            response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
        } else {
            const std::optional<std::uint32_t> client = clientAddress(connection);
            if (!streamOpened(client)) {
                return refuse(connection, 429, "この端末からはこれ以上つなげません。\n",
                              {{"Retry-After", "15"}});
            }
            const MHD_ConnectionInfo* socket =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            auto* stream = new Stream(*this, client, socket != nullptr ? socket->connect_fd : -1);
            stream->heartbeatSeen = heartbeat.load(std::memory_order_acquire);
            stream->lookedAtBeat = stream->heartbeatSeen;
            response = MHD_create_response_from_callback(MHD_SIZE_UNKNOWN, 8 * 1024, &readStream,
                                                         stream, &freeStream);
            if (response == nullptr) {
                streamClosed(client);
                delete stream;
                return MHD_NO;
            }
            if (stream->fd >= 0)
                giveUpUnanswered(stream->fd, settings.unansweredLimit);
            // The stream has no end; what bounds it is its phone taking what it sends. Bytes
            // the library cannot even hand to the system for two heartbeats end it here, bytes
            // the system cannot deliver for as long end it in stalled().
            const auto twoBeats = std::chrono::ceil<std::chrono::seconds>(2 * settings.heartbeat);
            MHD_set_connection_option(
                connection, MHD_CONNECTION_OPTION_TIMEOUT,
                static_cast<unsigned>(std::clamp<std::int64_t>(twoBeats.count(), 1, UINT_MAX)));
            setDeadline(connection, kNoDeadline);
        }
        MHD_add_response_header(response, "Content-Type", "text/event-stream; charset=utf-8");
        MHD_add_response_header(response, "Cache-Control", "no-store");
        return queue(connection, 200, response);
    }

    const MonotonicClock& monotonic;
    const ServerSettings settings;
    std::array<std::string, std::tuple_size_v<decltype(kPageAssets)>> assetTags;

    // The published state: read by every stream and request, replaced at each publish. The
    // lock is held only while the pointer is copied or swapped; a replaced state is let go after
    // it. (GCC 12's std::atomic<std::shared_ptr> guards the same copy with a spin on a bit of the
    // count that ThreadSanitizer does not know as a lock: its reports there stalled the test run
    // while another thread spun.)
    class SnapshotSlot {
    public:
        explicit SnapshotSlot(std::shared_ptr<const PageSnapshot> first)
            : current_(std::move(first))
        {}
        std::shared_ptr<const PageSnapshot> load() const
        {
            const std::lock_guard lock(mutex_);
            return current_;
        }
        std::shared_ptr<const PageSnapshot> exchange(std::shared_ptr<const PageSnapshot> next)
        {
            const std::lock_guard lock(mutex_);
            current_.swap(next);
            return next;
        }

    private:
        mutable std::mutex mutex_;
        std::shared_ptr<const PageSnapshot> current_;
    };
    SnapshotSlot snapshot;
    std::atomic<std::uint32_t> wake{0};
    std::atomic<std::uint32_t> heartbeat{0};
    std::atomic<bool> stopping{false};
    std::atomic<int> openStreams{0};

    std::mutex clientsMutex;
    std::unordered_map<std::uint32_t, Client> clients;

    struct Watch {
        int fd;
        std::int64_t deadline;
    };
    static constexpr std::int64_t kNoDeadline = INT64_MAX;
    std::mutex watchMutex;
    std::unordered_map<const MHD_Connection*, Watch> watched;

    // Counts the changes announced (and the stop) for the beat's thread; non-blocking.
    const int beatEvents = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::atomic<bool> beatStop{false};
    std::atomic<bool> changeAnnounced{false};
    std::thread beatThread;

    MHD_Daemon* daemon = nullptr;
    std::string address;
    std::uint16_t port = 0;
    std::string hostHeader;
    std::string lastError;
};

PageServer::PageServer(const MonotonicClock& monotonic, ServerSettings settings)
    : impl_(std::make_unique<Impl>(monotonic, settings))
{}

PageServer::~PageServer()
{
    stop();
}

bool PageServer::start(std::string_view address, std::uint16_t firstPort)
{
    stop();
    Impl& s = *impl_;
    s.lastError.clear();
    const std::optional<std::uint32_t> ip = parseIPv4(address);
    if (!ip) {
        s.lastError = "「" + std::string(address) + "」は IPv4 アドレスとして読めません。";
        return false;
    }
    if (s.beatEvents < 0) {
        s.lastError = bindError(EMFILE, address, firstPort); // no event counter: out of resources
        return false;
    }

    Listener listener;
    const int tries = firstPort == 0 ? 1 : std::max(1, s.settings.extraPorts + 1);
    int lastPort = firstPort;
    for (int i = 0; i < tries && firstPort + i <= 65535; ++i) {
        lastPort = firstPort + i;
        listener = listenOn(*ip, static_cast<std::uint16_t>(lastPort));
        if (listener.fd >= 0 || listener.error != EADDRINUSE)
            break;
    }
    if (listener.fd < 0) {
        if (listener.error == EADDRINUSE) {
            s.lastError = "ポート " + std::to_string(firstPort) + "～" + std::to_string(lastPort) +
                          " はすべてほかのプログラムが使っています。そのプログラムを終了してから、"
                          "もう一度公開してください。";
        } else {
            s.lastError = bindError(listener.error, address, static_cast<std::uint16_t>(lastPort));
        }
        return false;
    }
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    ::getsockname(listener.fd, reinterpret_cast<sockaddr*>(&bound), &length);
    const std::optional<SocketIdentity> listening = identify(listener.fd);

    s.address = std::string(address);
    s.port = ntohs(bound.sin_port);
    s.hostHeader = s.address + ":" + std::to_string(s.port);
    s.stopping = false;
    s.daemon = MHD_start_daemon(
        MHD_USE_THREAD_PER_CONNECTION | MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_POLL, 0, nullptr,
        nullptr, &Impl::onRequest, &s, MHD_OPTION_LISTEN_SOCKET, listener.fd,
        MHD_OPTION_CONNECTION_LIMIT, s.settings.maxConnections, MHD_OPTION_PER_IP_CONNECTION_LIMIT,
        s.settings.connectionsPerAddress, MHD_OPTION_CONNECTION_TIMEOUT,
        s.settings.idleTimeoutSeconds, MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory,
        MHD_OPTION_NOTIFY_CONNECTION, &Impl::onConnection, &s, MHD_OPTION_NOTIFY_COMPLETED,
        &Impl::onCompleted, &s, MHD_OPTION_URI_LOG_CALLBACK, &noteRequestTarget, nullptr,
        MHD_OPTION_END);
    if (s.daemon == nullptr) {
        // The library closes the socket it was given on some failures (its thread would not
        // start) and not on others. Closed, its number may already belong to a file another
        // thread opened: only the same socket is closed here.
        closeIfStill(listener.fd, listening);
        s.lastError = "ページを公開するサーバーを起動できませんでした。";
        s.port = 0;
        return false;
    }
    s.beatStop = false;
    try {
        s.beatThread = std::thread([&s] { s.beat(); });
    } catch (const std::system_error&) {
        MHD_stop_daemon(s.daemon); // closes the listening socket
        s.daemon = nullptr;
        s.port = 0;
        s.hostHeader.clear();
        s.lastError = bindError(EAGAIN, address, firstPort);
        return false;
    }
    return true;
}

void PageServer::stop()
{
    Impl& s = *impl_;
    if (s.daemon == nullptr)
        return;
    s.stopping = true;
    s.wakeStreams();
    s.beatStop = true;
    s.signalBeat();
    if (s.beatThread.joinable())
        s.beatThread.join();
    MHD_stop_daemon(s.daemon);
    s.daemon = nullptr;
    s.port = 0;
    s.hostHeader.clear();
    {
        // The library has ended every connection: an entry it left would name a socket number
        // that another file may take next.
        const std::lock_guard lock(s.watchMutex);
        s.watched.clear();
    }
    const std::lock_guard lock(s.clientsMutex);
    s.clients.clear();
}

bool PageServer::running() const
{
    return impl_->daemon != nullptr;
}

std::string PageServer::address() const
{
    return running() ? impl_->address : std::string();
}

std::uint16_t PageServer::port() const
{
    return impl_->port;
}

std::string PageServer::url() const
{
    if (!running())
        return {};
    return "http://" + impl_->hostHeader + "/";
}

const std::string& PageServer::lastError() const
{
    return impl_->lastError;
}

void PageServer::publish(std::shared_ptr<const PageSnapshot> snapshot)
{
    if (!snapshot)
        snapshot = std::make_shared<const PageSnapshot>();
    const std::string tag = snapshot->etag();
    const std::shared_ptr<const PageSnapshot> previous =
        impl_->snapshot.exchange(std::move(snapshot));
    if (previous->etag() != tag)
        impl_->announceChange();
}

std::shared_ptr<const PageSnapshot> PageServer::current() const
{
    return impl_->snapshot.load();
}

int PageServer::connectedCount() const
{
    Impl& s = *impl_;
    const std::lock_guard lock(s.clientsMutex);
    s.forgetGone(s.monotonic.milliseconds());
    return static_cast<int>(s.clients.size());
}

int PageServer::openStreams() const
{
    return impl_->openStreams.load();
}

} // namespace velka::playerspage
