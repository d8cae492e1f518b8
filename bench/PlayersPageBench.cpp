// What the players' page costs the window thread: reading the page state from a field of 16,
// and from a Swiss event of 256 players in its ninth round, serialising it, and handing it to the
// server, with no phone and with 200 phones connected (event streams from 200 loopback
// addresses).

#include "bench/FieldOfSixteen.h"
#include "bench/PlayersPageClients.h"
#include "bench/SwissEventOf256.h"
#include "playerspage/PageServer.h"
#include "swiss/ReadingOrder.h"
#include "timer/EventTimer.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace velka {
namespace {

// Two rounds played.
Tournament markedFieldOfSixteen()
{
    return bench::fieldOfSixteen({1, 2, 5, 7, 8, 11, 13, 14, 17, 18});
}

void BM_BracketFrom(benchmark::State& state)
{
    const Tournament t = markedFieldOfSixteen();
    for (auto _ : state)
        benchmark::DoNotOptimize(bracket::bracketFrom(t));
}
BENCHMARK(BM_BracketFrom);

// The clock's reading alone: the system clock, the local time of day and the monotonic clock.
void BM_ReadClock(benchmark::State& state)
{
    SystemClock system;
    SteadyClock steady;
    EventTimer timer(system);
    timer.setCountingDown(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(playerspage::readClock(&timer, false, system, steady));
}
BENCHMARK(BM_ReadClock);

// The window thread's share of a change: the state read from the tournament and the running
// countdown, serialised into a snapshot.
void BM_MakeSnapshot(benchmark::State& state)
{
    const Tournament t = markedFieldOfSixteen();
    SystemClock system;
    SteadyClock steady;
    EventTimer timer(system);
    timer.setCountingDown(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(playerspage::makeSnapshot(t, &timer, false, system, steady));
}
BENCHMARK(BM_MakeSnapshot);

// The ninth round of 256 players paired, the standings after the eighth.
const SwissEvent& ninthRoundOf256()
{
    static const SwissEvent event = [] {
        bench::SeededRandom random;
        SwissDraw draw(random);
        if (draw.load(bench::eightRoundsOf256()) || draw.pairNextRound())
            throw std::logic_error("the ninth round could not be paired");
        return draw.event();
    }();
    return event;
}

// The Swiss event's share of a change, in its three parts: the players in reading order
// (QCollator), the page's state (the seats and the standings), its JSON (about 40 KB).
void BM_SwissReadingOrder(benchmark::State& state)
{
    const SwissEvent& event = ninthRoundOf256();
    for (auto _ : state)
        benchmark::DoNotOptimize(readingOrder(event.players));
}
BENCHMARK(BM_SwissReadingOrder)->Unit(benchmark::kMicrosecond);

void BM_SwissPageState(benchmark::State& state)
{
    const SwissEvent& event = ninthRoundOf256();
    const std::vector<int> order = readingOrder(event.players);
    for (auto _ : state)
        benchmark::DoNotOptimize(playerspage::swissPageState(event, Tournament{}, order));
}
BENCHMARK(BM_SwissPageState)->Unit(benchmark::kMicrosecond);

void BM_SwissSnapshot(benchmark::State& state)
{
    const SwissEvent& event = ninthRoundOf256();
    const auto swiss =
        playerspage::swissPageState(event, Tournament{}, readingOrder(event.players));
    SystemClock system;
    SteadyClock steady;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            playerspage::makeSnapshot(Tournament{}, swiss, nullptr, false, system, steady));
}
BENCHMARK(BM_SwissSnapshot)->Unit(benchmark::kMicrosecond);

// publish() alone, alternating two states so that every call is a change the streams are woken
// for.
void BM_Publish(benchmark::State& state)
{
    SystemClock system;
    SteadyClock steady;
    Tournament t = markedFieldOfSixteen();
    const auto first = playerspage::makeSnapshot(t, nullptr, false, system, steady);
    t.names[0] = "改名";
    const auto second = playerspage::makeSnapshot(t, nullptr, false, system, steady);
    playerspage::PageServer server(steady);
    server.publish(first);
    if (!server.start("127.0.0.1", 0)) {
        state.SkipWithError(server.lastError().c_str());
        return;
    }
    std::unique_ptr<bench::EventStreamClients> phones;
    if (state.range(0) > 0) {
        phones = std::make_unique<bench::EventStreamClients>(server.port(),
                                                             static_cast<int>(state.range(0)));
        if (!phones->waitAll("event: state", std::chrono::seconds(30))) {
            state.SkipWithError("the phones did not connect");
            return;
        }
    }
    bool flip = false;
    for (auto _ : state) {
        server.publish(flip ? first : second);
        flip = !flip;
    }
    state.counters["phones"] = static_cast<double>(server.openStreams());
}
BENCHMARK(BM_Publish)->Arg(0)->Arg(200)->Iterations(20'000)->UseRealTime();

} // namespace
} // namespace velka

BENCHMARK_MAIN();
