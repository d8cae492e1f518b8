#include "swiss/PaperPages.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace velka {
namespace {

struct Flow {
    const char* what;
    std::vector<int> heights;
    int columnHeight;
    int columns;
    // Each page's columns as [first, end) of the rows.
    std::vector<std::vector<ItemSpan>> pages;
};

void PrintTo(const Flow& flow, std::ostream* os)
{
    *os << flow.what;
}

class FlowIntoColumns : public ::testing::TestWithParam<Flow> {};

TEST_P(FlowIntoColumns, FillsEachColumnInOrderWithoutSplittingARow)
{
    const Flow& f = GetParam();
    EXPECT_EQ(flowIntoColumns(f.heights, f.columnHeight, f.columns), f.pages);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FlowIntoColumns,
    ::testing::Values(
        Flow{"no rows: one page to print the heading on", {}, 10, 2, {{{0, 0}}}},
        Flow{"all in the first column", {3, 3, 3}, 10, 2, {{{0, 3}}}},
        Flow{"a column exactly full", {5, 5, 1}, 10, 2, {{{0, 2}, {2, 3}}}},
        Flow{"a third column starts a page", {4, 4, 4, 4, 4}, 8, 2, {{{0, 2}, {2, 4}}, {{4, 5}}}},
        Flow{"a wrapped name moves to the next column whole",
             {3, 3, 6, 3},
             10,
             2,
             {{{0, 2}, {2, 4}}}},
        Flow{"a row taller than a column has one of its own",
             {2, 15, 2},
             10,
             1,
             {{{0, 1}}, {{1, 2}}, {{2, 3}}}}),
    [](const auto& p) {
        std::string name = p.param.what;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

} // namespace
} // namespace velka
