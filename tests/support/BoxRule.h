#pragma once

#include "bracket/BracketBoard.h"

#include <gtest/gtest.h>

namespace velka::test {

// Line k (k < 30) is shown exactly when box k is checked.
inline ::testing::AssertionResult boxRuleHolds(const BracketBoard& b)
{
    for (int k = 0; k < board::kBoxCount; ++k) {
        if (b.lineVisible(k) != b.boxChecked(k))
            return ::testing::AssertionFailure()
                   << "line " << k << (b.lineVisible(k) ? " shown" : " hidden") << " but box "
                   << (b.boxChecked(k) ? "checked" : "unchecked");
    }
    return ::testing::AssertionSuccess();
}

} // namespace velka::test
