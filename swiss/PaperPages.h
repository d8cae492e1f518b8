#pragma once

#include "swiss/SwissEvent.h"

#include <vector>

namespace velka {

// What goes on which printed page, apart from how it is painted.

// A run of items, [first, end) by their index.
struct ItemSpan {
    int first = 0;
    int end = 0;

    int size() const { return end - first; }
    bool operator==(const ItemSpan&) const = default;
};

// A result slip's place: on which page and in which cell of that page (from 0, across then
// down).
struct SlipPlace {
    int table = 0; // from 0, as in the round
    int page = 0;
    int cell = 0;

    bool operator==(const SlipPlace&) const = default;
};

// One slip for every table of round `round` (from 1) that has two players, in table order,
// `perPage` to a page; none for a round that is not paired.
std::vector<SlipPlace> slipPlaces(const SwissEvent& event, int round, int perPage);

// Rows of the given heights flowed down columns `columnHeight` high, `columnsPerPage` to a page,
// in order: each page a list of its columns, each column the rows it holds. A row is never
// split; one taller than a column has a column of its own. No rows, a page with one empty column.
std::vector<std::vector<ItemSpan>> flowIntoColumns(const std::vector<int>& rowHeights,
                                                   int columnHeight, int columnsPerPage);

} // namespace velka
