// The tournament file's reader, on any text, and the writer and reader together on tournaments
// near the ones the program makes.
//
// Input: a file's text, read as it stands; or, when it starts with the byte 0xFF (which no UTF-8
// text starts with), a walk of the organiser's actions on a board followed by edits of the
// board's tournament. Invariants: the reader gives a tournament or a reason, never both and never
// neither, and never throws; opening a refused text leaves a marked board exactly as it was; an
// accepted tournament is one the program could have made, sets onto a board exactly and, written
// again, reads back the same and writes the same text. A tournament the program really made is
// never refused, and an edited one is accepted exactly when the bracket's rule can reach it.

#include "bracket/BracketBoard.h"
#include "fuzz/FuzzCheck.h"
#include "keep/TournamentFile.h"
#include "tests/keep/TournamentWalk.h"
#include "tests/support/BoardSnapshot.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace {

using namespace velka;

// A drawn and marked board, made once: each input opens onto a copy.
const BracketBoard& markedBoard()
{
    static const BracketBoard marked = [] {
        BracketBoard b;
        b.Load();
        std::mt19937 random(11);
        for (int step = 0; step < 12; ++step)
            test::walkStep(b, random);
        return b;
    }();
    return marked;
}

void checkAccepted(const SavedTournament& saved)
{
    FUZZ_CHECK(!bracket::whyUnreachable(saved.tournament));
    BracketBoard b;
    b.Load();
    b.setTournament(saved.tournament);
    FUZZ_CHECK(b.tournament() == saved.tournament);

    const TournamentText again = tournamentFileText(saved.tournament, saved.savedAt);
    FUZZ_CHECK(!again.refusal);
    const TournamentReading reread = readTournamentText(again.text);
    FUZZ_CHECK(reread.saved && !reread.refusal);
    FUZZ_CHECK(reread.saved->tournament == saved.tournament);
    FUZZ_CHECK(reread.saved->savedAt == saved.savedAt);
    FUZZ_CHECK(tournamentFileText(reread.saved->tournament, saved.savedAt).text == again.text);
}

void readAsText(std::string_view text)
{
    const TournamentReading read = readTournamentText(text);
    FUZZ_CHECK(read.saved.has_value() != read.refusal.has_value());
    if (read.saved) {
        checkAccepted(*read.saved);
        return;
    }
    FUZZ_CHECK(!read.refusal->reason().empty());
    BracketBoard board = markedBoard();
    const test::BoardSnapshot before = test::snapshot(board);
    const Tournament tournamentBefore = board.tournament();
    FUZZ_CHECK(openTournamentText(board, text) == read.refusal);
    FUZZ_CHECK(test::snapshot(board) == before);
    FUZZ_CHECK(board.tournament() == tournamentBefore);
}

void editTournament(Tournament& t, FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 6)) {
    case 0: {
        const int k = input.ConsumeIntegralInRange(0, board::kBoxCount - 1);
        t.boxChecked[k] = !t.boxChecked[k];
        break;
    }
    case 1: {
        const int k = input.ConsumeIntegralInRange(0, board::kBoxCount - 1);
        t.boxVisible[k] = !t.boxVisible[k];
        break;
    }
    case 2: {
        const int k = input.ConsumeIntegralInRange(0, board::kLineCount - 1);
        t.lineVisible[k] = !t.lineVisible[k];
        break;
    }
    case 3:
        t.fieldSize = input.ConsumeIntegralInRange(0, board::kSlotCount);
        break;
    case 4: {
        Tournament::Connector& c =
            t.connectors[input.ConsumeIntegralInRange(0, board::kConnectorCount - 1)];
        if (input.ConsumeBool())
            c.visible = !c.visible;
        else
            c.ends.y2 = input.ConsumeIntegralInRange(-100, 6000);
        break;
    }
    case 5:
        t.names[input.ConsumeIntegralInRange(0, board::kSlotCount - 1)] =
            input.ConsumeRandomLengthString(16);
        break;
    default:
        if (input.ConsumeBool())
            t.seedName = input.ConsumeRandomLengthString(16);
        else
            t.seedName.reset();
        break;
    }
}

void writeAndRead(FuzzedDataProvider& input)
{
    BracketBoard board;
    board.Load();
    std::mt19937 random(input.ConsumeIntegral<std::uint32_t>());
    const int steps = input.ConsumeIntegralInRange(0, 60);
    for (int step = 0; step < steps; ++step)
        test::walkStep(board, random);
    Tournament t = board.tournament();
    const int edits = input.ConsumeIntegralInRange(0, 3);
    for (int e = 0; e < edits; ++e)
        editTournament(t, input);
    const std::int64_t savedAt = input.ConsumeIntegral<std::int64_t>();

    const TournamentText text = tournamentFileText(t, savedAt);
    if (text.refusal) {
        FUZZ_CHECK(edits > 0 && text.refusal->fault == FileFault::NotUtf8);
        return;
    }
    const TournamentReading read = readTournamentText(text.text);
    const std::optional<bracket::Unreachable> why = bracket::whyUnreachable(t);
    FUZZ_CHECK(read.saved.has_value() == !why.has_value());
    FUZZ_CHECK(edits > 0 || read.saved); // what the program made is never refused
    if (read.saved) {
        FUZZ_CHECK(read.saved->tournament == t);
        checkAccepted(*read.saved);
    } else {
        FUZZ_CHECK(read.refusal == unreachableRefusal(*why));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0 && data[0] == 0xFF) {
        FuzzedDataProvider input(data + 1, size - 1);
        writeAndRead(input);
    } else {
        readAsText(std::string_view(reinterpret_cast<const char*>(data), size));
    }
    return 0;
}
