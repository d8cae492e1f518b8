#include "follow/PageServer.h"

#include "follow/PageAssets.h"
#include "tests/follow/RawHttp.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <random>
#include <string>
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

// A field of four with the given first name, and a countdown of a minute read at `at`.
std::shared_ptr<const PageSnapshot> fieldOfFour(const std::string& first, std::int64_t at = 1'000)
{
    Tournament t;
    t.names = {first, "選手2", "選手3", "選手4"};
    t.fieldSize = 4;
    for (int c = 0; c < board::kConnectorCount; ++c)
        t.connectors[c] = {c == 0 || c == 1 || c == 8, board::kDesignConnectors[c]};
    for (int line : {0, 1, 2, 3, 16, 17, 24})
        t.lineVisible[line] = true;
    ClockState clock;
    clock.mode = ClockMode::Countdown;
    clock.msLeft = 60'000;
    clock.countDownEnd = 1'800'000'000;
    clock.measuredAt = at;
    return std::make_shared<const PageSnapshot>(PageState{bracketFrom(t), clock});
}

void expectSecurityHeaders(const HttpResponse& r, const std::string& what)
{
    EXPECT_NE(r.header("content-security-policy").find("default-src 'none'"), std::string::npos)
        << what;
    EXPECT_EQ(r.header("x-content-type-options"), "nosniff") << what;
    EXPECT_EQ(r.header("referrer-policy"), "no-referrer") << what;
}

class PageServerTest : public ::testing::Test {
protected:
    void start(ServerSettings settings = {})
    {
        settings.pollingClientLifetime = std::chrono::hours(1);
        settings.goneCheck = std::chrono::milliseconds(20);
        server = std::make_unique<PageServer>(clock, settings);
        server->publish(fieldOfFour("選手1"));
        ASSERT_TRUE(server->start("127.0.0.1", 0)) << server->lastError();
        host = "127.0.0.1:" + std::to_string(server->port());
    }

    std::optional<HttpResponse> get(const std::string& path, const std::string& more = {},
                                    const char* from = "127.0.0.1")
    {
        RawConnection c(server->port(), from);
        if (!c.request("GET", path, host, more))
            return std::nullopt;
        return c.response();
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
        {"GET", "/favicon.ico", "", 404, "", ""},
        {"GET", "/state/", "", 404, "", ""},
        {"GET", "/../state", "", 404, "", ""},
        {"GET", "/EVENTS", "", 404, "", ""},
        {"POST", "/", "", 405, "text/plain", ""},
        {"PUT", "/state", "", 405, "", ""},
        {"DELETE", "/events", "", 405, "", ""},
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
        if (c.status == 405) {
            EXPECT_EQ(r->header("allow"), "GET, HEAD") << what;
        }
        expectSecurityHeaders(*r, what);
    }

    // HTTP/1.0 sends no Host: refused the same way.
    RawConnection old(server->port());
    ASSERT_TRUE(old.send("GET /state HTTP/1.0\r\n\r\n"));
    const std::optional<HttpResponse> r = old.response();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 421);
    expectSecurityHeaders(*r, "HTTP/1.0");
}

