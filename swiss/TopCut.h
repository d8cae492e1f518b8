#pragma once

#include "core/Message.h"
#include "swiss/SwissEvent.h"

#include <optional>
#include <string>
#include <vector>

namespace velka {

// The seeds 1..size (2, 4, 8 or 16) in the order of the bracket's name slots from the top,
// where slots 2k and 2k + 1 meet in the first round and the winners of neighbouring matches
// meet next: 2 -> 1 2; 4 -> 1 4 2 3; 8 -> 1 8 4 5 2 7 3 6; 16 -> 1 16 8 9 4 13 5 12 2 15 7 10
// 3 14 6 11. Each size comes from the one half its size by putting after every seed s its
// first-round opponent size + 1 - s, so seeds 1 and 2 stay in different halves and can meet
// only in the final; when the better seeds win, every round pairs the best one left in a part
// of the bracket with the worst one left in it.
std::vector<int> seedingOrder(int size);

struct TopCut {
    // The names for the board's name slots 0..size-1, top to bottom.
    std::vector<std::string> names;
    // Some player left out stands equal on everything with the last one in: the organiser
    // may want to decide between them.
    bool tieAtTheCut = false;
};

// The top cut after the last round: the best settings.topCut players of the standings who have
// not dropped, seeded by seedingOrder. Refused while rounds or results are missing, when the
// event has no top cut, or when fewer players than the cut are still in.
struct TopCutResult {
    std::optional<TopCut> cut;
    std::optional<Message> refusal;
};
TopCutResult topCut(const SwissEvent& event);

} // namespace velka
