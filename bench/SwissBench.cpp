#include "bench/BudgetReporter.h"
#include "bench/SwissEventOf256.h"
#include "core/RandomSource.h"
#include "swiss/Pairing.h"
#include "swiss/Standings.h"

#include <benchmark/benchmark.h>

namespace velka {
namespace {

void BM_PairRound9Of256(benchmark::State& state)
{
    const SwissEvent& event = bench::eightRoundsOf256();
    bench::SeededRandom random;
    for (auto _ : state)
        benchmark::DoNotOptimize(pairRound(event, 9, random));
}
BENCHMARK(BM_PairRound9Of256)->Unit(benchmark::kMillisecond);

void BM_Standings256After8Rounds(benchmark::State& state)
{
    const SwissEvent& event = bench::eightRoundsOf256();
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
