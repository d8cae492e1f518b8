#pragma once

#include "bracket/BracketBoard.h"

#include <array>
#include <ostream>
#include <string>

namespace velka::test {

// Everything a board shows, for comparing whole boards in one assertion. Plain C++, so that the
// fuzz targets compare boards the same way as the tests.
struct BoardSnapshot {
    std::array<std::string, board::kSlotCount> captions;
    std::array<bool, board::kBoxCount> boxChecked;
    std::array<bool, board::kBoxCount> boxVisible;
    std::array<bool, board::kLineCount> lineVisible;
    std::array<BoardLine, board::kConnectorCount> connectors;
    std::array<bool, board::kConnectorCount> connectorVisible;

    bool operator==(const BoardSnapshot&) const = default;
};

inline BoardSnapshot snapshot(const BracketBoard& b)
{
    BoardSnapshot s{};
    for (int i = 0; i < board::kSlotCount; ++i)
        s.captions[i] = b.slotCaption(i);
    for (int k = 0; k < board::kBoxCount; ++k) {
        s.boxChecked[k] = b.boxChecked(k);
        s.boxVisible[k] = b.boxVisible(k);
    }
    for (int k = 0; k < board::kLineCount; ++k)
        s.lineVisible[k] = b.lineVisible(k);
    for (int c = 0; c < board::kConnectorCount; ++c) {
        s.connectors[c] = b.connector(c);
        s.connectorVisible[c] = b.connectorVisible(c);
    }
    return s;
}

inline std::ostream& operator<<(std::ostream& out, const BoardSnapshot& s)
{
    out << "checked";
    for (int k = 0; k < board::kBoxCount; ++k)
        out << (s.boxChecked[k] ? " " + std::to_string(k) : "");
    out << "; shown boxes";
    for (int k = 0; k < board::kBoxCount; ++k)
        out << (s.boxVisible[k] ? " " + std::to_string(k) : "");
    out << "; lines";
    for (int k = 0; k < board::kLineCount; ++k)
        out << (s.lineVisible[k] ? " " + std::to_string(k) : "");
    out << "; connectors";
    for (int c = 0; c < board::kConnectorCount; ++c) {
        const BoardLine& l = s.connectors[c];
        out << " " << c << (s.connectorVisible[c] ? "" : "(hidden)") << "@" << l.x1 << "," << l.y1
            << "-" << l.x2 << "," << l.y2;
    }
    out << "; captions";
    for (const std::string& caption : s.captions)
        out << " [" << caption << "]";
    return out;
}

} // namespace velka::test
