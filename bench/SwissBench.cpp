#include "bench/BudgetReporter.h"
#include "core/RandomSource.h"
#include "swiss/Pairing.h"
#include "swiss/Standings.h"
#include "swiss/SwissDraw.h"

#include <benchmark/benchmark.h>

#include <random>
#include <stdexcept>

namespace velka {
namespace {

// A fixed-seed generator, so that every run measures the same event.
class SeededRandom final : public RandomSource {
public:
    void reseedFromClock() override {}
    double next() override { return unitInterval(engine_()); }

private:
    std::mt19937_64 engine_{20261207};
};

// 256 players after eight rounds of 2本先取 with random results, a few dropped along the way:
// the largest field at the round a 256-player event usually ends on, with the ninth to pair.
const SwissEvent& eightRoundsOf256()
{
    static const SwissEvent event = [] {
        SeededRandom random;
        SwissDraw draw(random);
        std::vector<PlayerEntry> players;
        for (int i = 0; i < kMaxSwissPlayers; ++i)
            players.push_back({"選手" + std::to_string(i + 1), ""});
        draw.addPlayers(players);
        draw.setSettings({9, MatchFormat::BestOfThree, TiebreakerSet::OmwGwOgw, 8});
        std::mt19937 results(7);
        const auto& choices = resultsFor(MatchFormat::BestOfThree);
        for (int round = 1; round <= 8; ++round) {
            if (round > 1)
                draw.dropPlayer(static_cast<int>(results() % kMaxSwissPlayers));
            if (draw.pairNextRound())
                throw std::logic_error("the benchmark's event could not be paired");
            for (std::size_t t = 0; t < draw.event().rounds.back().tables.size(); ++t) {
                if (!draw.event().rounds.back().tables[t].bye())
                    draw.setResult(static_cast<int>(t), choices[results() % choices.size()]);
            }
        }
        return draw.event();
    }();
    return event;
}

void BM_PairRound9Of256(benchmark::State& state)
{
    const SwissEvent& event = eightRoundsOf256();
    SeededRandom random;
    for (auto _ : state)
        benchmark::DoNotOptimize(pairRound(event, 9, random));
}
BENCHMARK(BM_PairRound9Of256)->Unit(benchmark::kMillisecond);

void BM_Standings256After8Rounds(benchmark::State& state)
{
    const SwissEvent& event = eightRoundsOf256();
    for (auto _ : state)
        benchmark::DoNotOptimize(standings(event));
}
BENCHMARK(BM_Standings256After8Rounds)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velka

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    velka::BudgetReporter reporter([](const std::string& name) {
        return name.find("Standings") != std::string::npos ? 10.0 : 100.0;
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.checkBudgets() ? 0 : 1;
}
