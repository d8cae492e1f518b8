#include "swiss/PaperPages.h"

#include <algorithm>

namespace velka {

std::vector<SlipPlace> slipPlaces(const SwissEvent& event, int round, int perPage)
{
    std::vector<SlipPlace> places;
    if (round < 1 || round > static_cast<int>(event.rounds.size()) || perPage < 1)
        return places;
    const std::vector<SwissTable>& tables = event.rounds[round - 1].tables;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        if (tables[t].bye())
            continue;
        const int n = static_cast<int>(places.size());
        places.push_back({static_cast<int>(t), n / perPage, n % perPage});
    }
    return places;
}

std::vector<std::vector<ItemSpan>> flowIntoColumns(const std::vector<int>& rowHeights,
                                                   int columnHeight, int columnsPerPage)
{
    columnsPerPage = std::max(columnsPerPage, 1);
    std::vector<std::vector<ItemSpan>> pages(1);
    ItemSpan column;
    int used = 0;
    const auto closeColumn = [&] {
        if (static_cast<int>(pages.back().size()) == columnsPerPage)
            pages.emplace_back();
        pages.back().push_back(column);
        column = {column.end, column.end};
        used = 0;
    };
    const int rows = static_cast<int>(rowHeights.size());
    for (int row = 0; row < rows; ++row) {
        const int height = std::max(rowHeights[static_cast<std::size_t>(row)], 0);
        if (column.size() > 0 && used + height > columnHeight)
            closeColumn();
        column.end = row + 1;
        used += height;
    }
    if (column.size() > 0 || pages.back().empty())
        closeColumn();
    return pages;
}

} // namespace velka
