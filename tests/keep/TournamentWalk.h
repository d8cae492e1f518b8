#pragma once

#include "bracket/BracketBoard.h"
#include "draw/Draw.h"
#include "draw/EntryList.h"
#include "swiss/SwissDraw.h"
#include "tests/support/ScriptedRandom.h"

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace velka::test {

// Names as an organiser might type or paste them: scripts, emoji, and what a JSON writer must
// escape (quotes, backslashes, a lone line feed, a tab, a NUL).
inline std::string walkName(std::mt19937& random)
{
    static const std::vector<std::string> parts = {
        "山田",    "Ana",       "Zoë",    "김", "محمد", "🃏",
        "\"Ace\"", "C:\\cards", "a\nb",   "\t", "x",    std::string("nul\0in", 6),
        " ",       "鈴木一郎",  "\u00a0", "ﾀﾛｳ"};
    std::string name;
    const int length = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < length; ++i)
        name += parts[random() % parts.size()];
    return name;
}

// One step that the organiser can take on the board: a draw of any field size with or without
// a seed, a reset, progress mode on or off, or a mark on a box that shows.
inline void walkStep(BracketBoard& board, std::mt19937& random)
{
    switch (random() % 6) {
    case 0: {
        const int n = 2 + static_cast<int>(random() % 15);
        const bool seed = n % 2 == 1 && random() % 2 == 0;
        EntryList entries;
        std::vector<std::string> names;
        for (int i = 0; i < n + static_cast<int>(random() % 4); ++i)
            names.push_back(walkName(random));
        entries.append(names);
        ScriptedRandom values({}, static_cast<unsigned>(random()));
        drawField({std::to_string(n), seed, seed ? walkName(random) : ""}, entries, board, values);
        break;
    }
    case 1:
        board.AllClear();
        break;
    case 2:
        board.ToggleProgress();
        break;
    default:
        if (board.progressMode()) {
            const int box = static_cast<int>(random() % board::kBoxCount);
            board.setBoxChecked(box, !board.boxChecked(box));
        }
        break;
    }
}

// n players drawn without a seed, their names starting with prefix.
inline void drawPlayers(BracketBoard& board, int n, const std::string& prefix)
{
    EntryList entries;
    for (int i = 0; i < n; ++i)
        entries.append({prefix + std::to_string(i)});
    ScriptedRandom values;
    drawField({std::to_string(n), false, ""}, entries, board, values);
}

// One step that the organiser can take on a small Swiss event (up to a dozen players): players
// added (before the second round: late ones), a round paired or paired again, a result entered
// on any table, a player dropped, now and then the event cleared. Steps the event refuses change
// nothing.
inline void walkSwissStep(SwissDraw& swiss, std::mt19937& random)
{
    const SwissEvent& event = swiss.event();
    const int players = static_cast<int>(event.players.size());
    switch (random() % 10) {
    case 0:
    case 1:
        if (players < 12) {
            std::vector<PlayerEntry> added;
            for (int i = 0; i < 1 + static_cast<int>(random() % 4); ++i)
                added.push_back({walkName(random), random() % 3 == 0 ? "よみ" : ""});
            swiss.addPlayers(added);
        }
        break;
    case 2:
        if (swiss.pairNextRound() && !event.rounds.empty())
            swiss.pairRoundAgain();
        break;
    case 3:
        if (players > 0)
            swiss.dropPlayer(static_cast<int>(random() % players));
        break;
    case 4:
        if (random() % 4 == 0)
            swiss.clear();
        else if (event.rounds.empty())
            swiss.setSettings(
                {static_cast<int>(random() % 2) * (2 + static_cast<int>(random() % 3)),
                 static_cast<MatchFormat>(random() % 2), static_cast<TiebreakerSet>(random() % 2),
                 static_cast<int>(random() % 2) * 2});
        break;
    default:
        if (!event.rounds.empty()) {
            const auto& results = resultsFor(event.settings.match);
            const int tables = static_cast<int>(event.rounds.back().tables.size());
            swiss.setResult(static_cast<int>(random() % tables),
                            results[random() % results.size()]);
        }
        break;
    }
}

// The board's tournament and the Swiss event: what a tournament file holds.
using TournamentAndEvent = std::pair<Tournament, SwissEvent>;

// count states of a walk from a loaded board and an empty Swiss event, stepping one or the
// other, each state different from the one before; the same seed gives the same states.
inline std::vector<TournamentAndEvent> walkStates(unsigned seed, int count)
{
    std::mt19937 random(seed);
    BracketBoard board;
    board.Load();
    ScriptedRandom pairing({}, seed);
    SwissDraw swiss(pairing);
    std::vector<TournamentAndEvent> seen;
    TournamentAndEvent last{board.tournament(), swiss.event()};
    while (static_cast<int>(seen.size()) < count) {
        if (random() % 2 == 0)
            walkStep(board, random);
        else
            walkSwissStep(swiss, random);
        TournamentAndEvent now{board.tournament(), swiss.event()};
        if (now != last)
            seen.push_back(last = std::move(now));
    }
    return seen;
}

// A Swiss event as the program makes it, with something of everything a file must carry: seven
// players (so a bye each round), one with a reading, 2本先取 over four rounds with a cut of four;
// round 1 played out with a drawn match, then a late player (who lost round 1 unplayed) and a
// drop, round 2 paired with one result in.
inline SwissEvent playedSwissEvent()
{
    ScriptedRandom pairing({}, 7);
    SwissDraw swiss(pairing);
    swiss.addPlayers({{"Ana", "あな"},
                      {"山田, 太郎", ""},
                      {"\"Ace\"", ""},
                      {"Zoë", ""},
                      {"鈴木", "すずき"},
                      {"C:\\cards", ""},
                      {"🃏", ""}});
    swiss.setSettings({4, MatchFormat::BestOfThree, TiebreakerSet::OmwGwOgw, 4});
    swiss.pairNextRound();
    swiss.setResult(0, {2, 1, 0});
    swiss.setResult(1, {1, 1, 0});
    swiss.setResult(2, {0, 2, 0});
    swiss.addPlayer("遅刻", "ちこく");
    swiss.dropPlayer(1);
    swiss.pairNextRound();
    swiss.setResult(0, {2, 0, 0});
    return swiss.event();
}

// count tournaments of a walk from a loaded board, each different from the one before; the same
// seed gives the same tournaments.
inline std::vector<Tournament> walkTournaments(unsigned seed, int count)
{
    std::mt19937 random(seed);
    BracketBoard board;
    board.Load();
    std::vector<Tournament> seen;
    Tournament last = board.tournament();
    while (static_cast<int>(seen.size()) < count) {
        walkStep(board, random);
        if (board.tournament() != last)
            seen.push_back(last = board.tournament());
    }
    return seen;
}

} // namespace velka::test
