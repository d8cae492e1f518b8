#include "uikit/PaletteSize.h"

#include <gtest/gtest.h>

namespace velka {
namespace {

// The main window's widths: 5655 twips closed, 8385 open.
struct ToggleCase {
    int from;
    int to;
};

void PrintTo(const ToggleCase& c, std::ostream* out)
{
    *out << c.from << " -> " << c.to;
}

class TogglePaletteFrom : public ::testing::TestWithParam<ToggleCase> {};

TEST_P(TogglePaletteFrom, OpensUnlessExactlyOpen)
{
    PaletteSize size(5655, 8385);
    size.set(GetParam().from);
    size.toggle();
    EXPECT_EQ(size.twips(), GetParam().to);
    EXPECT_EQ(size.isOpen(), GetParam().to == 8385);
}

INSTANTIATE_TEST_SUITE_P(Widths, TogglePaletteFrom,
                         ::testing::Values(ToggleCase{5655, 8385}, ToggleCase{8385, 5655},
                                           ToggleCase{8384, 8385}, ToggleCase{6000, 8385}));

TEST(PaletteSize, OpenAsDesignedUntilTheLoadStepClosesIt)
{
    PaletteSize size(1965, 2430);
    EXPECT_TRUE(size.isOpen());
    EXPECT_EQ(size.twips(), 2430);
    size.close();
    EXPECT_FALSE(size.isOpen());
    EXPECT_EQ(size.twips(), 1965);
}

} // namespace
} // namespace velka
