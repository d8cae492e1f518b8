#pragma once

#include "core/Message.h"

#include <optional>
#include <string>

namespace velka {

class BracketBoard;
struct SwissEvent;
struct TopCut;

// Puts the top cut on the bracket board as a draw of that field puts its names there: the
// board's reset, the names in slots 0..N-1 (the others blank), the bracket shaped for N players
// and the field size recorded. The board then runs the cut as any draw.
void seatTopCut(const TopCut& cut, BracketBoard& board);

// What the organiser is told before the cut goes on the board when a player left out stands
// equal on everything with the last one in.
Message tieAtTheCutQuestion(const SwissEvent& event);

} // namespace velka
