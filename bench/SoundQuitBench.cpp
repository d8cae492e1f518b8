// What the round's sounds cost the caller, with the real libcanberra player: quitting while a
// sound waits on a stalled sound server (budget 1 s: the program's quit waits for this), play
// itself (budget 100 ms), and the time until the player gives up without any server.
#include "bench/BudgetReporter.h"
#include "tests/support/StalledSoundServer.h"
#include "timer/platform/linux/CanberraSoundPlayer.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace velka {
namespace {

void QuitWithAStalledServer(benchmark::State& state)
{
    test::StalledSoundServer server;
    std::size_t clients = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto player = std::make_unique<CanberraSoundPlayer>();
        player->play(RoundSound::TimeUp);
        server.waitForClients(++clients);
        state.ResumeTiming();
        player.reset();
    }
}
BENCHMARK(QuitWithAStalledServer)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

void PlayWithAStalledServer(benchmark::State& state)
{
    test::StalledSoundServer server;
    CanberraSoundPlayer player;
    player.play(RoundSound::TimeUp);
    server.waitForClients(1);
    for (auto _ : state)
        player.play(RoundSound::OneMinuteLeft);
}
BENCHMARK(PlayWithAStalledServer)->Iterations(100)->UseRealTime()->Unit(benchmark::kMillisecond);

void GiveUpWithoutAServer(benchmark::State& state)
{
    test::StalledSoundServer server; // for its settings; the address is then taken away
    setenv("PULSE_SERVER", "unix:/nonexistent/velka/native", 1);
    CanberraSoundPlayer player;
    std::mutex mutex;
    std::condition_variable ended;
    int finished = 0;
    player.setFinishedHandler([&](RoundSound, int) {
        const std::lock_guard lock(mutex);
        ++finished;
        ended.notify_one();
    });
    for (auto _ : state) {
        std::unique_lock lock(mutex);
        const int before = finished;
        player.play(RoundSound::TimeUp);
        ended.wait(lock, [&] { return finished > before; });
    }
}
BENCHMARK(GiveUpWithoutAServer)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velka

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    velka::BudgetReporter reporter([](const std::string& name) {
        return name.find("Play") != std::string::npos ? 100.0 : 1000.0;
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return reporter.checkBudgets() ? 0 : 1;
}
