#include "bench/EntrantNames.h"
#include "bracket/BracketBoard.h"
#include "bracket/BracketShape.h"
#include "core/RandomSource.h"
#include "draw/Draw.h"
#include "draw/EntryList.h"

#include <benchmark/benchmark.h>

namespace velka {
namespace {

constexpr int kFullList = EntryList::kCapacity;

void BM_AddEntriesFullList(benchmark::State& state)
{
    const std::string text = bench::pastedText(bench::entrantNames(kFullList));
    for (auto _ : state) {
        EntryList list;
        benchmark::DoNotOptimize(addEntries(list, text));
        benchmark::DoNotOptimize(list.count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_AddEntriesFullList)->Unit(benchmark::kMillisecond);

void BM_DrawFieldFromFullList(benchmark::State& state)
{
    const std::vector<std::string> names = bench::entrantNames(kFullList);
    BracketBoard board;
    board.Load();
    ClockSeededRandom random;
    for (auto _ : state) {
        state.PauseTiming();
        EntryList list;
        list.append(names);
        state.ResumeTiming();
        benchmark::DoNotOptimize(drawField({"16", false, ""}, list, board, random).drawn());
    }
}
BENCHMARK(BM_DrawFieldFromFullList)->Unit(benchmark::kMicrosecond);

void BM_AllClear(benchmark::State& state)
{
    BracketBoard board;
    board.Load();
    for (auto _ : state) {
        ShapeBracket(board, 9); // leaves work for the reset: unchecked boxes, a short connector
        board.AllClear();
    }
}
BENCHMARK(BM_AllClear);

void BM_ShapeBracket(benchmark::State& state)
{
    const int fieldSize = static_cast<int>(state.range(0));
    BracketBoard board;
    board.Load();
    for (auto _ : state) {
        board.AllClear();
        ShapeBracket(board, fieldSize);
    }
}
BENCHMARK(BM_ShapeBracket)->DenseRange(2, 16);

} // namespace
} // namespace velka
