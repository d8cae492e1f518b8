#pragma once

#include "bracket/BoardGeometry.h"

#include <array>
#include <optional>
#include <string>

namespace velka {

// One tournament exactly as the board holds it: what the name slots say, which winner boxes
// show and are checked, which advancement lines and connectors show and where the connectors
// end, and what the draw knew. A plain value with no window in it: the board is written into
// one and set from one, the tournament file holds one, and the players' page is derived from
// one.
struct Tournament {
    struct Connector {
        bool visible = true;
        BoardLine ends{};

        bool operator==(const Connector&) const = default;
    };

    // What the 16 name slots say, top to bottom ("names": Qt reserves "slots" as a keyword).
    std::array<std::string, board::kSlotCount> names;
    std::array<bool, board::kBoxCount> boxVisible{};
    std::array<bool, board::kBoxCount> boxChecked{};
    std::array<bool, board::kLineCount> lineVisible{};
    std::array<Connector, board::kConnectorCount> connectors{};
    // The field size of the draw that made this bracket (2 to 16), or 0 when the board has not
    // been drawn since its last reset.
    int fieldSize = 0;
    // The seeded player's name, when the draw had one.
    std::optional<std::string> seedName;

    // Progress mode is on while the winner boxes show; the board shows and hides them together.
    bool progressMode() const { return boxVisible[0]; }

    bool operator==(const Tournament&) const = default;
};

} // namespace velka
