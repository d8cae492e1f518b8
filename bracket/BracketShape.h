#pragma once

namespace velka {

class BracketBoard;

// The number of rounds a field of fieldSize players needs: the smallest R with 2^R >= size.
int roundsFor(int fieldSize);

// Gives the full 16-slot board the shape of a bracket for fieldSize players (2..16) in slots
// 0..fieldSize-1: hides every box, line and connector, then shows the lines and connectors in
// play and shortens the connector of every bye down to its output line. All boxes are left
// hidden. Name captions are not touched.
void ShapeBracket(BracketBoard& board, int fieldSize);

} // namespace velka