TEST_F(PageServerTest, TagsTheStateAndAnswersUnchangedWith304)
{
    start();
    const std::optional<HttpResponse> first = get("/state");
    ASSERT_TRUE(first);
    const std::string tag = first->header("etag");
    ASSERT_FALSE(tag.empty());
    EXPECT_EQ(first->header("cache-control"), "no-cache");

    for (const std::string& given : {tag, "\"other\", " + tag, "W/" + tag, std::string("*")}) {
        const std::optional<HttpResponse> again = get("/state", "If-None-Match: " + given + "\r\n");
        ASSERT_TRUE(again);
        EXPECT_EQ(again->status, 304) << given;
        EXPECT_EQ(again->header("etag"), tag);
        expectSecurityHeaders(*again, "304");
    }
    const std::optional<HttpResponse> stale =
        get("/state", "If-None-Match: \"x" + tag.substr(1) + "\r\n");
    ASSERT_TRUE(stale);
    EXPECT_EQ(stale->status, 200);

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

TEST_F(PageServerTest, ServesTheLatestSnapshotWithItsClockBroughtForward)
{
    server = std::make_unique<PageServer>(clock);
    ASSERT_TRUE(server->start("127.0.0.1", 0));
    host = "127.0.0.1:" + std::to_string(server->port());
    EXPECT_EQ(server->url(), "http://" + host + "/");
    const auto state = [&] {
        const std::optional<HttpResponse> r = get("/state");
        return r ? nlohmann::json::parse(r->body) : nlohmann::json();
    };
    // Nothing published yet: the page waits for the laptop.
    EXPECT_EQ(state(), nlohmann::json::parse(PageSnapshot().json(0)));
    server->publish(fieldOfFour("最初"));
    clock.ms = 4'000; // three seconds after the snapshot's reading
    EXPECT_EQ(state()["clock"]["msLeft"], 57'000);
    server->publish(nullptr); // back to nothing known
    EXPECT_EQ(state()["bracket"], nullptr);
}

TEST_F(PageServerTest, RefusesHeadersBeyondTheLimit)
{
    start();
    struct Case {
        std::size_t filler;
        int status; // 0: refused, by the library or by a closed connection
    };
    for (const Case c : {Case{7'900, 200}, Case{8'300, 431}, Case{20'000, 431}, Case{60'000, 0}}) {
        RawConnection connection(server->port());
        const std::string more = "X-Filler: " + std::string(c.filler, 'a') + "\r\n";
        connection.request("GET", "/state", host, more);
        const std::optional<HttpResponse> r = connection.response();
        if (c.status == 0) {
            EXPECT_TRUE(!r || r->status >= 400) << c.filler;
            continue;
        }
        ASSERT_TRUE(r) << c.filler;
        EXPECT_EQ(r->status, c.status) << c.filler;
        if (c.status != 200) {
            expectSecurityHeaders(*r, "431");
            EXPECT_TRUE(connection.closedByServer());
        }
    }
    // Many small headers count as much as one large one.
    std::string many;
    for (int i = 0; i < 600; ++i)
        many += "X-" + std::to_string(i) + ": 1\r\n";
    RawConnection connection(server->port());
    connection.request("GET", "/state", host, many);
    const std::optional<HttpResponse> r = connection.response();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 431);
    ASSERT_TRUE(get("/state"));
}

TEST_F(PageServerTest, NeverReadsABody)
{
    start();
    struct Case {
        const char* what;
        std::string request;
        int status;
    };
    const std::vector<Case> cases = {
        {"GET with a body",
         "GET /state HTTP/1.1\r\nHost: " + host + "\r\nContent-Length: 5\r\n\r\nhello", 413},
        {"GET with a chunked body",
         "GET /state HTTP/1.1\r\nHost: " + host +
             "\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
         413},
        {"POST with a body",
         "POST /state HTTP/1.1\r\nHost: " + host + "\r\nContent-Length: 5\r\n\r\nhello", 405},
        {"POST elsewhere",
         "POST /upload HTTP/1.1\r\nHost: " + host + "\r\nContent-Length: 5\r\n\r\nhello", 404},
        {"a body for the wrong host",
         "POST / HTTP/1.1\r\nHost: evil.example\r\nContent-Length: 5\r\n\r\nhello", 421},
    };
    for (const Case& c : cases) {
        RawConnection connection(server->port());
        connection.send(c.request);
        const std::optional<HttpResponse> r = connection.response();
        ASSERT_TRUE(r) << c.what;
        EXPECT_EQ(r->status, c.status) << c.what;
        expectSecurityHeaders(*r, c.what);
        // The body is never taken for a next request: the connection ends here.
        EXPECT_TRUE(connection.closedByServer()) << c.what;
    }
    // An empty body is no body.
    const std::optional<HttpResponse> r = get("/state", "Content-Length: 0\r\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
}

TEST_F(PageServerTest, SixteenConnectionsPerAddressAnd256InAll)
{
    start();
    std::vector<std::unique_ptr<RawConnection>> open;
    const auto served = [&](const char* from) {
        open.push_back(std::make_unique<RawConnection>(server->port(), from));
        open.back()->request("HEAD", "/state", host);
        const std::optional<HttpResponse> r = open.back()->response(true);
        return r && r->status == 200;
    };
    for (int i = 0; i < 16; ++i)
        ASSERT_TRUE(served("127.0.0.1")) << i;
    EXPECT_FALSE(served("127.0.0.1"));
    EXPECT_TRUE(open.back()->closedWithoutAnswer());
    open.pop_back();
    // Once one goes, the address may connect again: the server notices the close in its own
    // time.
    open.pop_back();
    bool again = false;
    for (int attempt = 0; attempt < 5000 && !again; ++attempt) {
        again = served("127.0.0.1");
        if (!again) {
            open.pop_back();
            ::usleep(2'000);
        }
    }
    EXPECT_TRUE(again);
    // Fifteen more addresses fill the 256.
    for (int a = 2; a <= 16; ++a) {
        const std::string from = "127.0.0." + std::to_string(a);
        for (int i = 0; i < 16; ++i)
            ASSERT_TRUE(served(from.c_str())) << from << " #" << i;
    }
    EXPECT_FALSE(served("127.0.0.30"));
}

TEST_F(PageServerTest, ClosesIdleConnectionsButNotEventStreams)
{
    ServerSettings settings;
    settings.idleTimeoutSeconds = 1;
    settings.heartbeat = std::chrono::milliseconds(2'500);
    start(settings);

    RawConnection stream(server->port());
    stream.request("GET", "/events", host);
    ASSERT_TRUE(stream.streamHeaders());
    ASSERT_FALSE(stream.readStreamUntil("event: state").empty());

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
    EXPECT_NE(stream.readStreamUntil("event: ping").find("event: ping"), std::string::npos);
}

TEST_F(PageServerTest, EventStreamsGetEveryChangeOnce)
{
    ServerSettings settings;
    settings.heartbeat = std::chrono::hours(1);
    start(settings);
    RawConnection stream(server->port());
    stream.request("GET", "/events", host);
    const std::optional<HttpResponse> head = stream.streamHeaders();
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_EQ(head->header("content-type"), "text/event-stream; charset=utf-8");
    EXPECT_EQ(head->header("cache-control"), "no-store");
    expectSecurityHeaders(*head, "/events");

    const std::string first = stream.readStreamUntil("\n\n");
    EXPECT_NE(first.find("retry: 2000\n"), std::string::npos);
    EXPECT_NE(first.find("event: state\ndata: {"), std::string::npos);
    EXPECT_NE(first.find("選手1"), std::string::npos);

    server->publish(fieldOfFour("二番目"));
    EXPECT_NE(stream.readStreamUntil("\n\n").find("二番目"), std::string::npos);
    // The same content again, only read later: no event. The next one is the next change.
    server->publish(fieldOfFour("二番目", 5'000));
    server->publish(fieldOfFour("三番目"));
    const std::string third = stream.readStreamUntil("\n\n");
    EXPECT_NE(third.find("三番目"), std::string::npos);
    EXPECT_EQ(third.find("二番目"), std::string::npos);

    // Stopping ends the stream; the server starts again on the same port.
    const std::uint16_t port = server->port();
    server->stop();
    EXPECT_FALSE(server->running());
    EXPECT_TRUE(stream.closedByServer());
    ASSERT_TRUE(server->start("127.0.0.1", port)) << server->lastError();
    EXPECT_EQ(server->port(), port);
}

TEST_F(PageServerTest, HeartbeatCarriesTheClock)
{
    ServerSettings settings;
    settings.heartbeat = std::chrono::milliseconds(50);
    start(settings);
    clock.ms = 11'000;
    RawConnection stream(server->port());
    stream.request("GET", "/events", host);
    ASSERT_TRUE(stream.streamHeaders());
    std::string ping = stream.readStreamUntil("event: ping\ndata: ");
    ASSERT_FALSE(ping.empty());
    ping = stream.readStreamUntil("\n\n");
    const nlohmann::json doc = nlohmann::json::parse(ping.substr(0, ping.size() - 2));
    EXPECT_EQ(doc["clock"]["msLeft"], 50'000);
}

TEST_F(PageServerTest, CountsPhonesByAddress)
{
    start();
    auto open = [&](const char* from) {
        auto c = std::make_unique<RawConnection>(server->port(), from);
        c->request("GET", "/events", host);
        EXPECT_TRUE(c->streamHeaders());
        return c;
    };
    EXPECT_EQ(server->connectedCount(), 0);
    auto a1 = open("127.0.0.1");
    auto a2 = open("127.0.0.1"); // a second tab on the same phone
    auto b = open("127.0.0.2");
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

// A free run of ports on loopback, held open by listening sockets until released.
// Listening sockets on a run of free loopback ports, as another program would hold them.
std::vector<int> holdPorts(int count, std::uint16_t& first)
{
    std::mt19937 random(std::random_device{}());
    std::vector<int> held;
    for (int attempt = 0; attempt < 50 && static_cast<int>(held.size()) < count; ++attempt) {
        for (int fd : held)
            ::close(fd);
        held.clear();
        first = static_cast<std::uint16_t>(20'000 + random() % 30'000);
        for (int i = 0; i < count; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in where{};
            where.sin_family = AF_INET;
            where.sin_port = htons(static_cast<std::uint16_t>(first + i));
            where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 ||
                ::listen(fd, 1) != 0) {
                ::close(fd);
                break;
            }
            held.push_back(fd);
        }
    }
    return held;
}

TEST(PageServerPorts, TriesTheNextTenPortsThenSaysSo)
{
    TestMonotonic clock;
    PageServer server(clock);
    std::uint16_t first = 0;
    std::vector<int> held = holdPorts(11, first);
    ASSERT_EQ(held.size(), 11u);

    EXPECT_FALSE(server.start("127.0.0.1", first));
    EXPECT_FALSE(server.running());
    EXPECT_EQ(server.url(), "");
    const std::string& error = server.lastError();
    EXPECT_NE(error.find(std::to_string(first)), std::string::npos) << error;
    EXPECT_NE(error.find(std::to_string(first + 10)), std::string::npos) << error;
    EXPECT_NE(error.find("ほかのプログラム"), std::string::npos) << error;

    ::close(held[7]);
    held[7] = -1;
    ASSERT_TRUE(server.start("127.0.0.1", first)) << server.lastError();
    EXPECT_EQ(server.port(), first + 7);
    EXPECT_EQ(server.lastError(), "");
    EXPECT_EQ(server.url(), "http://127.0.0.1:" + std::to_string(first + 7) + "/");
    for (int fd : held) {
        if (fd >= 0)
            ::close(fd);
    }
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

TEST(PageAssets, FitTheBudgetAndAskNothingOfTheOutsideWorld)
{
    std::size_t total = 0;
    for (const PageAsset& asset : kPageAssets) {
        total += asset.body.size();
        EXPECT_EQ(asset.body.find("http://"), std::string_view::npos) << asset.path;
        EXPECT_EQ(asset.body.find("https://"), std::string_view::npos) << asset.path;
        EXPECT_EQ(asset.body.find("@import"), std::string_view::npos) << asset.path;
        EXPECT_EQ(asset.body.find("url("), std::string_view::npos) << asset.path;
        // Names reach the page as text only.
        for (const char* markup :
             {"innerHTML", "outerHTML", "insertAdjacentHTML", "document.write"})
            EXPECT_EQ(asset.body.find(markup), std::string_view::npos) << asset.path << markup;
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
