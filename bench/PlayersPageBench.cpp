// What the players' page costs the window thread: reading the page state from a field of 16,
// serialising it, and handing it to the server, with no phone and with 200 phones connected
// (event streams from 200 loopback addresses).

#include "bench/FieldOfSixteen.h"
#include "bench/PlayersPageClients.h"
#include "playerspage/PageServer.h"
#include "timer/EventTimer.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

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
