#pragma once

// A drawn field of sixteen, as the players' page publishes it, with the advancement lines of the
// results given taken off (the losers' lines).

#include "bracket/Tournament.h"

#include <initializer_list>
#include <string>

namespace velka::bench {

inline Tournament fieldOfSixteen(std::initializer_list<int> lostLines)
{
    Tournament t;
    for (int i = 0; i < board::kSlotCount; ++i)
        t.names[i] = "参加者" + std::to_string(i + 1) + " さん";
    t.fieldSize = 16;
    for (int c = 0; c < board::kConnectorCount; ++c)
        t.connectors[c] = {true, board::kDesignConnectors[c]};
    t.lineVisible.fill(true);
    for (int lost : lostLines)
        t.lineVisible[lost] = false;
    return t;
}

} // namespace velka::bench
