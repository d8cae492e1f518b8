#include "bracket/BracketShape.h"

#include "bracket/BracketBoard.h"

#include <array>
#include <stdexcept>

namespace velka {

int roundsFor(int fieldSize)
{
    int rounds = 0;
    while ((1 << rounds) < fieldSize)
        ++rounds;
    return rounds;
}

void ShapeBracket(BracketBoard& board, int fieldSize)
{
    if (fieldSize < 2 || fieldSize > board::kSlotCount)
        throw std::out_of_range("field size must be 2 to 16");

    for (int k = 0; k < board::kLineCount; ++k) {
        if (k != board::kChampionLine) {
            board.setBoxVisible(k, false);
            board.setBoxChecked(k, false);
        }
        board.setLineVisible(k, false);
    }
    for (int c = 0; c < board::kConnectorCount; ++c)
        board.setConnectorVisible(c, false);

    std::array<bool, board::kLineCount> inPlay{};
    for (int slot = 0; slot < fieldSize; ++slot)
        inPlay[slot] = true;

    const int rounds = roundsFor(fieldSize);
    // The connectors stand in round order: each round is shaped after the one before it.
    for (int c = 0; c < board::kConnectorCount && board::connectorRound(c) <= rounds; ++c) {
        const int output = board::outputLine(c);
        if (!inPlay[board::upperInput(c)])
            continue; // slots fill from the top: no upper input, no lower one either
        board.setConnectorVisible(c, true);
        if (!inPlay[board::lowerInput(c)]) // a bye carries the player straight on
            board.setConnectorY2(c, board.line(output).y1);
        if (output != board::kChampionLine)
            board.setBoxChecked(output, true);
        inPlay[output] = true;
    }
    for (int slot = 0; slot < fieldSize; ++slot)
        board.setBoxChecked(slot, true);
    if (rounds == 4)
        board.setLineVisible(board::kChampionLine, true);
}

} // namespace velka
