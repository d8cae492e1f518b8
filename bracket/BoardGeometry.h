#pragma once

#include <array>

namespace velka {

// A straight line on the board, in twips relative to the board's inner top-left corner.
struct BoardLine {
    int x1;
    int y1;
    int x2;
    int y2;

    bool operator==(const BoardLine&) const = default;
};

struct BoardBox {
    int left;
    int top;
};

struct BoardSlot {
    int left;
    int top;
    int width;
    int height;
};

// The bracket is a binary tree stored in index order. Lines 0..15 are the first round (line i
// beside name slot i), 16..23 the second, 24..27 the third, 28..29 the final and 30 the
// champion. Winner box k sits on line k (line 30 has none). Connector c is one match: it joins
// lines 2c and 2c + 1 and carries the winner on along line 16 + c.
namespace board {

inline constexpr int kSlotCount = 16;
inline constexpr int kLineCount = 31;
inline constexpr int kBoxCount = 30;
inline constexpr int kConnectorCount = 15;
inline constexpr int kChampionLine = 30;
inline constexpr int kBoxSize = 225;
// The board's picture box, in twips: every line and connector end lies inside it.
inline constexpr int kPictureWidth = 5370;
inline constexpr int kPictureHeight = 5160;

constexpr int upperInput(int connector)
{
    return 2 * connector;
}
constexpr int lowerInput(int connector)
{
    return 2 * connector + 1;
}
constexpr int outputLine(int connector)
{
    return 16 + connector;
}

// The board's column of line k: 1 for the first round (0..15), 2 for 16..23, 3 for 24..27, 4
// for the two sides of the final (28, 29) and 5 for the champion line. These are the board's
// columns: every field starts in the first, and a smaller one plays its final further left.
constexpr int lineRound(int line)
{
    return line < 16 ? 1 : line < 24 ? 2 : line < 28 ? 3 : line < kChampionLine ? 4 : 5;
}
// The first line of a column.
constexpr int firstLineOfRound(int round)
{
    return 32 - (32 >> (round - 1));
}
// The column of connector c's match: that of its input lines (0..7 the first, 8..11 the
// second, 12..13 the third, 14 the final).
constexpr int connectorRound(int connector)
{
    return lineRound(upperInput(connector));
}

// The designed geometry, in twips.
extern const std::array<BoardLine, kLineCount> kDesignLines;
extern const std::array<BoardBox, kBoxCount> kDesignBoxes;
extern const std::array<BoardLine, kConnectorCount> kDesignConnectors;

BoardSlot slotPlace(int slot);

} // namespace board
} // namespace velka
