#include "swiss/PaperPages.h"

#include "tests/swiss/HandEvent.h"

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

// One slip per table of two players, eight to a page in table order; the bye has none, and a
// round not paired has none.
TEST(SlipPlaces, OnePerTableOfTwoEightToAPage)
{
    const SwissEvent hand = test::handEvent(); // round 1: two tables and a bye
    EXPECT_EQ(slipPlaces(hand, 1, 8), (std::vector<SlipPlace>{{0, 0, 0}, {1, 0, 1}}));
    EXPECT_EQ(slipPlaces(hand, 2, 2), (std::vector<SlipPlace>{{0, 0, 0}, {1, 0, 1}, {2, 1, 0}}));
    EXPECT_TRUE(slipPlaces(hand, 4, 8).empty());
    EXPECT_TRUE(slipPlaces(hand, 0, 8).empty());

    SwissEvent wide;
    wide.rounds.resize(1);
    for (int t = 0; t < 17; ++t)
        wide.rounds[0].tables.push_back({2 * t, 2 * t + 1, std::nullopt, false});
    wide.rounds[0].tables.push_back({34, std::nullopt, kByeResult, false});
    const std::vector<SlipPlace> places = slipPlaces(wide, 1, 8);
    ASSERT_EQ(places.size(), 17u);
    EXPECT_EQ(places[7], (SlipPlace{7, 0, 7}));
    EXPECT_EQ(places[8], (SlipPlace{8, 1, 0}));
    EXPECT_EQ(places[16], (SlipPlace{16, 2, 0}));
}

} // namespace
} // namespace velka
