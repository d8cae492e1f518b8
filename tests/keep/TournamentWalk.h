#pragma once

#include "board/BracketBoard.h"
#include "draw/Draw.h"
#include "draw/EntryList.h"
#include "tests/support/ScriptedRandom.h"

#include <random>
#include <string>
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
