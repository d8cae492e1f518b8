// The Swiss event on paper, offscreen: the PDF of the result slips of a round of 128 tables (256
// players), as the organiser saves it (everything but the disk), held to its budget of 1 s; the
// other sheets of the same round are measured beside it. The program exits with 1 when one is
// over its budget.
#include "bench/BudgetReporter.h"
#include "bench/SwissEventOf256.h"
#include "swiss/SwissSheets.h"
#include "uikit/Application.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <string>

namespace velka {
namespace {

// 256 players, of several scripts and lengths, paired into their first round: 128 tables.
const SwissEvent& firstRoundOf256()
{
    static const SwissEvent event = [] {
        static const char* const kinds[] = {"山田太郎",  "Maximiliane Wolfeschlegelsteinhausen",
                                            "田中 𠮷男", "ابراهيم",
                                            "Bob 🃏",     "佐藤花子"};
        bench::SeededRandom random;
        SwissDraw draw(random);
        std::vector<PlayerEntry> players;
        for (int i = 0; i < kMaxSwissPlayers; ++i)
            players.push_back({std::string(kinds[i % 6]) + " " + std::to_string(i + 1), ""});
        draw.addPlayers(players);
        draw.setSettings({9, MatchFormat::BestOfThree, TiebreakerSet::OmwGwOgw, 8});
        if (draw.pairNextRound())
            throw std::logic_error("the benchmark's event could not be paired");
        return draw.event();
    }();
    return event;
}

void sheetPdf(benchmark::State& state, SwissSheet sheet)
{
    const SwissEvent& event = firstRoundOf256();
    const QDateTime printed = QDateTime::currentDateTime();
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = swissSheetPdf(event, sheet, 1, printed).value_or(QByteArray()).size();
    state.counters["bytes"] = static_cast<double>(bytes);
    if (bytes == 0)
        state.SkipWithError("no PDF");
}

void BM_SlipsPdf128Tables(benchmark::State& state)
{
    sheetPdf(state, SwissSheet::ResultSlips);
}
BENCHMARK(BM_SlipsPdf128Tables)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PairingsByNamePdf256(benchmark::State& state)
{
    sheetPdf(state, SwissSheet::PairingsByName);
}
BENCHMARK(BM_PairingsByNamePdf256)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StandingsPdf256(benchmark::State& state)
{
    sheetPdf(state, SwissSheet::Standings);
}
BENCHMARK(BM_StandingsPdf256)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace velka

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    velka::setUpApplication(app);
    benchmark::Initialize(&argc, argv);
    velka::BudgetReporter reporter([](const std::string&) { return 1000.0; });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.checkBudgets() ? 0 : 1;
}
