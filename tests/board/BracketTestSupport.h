#pragma once

#include "bracket/BracketBoard.h"
#include "bracket/BracketShape.h"
#include "uikit/Twips.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QTransform>

#include <ostream>
#include <string>
#include <vector>

namespace velka::test {

// A drawn bracket with some results marked, as the organiser leaves it during the day.
struct MarkedDraw {
    int fieldSize;
    std::vector<int> lostBoxes; // boxes unchecked after the shaping: these lines disappear
};

inline void PrintTo(const MarkedDraw& draw, std::ostream* out)
{
    *out << "a draw of " << draw.fieldSize;
}

// Names of every kind the window shows: Latin, Japanese, Arabic and Hebrew written right to
// left, emoji, and one far too long for its slot.
inline const std::vector<std::string>& sampleNames()
{
    static const std::vector<std::string> names{
        "Alice", "山田太郎", "ابراهيم", "Bob 🃏",
        "שרה",   "佐藤花子", "Charlie", "鈴木一郎",
        "Dana",  "高橋",     "Eve",     "伊藤",
        "Frank", "渡辺",     "Grace",   "Maximiliane Wolfeschlegelsteinhausenbergerdorff",
    };
    return names;
}

// Draws the field onto the board and marks the results: the names of the field in slots
// 0..fieldSize-1, the bracket shaped, and the losers' lines taken off.
inline void drawAndMark(BracketBoard& board, const MarkedDraw& draw)
{
    board.AllClear();
    for (int i = 0; i < board::kSlotCount; ++i)
        board.setSlotCaption(i, i < draw.fieldSize ? sampleNames()[i] : std::string());
    if (draw.fieldSize == 16)
        board.setSlotCaption(15, sampleNames()[15]);
    ShapeBracket(board, draw.fieldSize);
    for (int box : draw.lostBoxes)
        board.setBoxChecked(box, false);
}

// Draws of 5, 9 and 16 with results of the first rounds marked.
inline std::vector<MarkedDraw> markedDraws()
{
    return {{5, {1, 3, 17}}, {9, {2, 4, 6, 16}}, {16, {0, 3, 5, 6, 9, 11, 12, 14, 17, 18, 25}}};
}

inline bool dark(QRgb pixel)
{
    return qGray(pixel) < 128;
}

// Whether any pixel within radius of at is dark: a line painted on a page is found at its place
// even after the rounding of a rasteriser.
inline bool inkNear(const QImage& image, QPoint at, int radius)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.rect().contains(p) && dark(image.pixel(p)))
                return true;
        }
    }
    return false;
}

// A point of a line on the board, in board pixels, that no other line crosses: the middle of a
// line, a quarter down a connector (the output line leaves a connector at its middle).
inline QPointF samplePoint(const BoardLine& line)
{
    const QPointF from = QPointF(toPixels(line.x1, line.y1)) + QPointF(0.5, 0.5);
    const QPointF to = QPointF(toPixels(line.x2, line.y2)) + QPointF(0.5, 0.5);
    return from.y() == to.y() ? (from + to) / 2.0 : from + (to - from) / 4.0;
}

// Every line and connector with whether the board shows it: what a picture must agree with.
struct ShownElement {
    std::string what;
    BoardLine line;
    bool shown;
};

inline std::vector<ShownElement> shownElements(const BracketBoard& board)
{
    std::vector<ShownElement> all;
    all.reserve(board::kLineCount + board::kConnectorCount);
    for (int k = 0; k < board::kLineCount; ++k)
        all.push_back({"line " + std::to_string(k), board.line(k), board.lineVisible(k)});
    for (int c = 0; c < board::kConnectorCount; ++c) {
        all.push_back(
            {"connector " + std::to_string(c), board.connector(c), board.connectorVisible(c)});
    }
    return all;
}

} // namespace velka::test
