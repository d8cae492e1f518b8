#pragma once

#include "board/BracketBoard.h"
#include "board/Tournament.h"

#include <optional>
#include <string>

namespace velka::test {

// The board as a tournament value, read through its getters. The board will hand this value
// out itself; until then the follow tests and tools read it here, and only here.
inline Tournament tournamentOf(const BracketBoard& board, int fieldSize,
                               std::optional<std::string> seedName = std::nullopt)
{
    Tournament t;
    for (int i = 0; i < board::kSlotCount; ++i)
        t.slots[i] = board.slotCaption(i);
    for (int k = 0; k < board::kBoxCount; ++k) {
        t.boxVisible[k] = board.boxVisible(k);
        t.boxChecked[k] = board.boxChecked(k);
    }
    for (int k = 0; k < board::kLineCount; ++k)
        t.lineVisible[k] = board.lineVisible(k);
    for (int c = 0; c < board::kConnectorCount; ++c)
        t.connectors[c] = {board.connectorVisible(c), board.connector(c)};
    t.fieldSize = fieldSize;
    t.seedName = std::move(seedName);
    return t;
}

} // namespace velka::test
