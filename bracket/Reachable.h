#pragma once

#include "bracket/Tournament.h"

#include <optional>
#include <string>

namespace velka::bracket {

// Why this program cannot have brought its board into a tournament.
struct Unreachable {
    enum class Kind {
        OffBoard,   // a connector end lies outside the board's picture
        BrokenRule, // a rule that every draw, mark, progress mode, reset and open keeps
    };
    Kind kind;
    // Which field breaks which rule, in the organiser's words (Japanese), the field named as the
    // tournament file names it ("connectors[3]", "names[12]").
    std::string detail;

    bool operator==(const Unreachable&) const = default;
};

// Nothing when this program can have brought its board into this tournament (after its load
// step, through draws, marks, progress mode, resets and opens); otherwise which rule it breaks.
// The connector ends are checked against the board first (OffBoard), then the rest.
std::optional<Unreachable> whyUnreachable(const Tournament& tournament);

} // namespace velka::bracket
