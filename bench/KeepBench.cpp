// Keeping the tournament: what one write costs the thread that writes (the text, the atomic
// write with its flushes to the disk), and what a mark or a Swiss result costs the board's thread
// with the keeper on and off. The files go to the temporary folder (TMPDIR): point it at the disk
// to measure.

#include "bench/EntrantNames.h"
#include "bracket/BracketBoard.h"
#include "core/Clock.h"
#include "core/RandomSource.h"
#include "draw/Draw.h"
#include "draw/EntryList.h"
#include "keep/AtomicFile.h"
#include "keep/TournamentFile.h"
#include "keep/TournamentKeeper.h"
#include "swiss/SwissDraw.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

namespace velka {
namespace {

// A drawn field of 16 with names of every script, in progress mode.
BracketBoard drawnBoard()
{
    BracketBoard board;
    board.Load();
    EntryList list;
    list.append(bench::entrantNames(16));
    ClockSeededRandom random;
    drawField({"16", false, ""}, list, board, random);
    board.ToggleProgress();
    return board;
}

std::filesystem::path benchFolder()
{
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("velka-keep-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    return folder;
}

// The largest Swiss event: 256 players with names of sixteen characters and readings of
// eighteen, 20 rounds, every table with a result (player p meets p xor r in round r).
SwissEvent largestSwissEvent()
{
    SwissEvent event;
    event.settings = {kMaxSwissRounds, MatchFormat::BestOfThree, TiebreakerSet::OmwGwOgw, 16};
    for (int p = 0; p < kMaxSwissPlayers; ++p) {
        const std::string number = std::to_string(1000 + p);
        event.players.push_back(
            {"東京都練馬区の鈴木一郎太" + number, "とうきょうとねりまくのすずき" + number, 1, {}});
    }
    for (int r = 1; r <= kMaxSwissRounds; ++r) {
        SwissRound& round = event.rounds.emplace_back();
        for (int p = 0; p < kMaxSwissPlayers; ++p) {
            if (p < (p ^ r))
                round.tables.push_back({p, p ^ r, MatchResult{2, 1, 0}, false});
        }
    }
    return event;
}

void BM_TournamentFileText(benchmark::State& state)
{
    const Tournament t = drawnBoard().tournament();
    for (auto _ : state)
        benchmark::DoNotOptimize(tournamentFileText(t, 1796625000).text.size());
}
BENCHMARK(BM_TournamentFileText)->Unit(benchmark::kMicrosecond);

void BM_ReadTournamentText(benchmark::State& state)
{
    const std::string text = tournamentFileText(drawnBoard().tournament(), 1796625000).text;
    for (auto _ : state)
        benchmark::DoNotOptimize(readTournamentText(text).saved.has_value());
}
BENCHMARK(BM_ReadTournamentText)->Unit(benchmark::kMicrosecond);

// The same two with the largest Swiss event beside the board.
void BM_LargestSwissFileText(benchmark::State& state)
{
    const Tournament t = drawnBoard().tournament();
    const SwissEvent event = largestSwissEvent();
    for (auto _ : state)
        benchmark::DoNotOptimize(tournamentFileText(t, 1796625000, event).text.size());
    state.counters["bytes"] =
        static_cast<double>(tournamentFileText(t, 1796625000, event).text.size());
}
BENCHMARK(BM_LargestSwissFileText)->Unit(benchmark::kMillisecond);

void BM_ReadLargestSwissText(benchmark::State& state)
{
    const std::string text =
        tournamentFileText(drawnBoard().tournament(), 1796625000, largestSwissEvent()).text;
    for (auto _ : state)
        benchmark::DoNotOptimize(readTournamentText(text).saved.has_value());
}
BENCHMARK(BM_ReadLargestSwissText)->Unit(benchmark::kMillisecond);

// One write of the keeper's thread: the text, then the temporary file flushed to the disk,
// renamed over the kept file, and the folder flushed.
void BM_KeptStateWrite(benchmark::State& state)
{
    const std::filesystem::path folder = benchFolder();
    const Tournament t = drawnBoard().tournament();
    for (auto _ : state) {
        if (writeTournamentFile(folder / "last.velka", t, 1796625000)) {
            state.SkipWithError("the write failed");
            break;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_KeptStateWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

// A mark and the pass of the event loop after it, on the board's thread: with the keeper the
// pass hands the tournament to the writer thread, which writes behind it.
void BM_MarkWithKeeper(benchmark::State& state)
{
    const bool keeping = state.range(0) == 1;
    const std::filesystem::path folder = benchFolder();
    BracketBoard board = drawnBoard();
    SystemClock clock;
    std::optional<TournamentKeeper> keeper;
    if (keeping)
        keeper.emplace(board, folder / "last.velka", clock);
    int box = 0;
    for (auto _ : state) {
        board.setBoxChecked(box, !board.boxChecked(box));
        if (keeper)
            keeper->flush();
        box = (box + 1) % board::kBoxCount;
    }
    if (keeper) {
        keeper->waitUntilWritten();
        state.counters["writes"] = static_cast<double>(keeper->writes());
        keeper.reset();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_MarkWithKeeper)->ArgName("keeping")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A result changed in the last round of the largest Swiss event and the pass of the event loop
// after it, on the board's thread: the keeper copies and compares the whole event before it hands
// it over.
void BM_SwissResultWithKeeper(benchmark::State& state)
{
    const bool keeping = state.range(0) == 1;
    const std::filesystem::path folder = benchFolder();
    BracketBoard board = drawnBoard();
    ClockSeededRandom random;
    SwissDraw swiss(random);
    if (swiss.load(largestSwissEvent())) {
        state.SkipWithError("the event was refused");
        return;
    }
    SystemClock clock;
    std::optional<TournamentKeeper> keeper;
    if (keeping)
        keeper.emplace(board, &swiss, folder / "last.velka", clock);
    int table = 0;
    for (auto _ : state) {
        const bool won = swiss.event().rounds.back().tables[table].result->gamesA == 2;
        swiss.setResult(table, won ? MatchResult{1, 2, 0} : MatchResult{2, 1, 0});
        if (keeper)
            keeper->flush();
        table = (table + 1) % (kMaxSwissPlayers / 2);
    }
    if (keeper) {
        keeper->waitUntilWritten();
        state.counters["writes"] = static_cast<double>(keeper->writes());
        keeper.reset();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SwissResultWithKeeper)
    ->ArgName("keeping")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velka
