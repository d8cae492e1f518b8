#include "follow/PageServer.h"

#include "follow/PageAssets.h"
#include "tests/follow/RawHttp.h"
#include "tests/follow/SystemCallFaults.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace velka::follow {
namespace {

using test::HttpResponse;
using test::RawConnection;

class TestMonotonic final : public MonotonicClock {
public:
    std::int64_t milliseconds() const override { return ms.load(); }
    std::atomic<std::int64_t> ms{1'000};
};

// Four players, the first of them named `first`, and a countdown of a minute read at `at`.
std::shared_ptr<const PageSnapshot> fieldOfFour(const std::string& first, std::int64_t at = 1'000)
{
    BracketState bracket;
    bracket.players.resize(4);
    for (int i = 0; i < 4; ++i) {
        bracket.players[i].slot = i;
        bracket.players[i].name = i == 0 ? first : "選手" + std::to_string(i + 1);
    }
    const ClockState clock{ClockMode::Countdown, 60'000, 0, at, 1'800'000'000};
    return std::make_shared<const PageSnapshot>(PageState{bracket, clock});
}

// Every response carries them, errors and event streams included.
void expectSecurityHeaders(const HttpResponse& r, const std::string& what)
{
    EXPECT_NE(r.header("content-security-policy").find("default-src 'none'"), std::string::npos)
        << what;
    EXPECT_EQ(r.header("x-content-type-options"), "nosniff") << what;
    EXPECT_EQ(r.header("referrer-policy"), "no-referrer") << what;
}

// Waits (boundedly) until `done` holds; the server notices a closed connection in its own time.
template <typename Condition>
bool eventually(Condition done)
{
    for (int attempt = 0; attempt < 5000; ++attempt) {
        if (done())
            return true;
        ::usleep(2'000);
    }
    return done();
}

class PageServerTest : public ::testing::Test {
protected:
    // A server with the field of four published; the phones' looks come every 20 ms unless
    // the settings choose otherwise.
    void create(ServerSettings settings = {})
    {
        settings.pollingClientLifetime = std::chrono::hours(1);
        if (settings.goneCheck == ServerSettings{}.goneCheck)
            settings.goneCheck = std::chrono::milliseconds(20);
        server = std::make_unique<PageServer>(clock, settings);
        server->publish(fieldOfFour("選手1"));
    }

    void listen()
    {
        ASSERT_TRUE(server->start("127.0.0.1", 0)) << server->lastError();
        host = "127.0.0.1:" + std::to_string(server->port());
    }

    void start(ServerSettings settings = {})
    {
        create(settings);
        listen();
    }

    std::optional<HttpResponse> get(const std::string& path, const std::string& more = {},
                                    const char* from = "127.0.0.1")
    {
        RawConnection c(server->port(), from);
        return c.request("GET", path, host, more) ? c.response() : std::nullopt;
    }

    // An event stream from `from`, past its headers.
    std::unique_ptr<RawConnection> stream(const char* from = "127.0.0.1")
    {
        auto c = std::make_unique<RawConnection>(server->port(), from);
        c->request("GET", "/events", host);
        EXPECT_TRUE(c->streamHeaders());
        return c;
    }

    TestMonotonic clock;
    std::unique_ptr<PageServer> server;
    std::string host;
};

TEST_F(PageServerTest, AnswersOnlyWhatThePageNeeds)
{
    start();
    struct Case {
        const char* method;
        const char* path;
        std::string host; // "" for the published address
        int status;
        const char* type;     // the Content-Type's start, or ""
        const char* contains; // in the body, or ""
    };
    const std::string port = std::to_string(server->port());
    const std::vector<Case> cases = {
        {"GET", "/", "", 200, "text/html; charset=utf-8", "lang=\"ja\""},
        {"GET", "/app.js", "", 200, "text/javascript; charset=utf-8", "EventSource"},
        {"GET", "/app.css", "", 200, "text/css; charset=utf-8", ".clock"},
        {"GET", "/state", "", 200, "application/json; charset=utf-8", "選手3"},
        {"GET", "/state?since=1", "", 200, "application/json", "選手3"},
        {"HEAD", "/", "", 200, "text/html", ""},
        {"HEAD", "/state", "", 200, "application/json", ""},
        {"HEAD", "/events", "", 200, "text/event-stream", ""},
        {"GET", "/index.html", "", 404, "text/plain", ""},
        {"GET", "/state/", "", 404, "", ""},
        {"GET", "/../state", "", 404, "", ""},
        {"GET", "/EVENTS", "", 404, "", ""},
        {"POST", "/", "", 405, "text/plain", ""},
        {"PUT", "/state", "", 405, "", ""},
        {"OPTIONS", "/app.js", "", 405, "", ""},
        {"TRACE", "/nothing", "", 404, "", ""},
        {"GET", "/", "evil.example:" + port, 421, "text/plain", ""},
        {"GET", "/state", "127.0.0.1", 421, "", ""},
        {"GET", "/state", "127.0.0.1:1" + port, 421, "", ""},
        {"GET", "/state", "localhost:" + port, 421, "", ""},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.method) + " " + c.path + " Host " + c.host;
        RawConnection connection(server->port());
        ASSERT_TRUE(connection.request(c.method, c.path, c.host.empty() ? host : c.host));
        const std::optional<HttpResponse> r = connection.response(c.method == std::string("HEAD"));
        ASSERT_TRUE(r) << what;
        EXPECT_EQ(r->status, c.status) << what;
        EXPECT_EQ(r->header("content-type").rfind(c.type, 0), 0u) << what;
        EXPECT_NE(r->body.find(c.contains), std::string::npos) << what;
        EXPECT_EQ(r->header("allow"), c.status == 405 ? "GET, HEAD" : "") << what;
        expectSecurityHeaders(*r, what);
    }
}

// Headers beyond 8 KiB, in one line or in many, and any request body are refused, and the
// connection ends there: nothing unread is taken for a next request.
TEST_F(PageServerTest, RefusesWhatItWillNotRead)
{
    start();
    const auto request = [&](const std::string& start, const std::string& more) {
        return start + " HTTP/1.1\r\nHost: " + host + "\r\n" + more;
    };
    const auto filler = [](std::size_t size) {
        return "X-Filler: " + std::string(size, 'a') + "\r\n\r\n";
    };
    std::string manySmall;
    for (int i = 0; i < 600; ++i)
        manySmall += "X-" + std::to_string(i) + ": 1\r\n";
    struct Case {
        const char* what;
        std::string request;
        int status; // 0: refused by the library itself, or by a closed connection
    };
    const std::vector<Case> cases = {
        {"headers just under the limit", request("GET /state", filler(7'900)), 200},
        {"headers over the limit", request("GET /state", filler(8'300)), 431},
        {"a query string just under the limit",
         request("GET /state?" + std::string(7'900, 'q'), "\r\n"), 200},
        {"a query string over the limit", request("GET /state?" + std::string(20'000, 'q'), "\r\n"),
         431},
        {"headers beyond the connection's memory", request("GET /state", filler(60'000)), 0},
        {"many small headers", request("GET /state", manySmall + "\r\n"), 0},
        {"an empty body", request("GET /state", "Content-Length: 0\r\n\r\n"), 200},
        {"GET with a body", request("GET /state", "Content-Length: 5\r\n\r\nhello"), 413},
        {"GET with a chunked body",
         request("GET /state", "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"), 413},
        {"POST with a body", request("POST /state", "Content-Length: 5\r\n\r\nhello"), 405},
        {"POST elsewhere", request("POST /upload", "Content-Length: 5\r\n\r\nhello"), 404},
        {"a body for the wrong host",
         "POST / HTTP/1.1\r\nHost: evil.example\r\nContent-Length: 5\r\n\r\nhello", 421},
        {"HTTP/1.0 without a Host", "GET /state HTTP/1.0\r\n\r\n", 421},
    };
    for (const Case& c : cases) {
        RawConnection connection(server->port());
        connection.send(c.request);
        const std::optional<HttpResponse> r = connection.response();
        if (c.status == 0) {
            EXPECT_TRUE(!r || r->status >= 400) << c.what;
        } else {
            ASSERT_TRUE(r) << c.what;
            EXPECT_EQ(r->status, c.status) << c.what;
            expectSecurityHeaders(*r, c.what);
        }
        if (c.status != 200) {
            EXPECT_TRUE(connection.closedByServer()) << c.what;
        }
    }
    ASSERT_TRUE(get("/state"));
}

TEST_F(PageServerTest, TagsTheStateAndAnswersUnchangedWith304)
{
    start();
    const std::optional<HttpResponse> first = get("/state");
    ASSERT_TRUE(first);
    const std::string tag = first->header("etag");
    ASSERT_FALSE(tag.empty());
    EXPECT_EQ(first->header("cache-control"), "no-cache");

    struct Case {
        std::string given;
        int status;
    };
    for (const Case& c : {Case{tag, 304}, Case{"\"other\", " + tag, 304}, Case{"W/" + tag, 304},
                          Case{"*", 304}, Case{"\"x" + tag.substr(1), 200}}) {
        const std::optional<HttpResponse> again =
            get("/state", "If-None-Match: " + c.given + "\r\n");
        ASSERT_TRUE(again);
        EXPECT_EQ(again->status, c.status) << c.given;
        EXPECT_EQ(again->header("etag"), tag) << c.given;
        expectSecurityHeaders(*again, c.given);
    }

    server->publish(fieldOfFour("改名"));
    const std::optional<HttpResponse> changed = get("/state", "If-None-Match: " + tag + "\r\n");
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->status, 200);
    EXPECT_NE(changed->header("etag"), tag);
    EXPECT_NE(changed->body.find("改名"), std::string::npos);

    const std::optional<HttpResponse> page = get("/");
    ASSERT_TRUE(page);
    const std::optional<HttpResponse> cached =
        get("/", "If-None-Match: " + page->header("etag") + "\r\n");
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->status, 304);
}

// Both /state and the heartbeat count the clock on from the snapshot's reading.
TEST_F(PageServerTest, ServesTheLatestSnapshotWithItsClockBroughtForward)
{
    ServerSettings settings;
    settings.heartbeat = std::chrono::milliseconds(50);
    start(settings);
    clock.ms = 4'000; // three seconds after the snapshot's reading
    const auto state = [&] {
        const std::optional<HttpResponse> r = get("/state");
        return r ? nlohmann::json::parse(r->body) : nlohmann::json();
    };
    EXPECT_EQ(state()["clock"]["msLeft"], 57'000);

    const std::unique_ptr<RawConnection> events = stream();
    ASSERT_FALSE(events->readStreamUntil("event: ping\ndata: ").empty());
    const std::string ping = events->readStreamUntil("\n\n");
    EXPECT_EQ(nlohmann::json::parse(ping.substr(0, ping.size() - 2))["clock"]["msLeft"], 57'000);

    server->publish(nullptr); // back to nothing known: the page waits for the laptop
    EXPECT_EQ(state(), nlohmann::json::parse(PageSnapshot().json(0)));
}

// A browser opens six connections to a server at most: eight from one address, four of them
// event streams, leave a laptop with many addresses unable to take every phone's place.
TEST_F(PageServerTest, LimitsWhatOneAddressAndAllMayHold)
{
    struct Case {
        const char* what;
        const char* path; // HEAD /state holds a connection, GET /events a stream
        int addresses;    // 127.0.0.2 and up
        int each;
        const char* beyond; // one more, from here
        int status;         // what it gets; 0 when closed without an answer
    };
    const std::vector<Case> cases = {
        {"connections from one address", "/state", 1, 8, "127.0.0.2", 0},
        {"event streams from one address", "/events", 1, 4, "127.0.0.2", 429},
        {"connections in all", "/state", 32, 8, "127.0.0.40", 0},
    };
    for (const Case& c : cases) {
        start();
        const bool streams = c.path == std::string("/events");
        std::vector<std::unique_ptr<RawConnection>> open;
        const auto attempt = [&](const std::string& from) {
            open.push_back(std::make_unique<RawConnection>(server->port(), from.c_str()));
            open.back()->request(streams ? "GET" : "HEAD", c.path, host);
            return streams ? open.back()->streamHeaders() : open.back()->response(true);
        };
        for (int a = 0; a < c.addresses; ++a) {
            const std::string from = "127.0.0." + std::to_string(2 + a);
            for (int i = 0; i < c.each; ++i) {
                const std::optional<HttpResponse> r = attempt(from);
                ASSERT_TRUE(r && r->status == 200) << c.what << ": " << from << " #" << i;
            }
        }
        const std::optional<HttpResponse> refused = attempt(c.beyond);
        if (c.status == 0) {
            EXPECT_FALSE(refused) << c.what;
            EXPECT_TRUE(open.back()->closedWithoutAnswer()) << c.what;
        } else {
            ASSERT_TRUE(refused) << c.what;
            EXPECT_EQ(refused->status, c.status) << c.what;
            expectSecurityHeaders(*refused, c.what);
        }
        if (c.addresses > 1)
            continue;
        // Once one goes, the address may again.
        open.erase(open.begin());
        bool again = false;
        for (int i = 0; i < 5000 && !again; ++i) {
            const std::optional<HttpResponse> r = attempt(c.beyond);
            again = r && r->status == 200;
            if (!again) {
                open.pop_back();
                ::usleep(2'000);
            }
        }
        EXPECT_TRUE(again) << c.what;
    }
}

TEST_F(PageServerTest, ClosesIdleConnectionsButNotEventStreams)
{
    ServerSettings settings;
    settings.idleTimeoutSeconds = 1;
    settings.heartbeat = std::chrono::milliseconds(2'500);
    start(settings);
    const std::unique_ptr<RawConnection> events = stream();
    ASSERT_FALSE(events->readStreamUntil("event: state").empty());

    RawConnection silent(server->port());
    RawConnection halfRequest(server->port());
    halfRequest.send("GET /state HTTP/1.1\r\nHost: " + host + "\r\n");
    RawConnection keptAlive(server->port());
    keptAlive.request("GET", "/state", host);
    ASSERT_TRUE(keptAlive.response());

    EXPECT_TRUE(silent.closedWithoutAnswer());
    EXPECT_TRUE(halfRequest.closedWithoutAnswer());
    EXPECT_TRUE(keptAlive.closedWithoutAnswer());
    // The stream said nothing for longer than the idle limit and is still there.
    EXPECT_FALSE(events->readStreamUntil("event: ping").empty());
}

// A request sent a line at a time restarts the idle timer with each line; its whole time is
// bounded all the same, on the server's clock.
TEST_F(PageServerTest, GivesARequestThirtySecondsHoweverSlowlyItComes)
{
    start();
    const std::int64_t began = clock.ms;
    RawConnection slow(server->port());
    ASSERT_TRUE(slow.send("GET /state HTTP/1.1\r\nHost: " + host + "\r\n"));
    bool ended = false;
    for (int line = 0; line < 100 && !ended; ++line) {
        clock.ms += 5'000;
        ended = !slow.send("X-Line-" + std::to_string(line) + ": 1\r\n") || slow.endsWithin(100);
    }
    EXPECT_TRUE(ended);
    EXPECT_GE(clock.ms - began, 30'000);
    // An event stream is exempt once it has begun.
    const std::unique_ptr<RawConnection> events = stream();
    ASSERT_FALSE(events->readStreamUntil("event: state").empty());
    clock.ms += 3'600'000;
    server->publish(fieldOfFour("一時間後"));
    EXPECT_FALSE(events->readStreamUntil("一時間後").empty());
}

// A program that opens a stream and reads nothing: once what it was sent has waited unread for
// two heartbeats, its stream ends; a phone that reads keeps its own.
TEST_F(PageServerTest, EndsAStreamWhoseDataStaysUnread)
{
    ServerSettings settings;
    settings.heartbeat = std::chrono::milliseconds(50);
    start(settings);
    server->publish(fieldOfFour(std::string(6'000, 'x')));
    const std::unique_ptr<RawConnection> reading = stream("127.0.0.3");
    RawConnection silent(server->port(), "127.0.0.2", 1);
    silent.request("GET", "/events", host);
    ASSERT_TRUE(eventually([&] { return server->openStreams() == 2; }));
    EXPECT_TRUE(eventually([&] { return server->openStreams() == 1; }));
    EXPECT_EQ(server->connectedCount(), 1);
    EXPECT_FALSE(reading->readStreamUntil("event: ping").empty());
}

TEST_F(PageServerTest, EventStreamsGetEveryChangeOnce)
{
    ServerSettings settings;
    settings.heartbeat = std::chrono::hours(1);
    start(settings);
    RawConnection events(server->port());
    events.request("GET", "/events", host);
    const std::optional<HttpResponse> head = events.streamHeaders();
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_EQ(head->header("content-type"), "text/event-stream; charset=utf-8");
    EXPECT_EQ(head->header("cache-control"), "no-store");
    expectSecurityHeaders(*head, "/events");

    const std::string first = events.readStreamUntil("\n\n");
    EXPECT_NE(first.find("retry: 2000\n"), std::string::npos);
    EXPECT_NE(first.find("event: state\ndata: {"), std::string::npos);
    EXPECT_NE(first.find("選手1"), std::string::npos);

    server->publish(fieldOfFour("二番目"));
    EXPECT_NE(events.readStreamUntil("\n\n").find("二番目"), std::string::npos);
    // The same content again, only read later: no event. The next one is the next change.
    server->publish(fieldOfFour("二番目", 5'000));
    server->publish(fieldOfFour("三番目"));
    const std::string third = events.readStreamUntil("\n\n");
    EXPECT_NE(third.find("三番目"), std::string::npos);
    EXPECT_EQ(third.find("二番目"), std::string::npos);

    // Stopping ends the stream; the server starts again on the same port.
    const std::uint16_t port = server->port();
    server->stop();
    EXPECT_FALSE(server->running());
    EXPECT_TRUE(events.closedByServer());
    ASSERT_TRUE(server->start("127.0.0.1", port)) << server->lastError();
    EXPECT_EQ(server->port(), port);
}

// The event counters open in this process: the server's own, before libmicrohttpd makes one.
std::vector<int> eventCounters()
{
    std::vector<int> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error).string() == "anon_inode:[eventfd]")
            found.push_back(std::stoi(entry.path().filename().string()));
    }
    return found;
}

// A change published while the heartbeat's thread takes the changes announced before it (here
// just before it drains its counter, the one moment that matters) reaches the phones, and so
// does the next one. Nothing else wakes the streams: no heartbeat, no look for gone phones.
TEST_F(PageServerTest, NoChangeIsLostWhileTheLastOnesAreTaken)
{
    ServerSettings settings;
    settings.heartbeat = std::chrono::hours(1);
    settings.goneCheck = std::chrono::hours(1);
    create(settings);
    const std::vector<int> counters = eventCounters();
    ASSERT_EQ(counters.size(), 1u);
    listen();
    const std::unique_ptr<RawConnection> events = stream();
    ASSERT_FALSE(events->readStreamUntil("選手1").empty());

    test::beforeNextRead(counters.front(), [&] { server->publish(fieldOfFour("割り込み")); });
    server->publish(fieldOfFour("二番目"));
    EXPECT_FALSE(events->readStreamUntil("割り込み").empty());
    // The heartbeat's thread reads its counter only when a change wakes it.
    const auto woken = std::make_shared<std::promise<void>>();
    test::beforeNextRead(counters.front(), [woken] { woken->set_value(); });
    server->publish(fieldOfFour("三番目"));
    ASSERT_EQ(woken->get_future().wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_FALSE(events->readStreamUntil("三番目").empty());
}

TEST_F(PageServerTest, CountsPhonesByAddress)
{
    start();
    EXPECT_EQ(server->connectedCount(), 0);
    const auto a1 = stream("127.0.0.1");
    const auto a2 = stream("127.0.0.1"); // a second tab on the same phone
    auto b = stream("127.0.0.2");
    EXPECT_EQ(server->openStreams(), 3);
    EXPECT_EQ(server->connectedCount(), 2);
    ASSERT_TRUE(get("/state", {}, "127.0.0.3")); // a phone that polls
    EXPECT_EQ(server->connectedCount(), 3);

    b.reset();
    for (int attempt = 0; attempt < 5000 && server->openStreams() != 2; ++attempt)
        ::usleep(2'000);
    EXPECT_EQ(server->openStreams(), 2);
    EXPECT_EQ(server->connectedCount(), 2);
    clock.ms += std::chrono::milliseconds(std::chrono::hours(1)).count();
    EXPECT_EQ(server->connectedCount(), 1); // the poller has not asked for an hour
}

TEST(PageServerPorts, TriesTheNextTenPortsThenSaysSo)
{
    TestMonotonic clock;
    PageServer server(clock);
    std::uint16_t first = 0;
    std::vector<int> held = test::holdPorts(11, first);
    ASSERT_EQ(held.size(), 11u);

    EXPECT_FALSE(server.start("127.0.0.1", first));
    EXPECT_FALSE(server.running());
    EXPECT_EQ(server.url(), "");
    const std::string& error = server.lastError();
    for (const std::string& says :
         {std::to_string(first), std::to_string(first + 10), std::string("ほかのプログラム")})
        EXPECT_NE(error.find(says), std::string::npos) << error;

    ::close(held[7]);
    held[7] = -1;
    ASSERT_TRUE(server.start("127.0.0.1", first)) << server.lastError();
    EXPECT_EQ(server.lastError(), "");
    EXPECT_EQ(server.url(), "http://127.0.0.1:" + std::to_string(first + 7) + "/");
    for (int fd : held)
        ::close(fd);
}

TEST(PageServerPorts, RefusesAddressesItCannotListenOn)
{
    TestMonotonic clock;
    PageServer server(clock);
    struct Case {
        const char* address;
        const char* says;
    };
    // 198.51.100.7 is a documentation address, on no machine: binding to it fails at once and
    // nothing is sent anywhere.
    for (const Case c : {Case{"198.51.100.7", "アドレス 198.51.100.7 がありません"},
                         Case{"192.168.1", "IPv4 アドレスとして読めません"},
                         Case{"localhost", "IPv4 アドレスとして読めません"}}) {
        EXPECT_FALSE(server.start(c.address, 0)) << c.address;
        EXPECT_NE(server.lastError().find(c.says), std::string::npos) << server.lastError();
    }
}

// A thread that cannot be started, the library's or the heartbeat's, fails the start with a
// reason and leaves a server that stops and starts again. The listening socket the library
// closed is not closed a second time: by then its number belongs to another thread's file.
TEST(PageServerStart, FailsCleanlyWhenAThreadCannotStart)
{
    struct Case {
        const char* what;
        int startedBefore;
    };
    for (const Case c : {Case{"the library's thread", 0}, Case{"the heartbeat's thread", 1}}) {
        TestMonotonic clock;
        PageServer server(clock);
        test::reuseNextClosedListener();
        test::failThreadStarts(c.startedBefore, 1);
        EXPECT_FALSE(server.start("127.0.0.1", 0)) << c.what;
        test::failThreadStarts(0, 0);
        const int reused = test::takeReusedNumber();
        EXPECT_FALSE(server.running()) << c.what;
        EXPECT_EQ(server.url(), "") << c.what;
        EXPECT_NE(server.lastError(), "") << c.what;
        ASSERT_GE(reused, 0) << c.what << ": the listening socket was not closed";
        EXPECT_NE(::fcntl(reused, F_GETFD), -1) << c.what << ": another file was closed";
        ::close(reused);
        server.stop();
        EXPECT_TRUE(server.start("127.0.0.1", 0)) << c.what << ": " << server.lastError();
    }
}

// A phone that leaves the Wi-Fi sends no close. Played in a network namespace of the test's own
// whose loopback goes down under an open stream, on a thread that alone lives in it: nothing
// answers, and the stream ends once the limit has passed without an answer.
TEST(PageServerLostPhone, ItsStreamEndsOnceNothingAnswers)
{
    const auto loopback = [](bool up) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ifreq request{};
        std::strcpy(request.ifr_name, "lo");
        bool done = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
        request.ifr_flags =
            static_cast<short>(up ? request.ifr_flags | IFF_UP : request.ifr_flags & ~IFF_UP);
        done = done && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
        ::close(fd);
        return done;
    };
    std::string skipped;
    int countedBefore = -1;
    int countedAfter = -1;
    bool ended = false;
    std::thread phoneAndLaptop([&] {
        if (::unshare(CLONE_NEWNET) != 0 || !loopback(true)) {
            skipped = std::string("no network namespace of our own: ") + std::strerror(errno);
            return;
        }
        TestMonotonic clock;
        ServerSettings settings;
        settings.heartbeat = std::chrono::hours(1); // a quiet stream: keep-alive must notice
        settings.goneCheck = std::chrono::milliseconds(20);
        settings.unansweredLimit = std::chrono::seconds(1);
        PageServer server(clock, settings);
        if (!server.start("127.0.0.1", 0))
            return;
        RawConnection phone(server.port());
        phone.request("GET", "/events", "127.0.0.1:" + std::to_string(server.port()));
        if (!phone.streamHeaders() || phone.readStreamUntil("event: state").empty())
            return;
        countedBefore = server.connectedCount();
        if (!loopback(false))
            return;
        ended = eventually([&] { return server.openStreams() == 0; });
        countedAfter = server.connectedCount();
    });
    phoneAndLaptop.join();
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
    EXPECT_EQ(countedBefore, 1);
    EXPECT_TRUE(ended);
    EXPECT_EQ(countedAfter, 0);
}

TEST(PageAssets, FitTheBudgetAndAskNothingOfTheOutsideWorld)
{
    std::size_t total = 0;
    for (const PageAsset& asset : kPageAssets) {
        total += asset.body.size();
        // Nothing fetched from elsewhere, and names reach the page as text only.
        for (const char* banned : {"http://", "https://", "@import", "url(", "innerHTML",
                                   "outerHTML", "insertAdjacentHTML", "document.write"})
            EXPECT_EQ(asset.body.find(banned), std::string_view::npos) << asset.path << banned;
    }
    EXPECT_LE(total, kPageBudgetBytes);
    EXPECT_NE(kPageAssets[0].body.find("<html lang=\"ja\">"), std::string_view::npos);
}

TEST(NetworkInterfaces, ThisComputerComesLast)
{
    const std::vector<NetworkAddress> found = connectedIPv4Addresses();
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.back().address, "127.0.0.1");
    EXPECT_GE(defaultAddressIndex(found), 0);
}

} // namespace
} // namespace velka::follow
