#pragma once

#include "bracket/BracketBoard.h"
#include "draw/Draw.h"
#include "draw/EntryList.h"
#include "tests/support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>
#include <string>

namespace velka::test {

// The names of a drawn field, in slot order.
inline std::string nameOfSlot(int slot)
{
    return "選手" + std::to_string(slot + 1);
}

// A real draw of `fieldSize` with the names 選手1.. in slot order, then the boxes listed in
// `lost` ("1 3 17") unchecked: the tournament on the board.
inline Tournament drawnAndMarked(int fieldSize, bool seed, const std::string& lost = "")
{
    BracketBoard board;
    board.Load();
    EntryList entries;
    std::string typed;
    for (int slot = 0; slot < board::kSlotCount; ++slot)
        typed += nameOfSlot(slot) + "\r\n";
    addEntries(entries, typed);
    DrawSettings settings{std::to_string(fieldSize), seed, seed ? "シード選手" : ""};
    test::ScriptedRandom firstLeft(std::deque<double>(16, 0.0)); // always the first name left
    EXPECT_TRUE(drawField(settings, entries, board, firstLeft).drawn());
    board.ToggleProgress();
    std::istringstream boxes(lost);
    for (int box = 0; boxes >> box;)
        board.setBoxChecked(box, false);
    return board.tournament();
}

} // namespace velka::test
