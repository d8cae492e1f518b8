// The tournament file's reader, on any text, and the writer and reader together on tournaments
// near the ones the program makes.
//
// Input: a file's text, read as it stands; or, when it starts with the byte 0xFF (which no UTF-8
// text starts with), a walk of the organiser's actions on a board and on a Swiss event followed
// by edits of the board's tournament and of the event. Invariants: the reader gives a tournament
// or a reason, never both and never neither, and never throws; opening a refused text leaves a
// marked board and a Swiss event with results exactly as they were; an accepted file holds a
// tournament and an event the program could have made, which set onto a board and a SwissDraw
// exactly and, written again, read back the same and write the same text. What the program really
// made is never refused, and an edited one is accepted exactly when the bracket's rule and
// swissEventFault accept it.

#include "bracket/BracketBoard.h"
#include "fuzz/FuzzCheck.h"
#include "keep/TournamentFile.h"
#include "swiss/SwissDraw.h"
#include "tests/keep/TournamentWalk.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/ScriptedRandom.h"

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
    FUZZ_CHECK(!swissEventFault(saved.swiss));
    BracketBoard b;
    b.Load();
    test::ScriptedRandom pairing;
    SwissDraw swiss(pairing);
    putInPlace(saved, b, &swiss);
    FUZZ_CHECK(b.tournament() == saved.tournament);
    FUZZ_CHECK(swiss.event() == saved.swiss);

    const TournamentText again = tournamentFileText(saved.tournament, saved.savedAt, saved.swiss);
    FUZZ_CHECK(!again.refusal);
    const TournamentReading reread = readTournamentText(again.text);
    FUZZ_CHECK(reread.saved && !reread.refusal);
    FUZZ_CHECK(reread.saved->tournament == saved.tournament);
    FUZZ_CHECK(reread.saved->swiss == saved.swiss);
    FUZZ_CHECK(reread.saved->savedAt == saved.savedAt);
    FUZZ_CHECK(
        tournamentFileText(reread.saved->tournament, saved.savedAt, reread.saved->swiss).text ==
        again.text);
}

// A Swiss event with results, made once: each refused input opens onto a copy.
const SwissEvent& playedEvent()
{
    static const SwissEvent played = test::playedSwissEvent();
    return played;
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
    test::ScriptedRandom pairing;
    SwissDraw swiss(pairing);
    FUZZ_CHECK(!swiss.load(playedEvent()));
    FUZZ_CHECK(openTournamentText(board, text, &swiss) == read.refusal);
    FUZZ_CHECK(test::snapshot(board) == before);
    FUZZ_CHECK(board.tournament() == tournamentBefore);
    FUZZ_CHECK(swiss.event() == playedEvent());
}

// One edit of a Swiss event, of the kinds a forged file holds, each value within what the reader
// takes as a field (so that only the rules can refuse it): a seat, a result, a rematch mark, when
// a player joined or dropped, a name, the settings, a table or round more or less.
void editSwissEvent(SwissEvent& e, FuzzedDataProvider& input)
{
    const auto anyPlayer = [&] { return input.ConsumeIntegralInRange(0, kMaxSwissPlayers - 1); };
    SwissTable* table = nullptr;
    if (!e.rounds.empty()) {
        SwissRound& round =
            e.rounds[input.ConsumeIntegralInRange<std::size_t>(0, e.rounds.size() - 1)];
        if (!round.tables.empty())
            table =
                &round
                     .tables[input.ConsumeIntegralInRange<std::size_t>(0, round.tables.size() - 1)];
    }
    SwissPlayer* player =
        e.players.empty()
            ? nullptr
            : &e.players[input.ConsumeIntegralInRange<std::size_t>(0, e.players.size() - 1)];
    switch (input.ConsumeIntegralInRange(0, 11)) {
    case 0:
        if (table)
            table->playerA = anyPlayer();
        break;
    case 1:
        if (table) {
            if (input.ConsumeBool())
                table->playerB = anyPlayer();
            else
                table->playerB.reset();
        }
        break;
    case 2:
        if (table) {
            if (input.ConsumeBool())
                table->result = MatchResult{input.ConsumeIntegralInRange(0, 2),
                                            input.ConsumeIntegralInRange(0, 2),
                                            input.ConsumeIntegralInRange(0, 2)};
            else
                table->result.reset();
        }
        break;
    case 3:
        if (table)
            table->rematch = !table->rematch;
        break;
    case 4:
        if (player)
            player->firstRound = input.ConsumeIntegralInRange(1, kMaxSwissRounds);
        break;
    case 5:
        if (player) {
            if (input.ConsumeBool())
                player->droppedFrom = input.ConsumeIntegralInRange(1, kMaxSwissRounds + 1);
            else
                player->droppedFrom.reset();
        }
        break;
    case 6:
        if (player)
            player->name = input.ConsumeRandomLengthString(8);
        break;
    case 7:
        e.settings = {input.ConsumeIntegralInRange(0, kMaxSwissRounds),
                      static_cast<MatchFormat>(input.ConsumeIntegralInRange(0, 1)),
                      static_cast<TiebreakerSet>(input.ConsumeIntegralInRange(0, 1)),
                      input.ConsumeIntegralInRange(0, 16)};
        break;
    case 10:
        if (!e.rounds.empty()) // a table of its own: as if the round were larger
            e.rounds.back().tables.insert(e.rounds.back().tables.begin(),
                                          {anyPlayer(), anyPlayer(), MatchResult{2, 0, 0}, false});
        break;
    case 8:
        if (!e.rounds.empty() && input.ConsumeBool())
            e.rounds.pop_back();
        else if (table)
            e.rounds.back().tables.push_back(*table);
        break;
    default:
        if (!e.rounds.empty() && !e.rounds.back().tables.empty())
            e.rounds.back().tables.pop_back();
        break;
    }
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

    test::ScriptedRandom pairing({}, input.ConsumeIntegral<std::uint32_t>());
    SwissDraw swiss(pairing);
    const int swissSteps = input.ConsumeIntegralInRange(0, 40);
    for (int step = 0; step < swissSteps; ++step)
        test::walkSwissStep(swiss, random);
    SwissEvent e = swiss.event();
    const int swissEdits = input.ConsumeIntegralInRange(0, 2);
    for (int edit = 0; edit < swissEdits; ++edit)
        editSwissEvent(e, input);

    const TournamentText text = tournamentFileText(t, savedAt, e);
    if (text.refusal) {
        FUZZ_CHECK(edits + swissEdits > 0 && text.refusal->fault == FileFault::NotUtf8);
        return;
    }
    const TournamentReading read = readTournamentText(text.text);
    const std::optional<bracket::Unreachable> why = bracket::whyUnreachable(t);
    const std::optional<std::string> swissFault = swissEventFault(e);
    FUZZ_CHECK(read.saved.has_value() == (!why && !swissFault));
    FUZZ_CHECK(edits + swissEdits > 0 || read.saved); // what the program made is never refused
    if (read.saved) {
        FUZZ_CHECK(read.saved->tournament == t);
        FUZZ_CHECK(read.saved->swiss == e);
        checkAccepted(*read.saved);
    } else if (why) {
        FUZZ_CHECK(read.refusal == unreachableRefusal(*why));
    } else {
        FUZZ_CHECK(read.refusal->fault == FileFault::Impossible);
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
