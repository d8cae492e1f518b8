#include "bracket/BracketShape.h"

#include "bracket/BracketBoard.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/BoxRule.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>

namespace velka {
namespace {

// "0-2, 16-17, 24" -> {0, 1, 2, 16, 17, 24}
std::set<int> indices(const std::string& ranges)
{
    std::set<int> out;
    std::stringstream in(ranges);
    std::string part;
    while (std::getline(in, part, ',')) {
        if (part.find_first_not_of(' ') == std::string::npos)
            continue;
        const auto dash = part.find('-');
        const int from = std::stoi(part.substr(0, dash));
        const int to = dash == std::string::npos ? from : std::stoi(part.substr(dash + 1));
        for (int i = from; i <= to; ++i)
            out.insert(i);
    }
    return out;
}

// One row of the bracket for each field size: the lines shown (their boxes checked), the
// connectors shown, the shortened connectors with their new Y2, and the champion line.
struct Shape {
    int fieldSize;
    const char* lines;
    const char* connectors;
    std::map<int, int> shortened;
    bool champion;
};

void PrintTo(const Shape& s, std::ostream* out)
{
    *out << "N = " << s.fieldSize;
}

class ShapeFor : public ::testing::TestWithParam<Shape> {};

void expectShape(const BracketBoard& board, const Shape& shape)
{
    const std::set<int> lines = indices(shape.lines);
    const std::set<int> connectors = indices(shape.connectors);
    for (int k = 0; k < board::kBoxCount; ++k) {
        EXPECT_EQ(board.boxChecked(k), lines.count(k) == 1) << "box " << k;
        EXPECT_FALSE(board.boxVisible(k)) << "box " << k;
    }
    for (int k = 0; k < board::kBoxCount; ++k)
        EXPECT_EQ(board.lineVisible(k), lines.count(k) == 1) << "line " << k;
    EXPECT_EQ(board.lineVisible(board::kChampionLine), shape.champion);
    for (int c = 0; c < board::kConnectorCount; ++c) {
        EXPECT_EQ(board.connectorVisible(c), connectors.count(c) == 1) << "connector " << c;
        BoardLine expected = board::kDesignConnectors[c];
        if (const auto it = shape.shortened.find(c); it != shape.shortened.end())
            expected.y2 = it->second;
        EXPECT_EQ(board.connector(c), expected) << "connector " << c;
    }
}

TEST_P(ShapeFor, GivesTheBracketOfItsFieldSize)
{
    BracketBoard board;
    board.Load();
    for (int i = 0; i < 16; ++i)
        board.setSlotCaption(i, "p" + std::to_string(i));
    const auto captions = test::snapshot(board).captions;

    ShapeBracket(board, GetParam().fieldSize);

    expectShape(board, GetParam());
    EXPECT_TRUE(test::boxRuleHolds(board));
    EXPECT_EQ(test::snapshot(board).captions, captions) << "captions are not touched";
}

TEST_P(ShapeFor, DependsOnNothingBeforeTheResetButTheConnectors)
{
    // A marked board in progress mode, after the reset that every draw runs first.
    BracketBoard board;
    board.Load();
    ShapeBracket(board, 9);
    board.ToggleProgress();
    for (int k = 0; k < board::kBoxCount; k += 3)
        board.setBoxChecked(k, !board.boxChecked(k));
    board.AllClear();

    ShapeBracket(board, GetParam().fieldSize);
    expectShape(board, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    EveryFieldSize, ShapeFor,
    ::testing::Values(
        Shape{2, "0-1, 16", "0", {}, false},
        Shape{3, "0-2, 16-17, 24", "0, 1, 8", {{1, 1000}}, false},
        Shape{4, "0-3, 16-17, 24", "0, 1, 8", {}, false},
        Shape{5, "0-4, 16-18, 24-25, 28", "0-2, 8, 9, 12", {{2, 1630}, {9, 1950}}, false},
        Shape{6, "0-5, 16-18, 24-25, 28", "0-2, 8, 9, 12", {{9, 1950}}, false},
        Shape{7, "0-6, 16-19, 24-25, 28", "0-3, 8, 9, 12", {{3, 2270}}, false},
        Shape{8, "0-7, 16-19, 24-25, 28", "0-3, 8, 9, 12", {}, false},
        Shape{9,
              "0-8, 16-20, 24-26, 28-29",
              "0-4, 8-10, 12-14",
              {{4, 2900}, {10, 3150}, {13, 3882}},
              true},
        Shape{10, "0-9, 16-20, 24-26, 28-29", "0-4, 8-10, 12-14", {{10, 3150}, {13, 3882}}, true},
        Shape{11, "0-10, 16-21, 24-26, 28-29", "0-5, 8-10, 12-14", {{5, 3530}, {13, 3882}}, true},
        Shape{12, "0-11, 16-21, 24-26, 28-29", "0-5, 8-10, 12-14", {{13, 3882}}, true},
        Shape{13, "0-12, 16-22, 24-29", "0-6, 8-14", {{6, 4150}, {11, 4480}}, true},
        Shape{14, "0-13, 16-22, 24-29", "0-6, 8-14", {{11, 4480}}, true},
        Shape{15, "0-14, 16-29", "0-14", {{7, 4790}}, true}, Shape{16, "0-29", "0-14", {}, true}),
    [](const auto& test) { return "N" + std::to_string(test.param.fieldSize); });

TEST(BracketShape, NineThenSixteenRestoresEveryConnector)
{
    BracketBoard board;
    board.Load();
    ShapeBracket(board, 9);
    board.AllClear();
    ShapeBracket(board, 16);
    for (int c = 0; c < board::kConnectorCount; ++c) {
        EXPECT_TRUE(board.connectorVisible(c));
        EXPECT_EQ(board.connector(c), board::kDesignConnectors[c]) << c;
    }
}

// The wins each name needs to take the title, read off the shaped board as the organiser reads
// it: a shown connector with both its lines shown is a match, one that carries a single line on
// is a bye and must be cut short at the line it leads to.
std::string winsToTheTitle(const BracketBoard& board, int fieldSize)
{
    std::string wins;
    for (int slot = 0; slot < fieldSize; ++slot) {
        int count = 0;
        int line = slot;
        while (line != board::kChampionLine && board.connectorVisible(line / 2)) {
            const int c = line / 2;
            const int output = board::outputLine(c);
            if (board.lineVisible(line ^ 1))
                ++count;
            else
                EXPECT_EQ(board.connector(c).y2, board.line(output).y1) << "bye at connector " << c;
            EXPECT_TRUE(board.lineVisible(output) || output == board::kChampionLine) << output;
            line = output;
        }
        wins += std::to_string(count);
    }
    return wins;
}

TEST(BracketShape, ByesGiveTheLastNamesTheWinsTheGuideStates)
{
    // Digit i is the wins that the i-th name from the top needs.
    const std::map<int, std::string> expected = {
        {2, "11"},
        {3, "221"},
        {4, "2222"},
        {5, "33331"},
        {6, "333322"},
        {7, "3333332"},
        {8, "33333333"},
        {9, "444444441"},
        {10, "4444444422"},
        {11, "44444444332"},
        {12, "444444443333"},
        {13, "4444444444442"},
        {14, "44444444444433"},
        {15, "444444444444443"},
        {16, "4444444444444444"},
    };
    for (const auto& [fieldSize, wins] : expected) {
        BracketBoard board;
        board.Load();
        ShapeBracket(board, fieldSize);
        EXPECT_EQ(winsToTheTitle(board, fieldSize), wins) << "N = " << fieldSize;
    }
}

TEST(BracketShape, RoundsAndRefusedSizes)
{
    const std::map<int, int> rounds = {{2, 1}, {3, 2}, {4, 2}, {5, 3}, {8, 3}, {9, 4}, {16, 4}};
    for (const auto& [size, r] : rounds)
        EXPECT_EQ(roundsFor(size), r) << size;
    BracketBoard board;
    board.Load();
    const auto before = test::snapshot(board);
    EXPECT_THROW(ShapeBracket(board, 1), std::out_of_range);
    EXPECT_THROW(ShapeBracket(board, 17), std::out_of_range);
    EXPECT_EQ(test::snapshot(board), before);
}

} // namespace
} // namespace velka
