#include "bracket/BoardGeometry.h"

#include <gtest/gtest.h>

namespace velka {
namespace {

TEST(BoardGeometry, FirstRoundFollowsItsRule)
{
    for (int k = 0; k < 16; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(board::kDesignLines[k], (BoardLine{1890, 210 + 315 * k, 2535, 210 + 315 * k}));
        EXPECT_EQ(board::kDesignBoxes[k].left, 2100);
        EXPECT_EQ(board::kDesignBoxes[k].top, 105 + 315 * k);
        EXPECT_EQ(board::kDesignBoxes[k].top, board::slotPlace(k).top);
    }
}

TEST(BoardGeometry, LinesAreHorizontalAndBoxesSitOnThem)
{
    for (int k = 0; k < board::kLineCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(board::kDesignLines[k].y1, board::kDesignLines[k].y2);
        EXPECT_LT(board::kDesignLines[k].x1, board::kDesignLines[k].x2);
    }
    for (int k = 0; k < board::kBoxCount; ++k) {
        SCOPED_TRACE(k);
        const int above = board::kDesignLines[k].y1 - board::kDesignBoxes[k].top;
        EXPECT_EQ(above, k == 28 ? 108 : k == 29 ? 102 : 105);
        EXPECT_GT(board::kDesignBoxes[k].left, board::kDesignLines[k].x1);
        EXPECT_LT(board::kDesignBoxes[k].left + board::kBoxSize, board::kDesignLines[k].x2);
    }
}

TEST(BoardGeometry, ConnectorsJoinTheirInputsToTheirOutput)
{
    for (int c = 0; c < board::kConnectorCount; ++c) {
        SCOPED_TRACE(c);
        const BoardLine& connector = board::kDesignConnectors[c];
        const BoardLine& upper = board::kDesignLines[board::upperInput(c)];
        const BoardLine& lower = board::kDesignLines[board::lowerInput(c)];
        const BoardLine& output = board::kDesignLines[board::outputLine(c)];
        EXPECT_EQ(connector.x1, connector.x2);
        EXPECT_EQ(connector.x1, output.x1);
        EXPECT_EQ(connector.x1, upper.x2 - 15);
        EXPECT_EQ(connector.x1, lower.x2 - 15);
        EXPECT_LE(std::abs(connector.y1 - upper.y1), 20);
        EXPECT_LE(std::abs(connector.y2 - lower.y1), 20);
        EXPECT_LT(connector.y1, output.y1);
        EXPECT_GT(connector.y2, output.y1);
        if (c < 8) {
            EXPECT_EQ(connector.y1, upper.y1);
            EXPECT_EQ(connector.y2, lower.y1);
        }
    }
}

} // namespace
} // namespace velka
