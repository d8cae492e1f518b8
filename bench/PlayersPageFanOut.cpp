// How fast a change on the board reaches the phones: the players' page server on 127.0.0.1
// with 200 event streams open from 127.0.0.2 .. 127.0.0.201, one phone per address as in a
// shop. Each round renames a player on the tournament value, makes the snapshot and publishes
// it (the window thread's whole share), and measures until the last of the 200 streams has
// received the new state. Then the same with a Swiss event of 256 players in its ninth round
// (the state about 40 KB): each round renames a player in the event and makes the page's Swiss
// state afresh (the reading order, the seats, the standings after eight rounds), as the
// publisher does after a change. Budget: every round of both within 50 ms. Also: stopping the
// server with the 200 streams open.
//
//   velka-players-page-fanout [--phones N] [--rounds N]
//   velka-players-page-fanout --serve     serves a field of 16 on 127.0.0.1 for wrk; prints the
//   port,
//                                   stops when its input closes

#include "bench/FieldOfSixteen.h"
#include "bench/PlayersPageClients.h"
#include "bench/SwissEventOf256.h"
#include "playerspage/PageServer.h"
#include "swiss/ReadingOrder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace velka;
using Steady = std::chrono::steady_clock;

namespace {

// The first round played.
Tournament fieldOfSixteen()
{
    return bench::fieldOfSixteen({1, 2, 5, 7, 8, 11, 13, 14});
}

double ms(Steady::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

int serve()
{
    SteadyClock steady;
    SystemClock system;
    playerspage::PageServer server(steady);
    server.publish(playerspage::makeSnapshot(fieldOfSixteen(), nullptr, false, system, steady));
    if (!server.start("127.0.0.1", 0)) {
        std::fprintf(stderr, "%s\n", server.lastError().c_str());
        return 1;
    }
    std::printf("%u\n", server.port());
    std::fflush(stdout);
    char c = 0;
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
    return 0;
}

struct Figures {
    std::vector<double> latencies;  // from the change to the last phone
    std::vector<double> publishing; // the window thread's share
};

// `rounds` changes, each made and published by change(marker), timed to the last phone.
std::optional<Figures> measure(bench::EventStreamClients& clients, int rounds,
                               const std::function<void(const std::string&)>& change)
{
    Figures f;
    for (int r = 0; r < rounds; ++r) {
        const std::string marker = "改名" + std::to_string(r) + "号";
        const Steady::time_point start = Steady::now();
        change(marker);
        const Steady::time_point published = Steady::now();
        const auto last = clients.waitAll(marker, std::chrono::seconds(10));
        if (!last) {
            std::fprintf(stderr, "round %d: not every phone got the change\n", r);
            return std::nullopt;
        }
        f.latencies.push_back(ms(*last - start));
        f.publishing.push_back(ms(published - start));
    }
    std::sort(f.latencies.begin(), f.latencies.end());
    std::sort(f.publishing.begin(), f.publishing.end());
    return f;
}

// Prints the figures; whether every round was within the budget.
bool report(const char* what, const Figures& f, int phones, std::size_t bytes)
{
    const auto at = [](const std::vector<double>& v, double q) {
        return v[std::min(v.size() - 1,
                          static_cast<std::size_t>(q * static_cast<double>(v.size())))];
    };
    std::printf("%s to the last of %d phones, %zu rounds, %zu bytes a state:\n", what, phones,
                f.latencies.size(), bytes);
    std::printf("  median %.2f ms, 90th percentile %.2f ms, worst %.2f ms\n", at(f.latencies, 0.5),
                at(f.latencies, 0.9), f.latencies.back());
    std::printf("  of which state, snapshot and publish on the window thread: median %.3f ms, "
                "worst %.3f ms\n",
                at(f.publishing, 0.5), f.publishing.back());
    return f.latencies.back() <= 50.0;
}

} // namespace

int main(int argc, char** argv)
{
    int phones = 200;
    int rounds = 50;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--serve")
            return serve();
        if (arg == "--phones" && i + 1 < argc)
            phones = std::atoi(argv[++i]);
        else if (arg == "--rounds" && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
    }

    SteadyClock steady;
    SystemClock system;
    Tournament tournament = fieldOfSixteen();
    playerspage::PageServer server(steady);
    server.publish(playerspage::makeSnapshot(tournament, nullptr, false, system, steady));
    if (!server.start("127.0.0.1", 0)) {
        std::fprintf(stderr, "%s\n", server.lastError().c_str());
        return 1;
    }

    const Steady::time_point opening = Steady::now();
    bench::EventStreamClients clients(server.port(), phones);
    if (!clients.waitAll("event: state", std::chrono::seconds(30))) {
        std::fprintf(stderr, "not every phone got the first state\n");
        return 1;
    }
    std::printf("%d event streams open from %d addresses in %.1f ms; phones counted: %d\n",
                clients.size(), clients.size(), ms(Steady::now() - opening),
                server.connectedCount());

    std::size_t bytes = 0;
    const std::optional<Figures> board = measure(clients, rounds, [&](const std::string& marker) {
        tournament.names[0] = marker;
        const auto snapshot = playerspage::makeSnapshot(tournament, nullptr, false, system, steady);
        bytes = snapshot->json(0).size();
        server.publish(snapshot);
    });
    if (!board)
        return 1;
    bool within = report("A change on the board", *board, phones, bytes);

    // The ninth round of 256 players paired, the standings after the eighth.
    bench::SeededRandom random;
    SwissDraw swiss(random);
    if (swiss.load(bench::eightRoundsOf256()) || swiss.pairNextRound()) {
        std::fprintf(stderr, "the Swiss event could not be paired\n");
        return 1;
    }
    const std::optional<Figures> event = measure(clients, rounds, [&](const std::string& marker) {
        swiss.renamePlayer(0, marker, "");
        const SwissEvent& e = swiss.event();
        const auto snapshot = playerspage::makeSnapshot(
            tournament, playerspage::swissPageState(e, tournament, readingOrder(e.players)),
            nullptr, false, system, steady);
        bytes = snapshot->json(0).size();
        server.publish(snapshot);
    });
    if (!event)
        return 1;
    within = report("A change in a Swiss event of 256 players", *event, phones, bytes) && within;

    const Steady::time_point stopping = Steady::now();
    server.stop();
    std::printf("Stopping the server with %d streams open: %.1f ms\n", phones,
                ms(Steady::now() - stopping));

    std::printf("Budget: every round within 50 ms: %s\n", within ? "within" : "OVER BUDGET");
    return within ? 0 : 1;
}
