#include "draw/Draw.h"

#include "bracket/BracketBoard.h"
#include "draw/EntryList.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/EntryNames.h"
#include "tests/support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace velka {
namespace {

using test::namesIn;

EntryList listOf(int count, const std::string& prefix = "e")
{
    EntryList list;
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(prefix + std::to_string(i));
    list.append(names);
    return list;
}

// A board with a drawn and marked bracket on it, so that a refusal has something to spoil.
BracketBoard markedBoard()
{
    BracketBoard board;
    board.Load();
    EntryList list = listOf(8);
    test::ScriptedRandom random;
    EXPECT_TRUE(drawField({"8", false, ""}, list, board, random).drawn());
    board.ToggleProgress();
    board.setBoxChecked(0, false);
    return board;
}

struct RefusalCase {
    const char* name;
    DrawSettings settings;
    int entries;
    DrawRefusal refusal;
};

void PrintTo(const RefusalCase& c, std::ostream* out)
{
    *out << c.name;
}

class DrawRefused : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(DrawRefused, InTheCheckedOrderAndChangesNothing)
{
    BracketBoard board = markedBoard();
    EntryList list = listOf(GetParam().entries);
    test::ScriptedRandom random;
    const auto boardBefore = test::snapshot(board);
    const auto listBefore = namesIn(list);

    const DrawResult result = drawField(GetParam().settings, list, board, random);

    EXPECT_FALSE(result.drawn());
    EXPECT_EQ(result.refusal, GetParam().refusal);
    EXPECT_EQ(test::snapshot(board), boardBefore);
    EXPECT_EQ(namesIn(list), listBefore);
    EXPECT_EQ(random.reseeds, 0);
    EXPECT_EQ(random.taken, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, DrawRefused,
    ::testing::Values(
        RefusalCase{"One", {"1", false, ""}, 20, DrawRefusal::SizeOutOfRange},
        RefusalCase{"Zero", {"0", false, ""}, 20, DrawRefusal::SizeOutOfRange},
        RefusalCase{"MinusThree", {"-3", false, ""}, 20, DrawRefusal::SizeOutOfRange},
        RefusalCase{
            "SeventeenWithTwentyEntries", {"17", false, ""}, 20, DrawRefusal::SizeOutOfRange},
        RefusalCase{"RangeBeforeCount", {"17", false, ""}, 0, DrawRefusal::SizeOutOfRange},
        RefusalCase{"OnePointNine", {"1.9", false, ""}, 20, DrawRefusal::SizeOutOfRange},
        RefusalCase{"Huge", {"1e400", false, ""}, 20, DrawRefusal::SizeOutOfRange},
        RefusalCase{"HugeNegative", {"-1e400", false, ""}, 20, DrawRefusal::SizeOutOfRange},
        RefusalCase{
            "HundredDigits", {std::string(100, '9'), false, ""}, 20, DrawRefusal::SizeOutOfRange},
        RefusalCase{"DefaultWithFifteen", {"16", false, ""}, 15, DrawRefusal::NotEnoughEntries},
        RefusalCase{"SeedCountsOnce", {"3", true, "S"}, 1, DrawRefusal::NotEnoughEntries},
        RefusalCase{"CountBeforeSeedChecks", {"4", true, ""}, 2, DrawRefusal::NotEnoughEntries},
        RefusalCase{"NameBeforeParity", {"4", true, ""}, 10, DrawRefusal::SeedNameMissing},
        RefusalCase{"EvenWithSeed", {"4", true, "S"}, 10, DrawRefusal::SeedNeedsOddSize},
        RefusalCase{"EmptyText", {"", false, ""}, 20, DrawRefusal::FieldSizeNotANumber},
        RefusalCase{"Letters", {"abc", false, ""}, 20, DrawRefusal::FieldSizeNotANumber},
        RefusalCase{"NaN", {"NaN", false, ""}, 20, DrawRefusal::FieldSizeNotANumber},
        RefusalCase{"Infinity", {"inf", false, ""}, 20, DrawRefusal::FieldSizeNotANumber},
        RefusalCase{"SpaceInside", {"1 6", false, ""}, 20, DrawRefusal::FieldSizeNotANumber}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Draw, RefusalMessagesReadAsDesigned)
{
    const std::map<DrawRefusal, std::string> texts = {
        {DrawRefusal::FieldSizeNotANumber, "当選人数には数字を入力してください。"},
        {DrawRefusal::SizeOutOfRange, "参加人数は2～16の間で設定してください"},
        {DrawRefusal::NotEnoughEntries, "人数が足りません。"},
        {DrawRefusal::SeedNameMissing, "シードする人の名前を入力してください。"},
        {DrawRefusal::SeedNeedsOddSize, "シードは当選人数が奇数のときのみ有効です。"}};
    for (const auto& [refusal, text] : texts) {
        const Message m = refusalMessage(refusal);
        EXPECT_EQ(m, (Message{"Error", text, MessageIcon::Warning, MessageButtons::Ok}));
    }
}

TEST(Draw, FieldSizeIsRoundedDownAndFullWidthReads)
{
    EXPECT_EQ(readFieldSize("2.9"), 2);
    EXPECT_EQ(readFieldSize("16.5"), 16);
    EXPECT_EQ(readFieldSize("１６"), 16);
    EXPECT_EQ(readFieldSize(" 9 "), 9);
    EXPECT_EQ(readFieldSize("x"), std::nullopt);
    EXPECT_GT(*readFieldSize("1e400"), 16);
}

TEST(Draw, PicksFollowTheRandomValuesAndConsumeTheList)
{
    BracketBoard board;
    board.Load();
    EntryList list = listOf(5); // e0..e4
    // p = floor(L * r): 5 * 0.5 -> 2 (e2); 4 * 0 -> 0 (e0); 3 * 0.99 -> 2 (e4)
    test::ScriptedRandom random({0.5, 0.0, 0.99});

    const DrawResult result = drawField({"3", false, ""}, list, board, random);

    ASSERT_TRUE(result.drawn());
    EXPECT_EQ(result.fieldSize, 3);
    EXPECT_EQ(random.reseeds, 1);
    EXPECT_EQ(random.taken, 3);
    EXPECT_EQ(board.slotCaption(0), "e2");
    EXPECT_EQ(board.slotCaption(1), "e0");
    EXPECT_EQ(board.slotCaption(2), "e4");
    for (int slot = 3; slot < 16; ++slot)
        EXPECT_EQ(board.slotCaption(slot), "") << slot;
    EXPECT_EQ(namesIn(list), (std::vector<std::string>{"e1", "e3"}));
}

TEST(Draw, SeedTakesTheLastSlotOfTheField)
{
    BracketBoard board;
    board.Load();
    EntryList list = listOf(2);
    test::ScriptedRandom random({0.9, 0.0});
    ASSERT_TRUE(drawField({"3", true, "Seeded"}, list, board, random).drawn());
    EXPECT_EQ(board.slotCaption(0), "e1");
    EXPECT_EQ(board.slotCaption(1), "e0");
    EXPECT_EQ(board.slotCaption(2), "Seeded");
    EXPECT_EQ(random.taken, 2);
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(board.connectorVisible(1));
    EXPECT_EQ(board.connector(1).y2, 1000) << "the seed's slot has the bye";
}

TEST(Draw, SeedNamesAreTakenAsTypedAndIgnoredWhenUnchecked)
{
    BracketBoard board;
    board.Load();
    EntryList list = listOf(10, "n");
    list.append({"S"});
    test::ScriptedRandom random;
    ASSERT_TRUE(drawField({"10", false, "Ghost"}, list, board, random).drawn());
    for (int slot = 0; slot < 16; ++slot)
        EXPECT_NE(board.slotCaption(slot), "Ghost");
    for (int slot = 10; slot < 16; ++slot)
        EXPECT_EQ(board.slotCaption(slot), "") << slot;

    EntryList more = listOf(4);
    ASSERT_TRUE(drawField({"5", true, "  "}, more, board, random).drawn());
    EXPECT_EQ(board.slotCaption(4), "  ") << "blanks are a name";
}

TEST(Draw, EveryEntryIsDrawnOnceWhenTheFieldTakesThemAll)
{
    BracketBoard board;
    board.Load();
    EntryList list = listOf(16);
    list.remove(15);
    list.append({"e0"}); // the same name twice: two distinct entries
    test::ScriptedRandom random;
    ASSERT_TRUE(drawField({"16", false, ""}, list, board, random).drawn());
    std::multiset<std::string> drawn;
    for (int slot = 0; slot < 16; ++slot)
        drawn.insert(board.slotCaption(slot));
    EXPECT_EQ(drawn.count("e0"), 2u);
    EXPECT_EQ(drawn.size(), 16u);
    EXPECT_EQ(std::set<std::string>(drawn.begin(), drawn.end()).size(), 15u);
    EXPECT_EQ(list.count(), 0);
}

TEST(Draw, APickNeverReachesTheEndOfTheList)
{
    // A generator that rounds up to 1, or worse, must still pick an entry that exists.
    BracketBoard board;
    board.Load();
    EntryList list = listOf(32767);
    test::ScriptedRandom random(
        {std::nextafter(1.0, 0.0), 1.0, 1.5, std::numeric_limits<double>::quiet_NaN(), -0.25});
    ASSERT_TRUE(drawField({"5", false, ""}, list, board, random).drawn());
    EXPECT_EQ(board.slotCaption(0), "e32766");
    EXPECT_EQ(board.slotCaption(1), "e32765");
    EXPECT_EQ(board.slotCaption(2), "e32764");
    EXPECT_EQ(board.slotCaption(3), "e0");
    EXPECT_EQ(board.slotCaption(4), "e1");
    EXPECT_LT(unitInterval(~0ULL), 1.0);
    EXPECT_EQ(unitInterval(0), 0.0);
}

// What draws without reseeding first (the Swiss pairings) must not start every run of the program
// from the same fixed sequence.
TEST(Draw, TheProgramsGeneratorIsSeededWhenMade)
{
    std::mt19937_64 unseeded;
    ClockSeededRandom random;
    EXPECT_NE(random.next(), unitInterval(unseeded()));
}

TEST(Draw, ResetsAMarkedBoardBeforeItDraws)
{
    BracketBoard board = markedBoard();
    board.setConnectorY2(0, 300);
    EntryList list = listOf(16);
    test::ScriptedRandom random;
    ASSERT_TRUE(drawField({"16", false, ""}, list, board, random).drawn());
    for (int k = 0; k < 30; ++k) {
        EXPECT_TRUE(board.boxChecked(k)) << k;
        EXPECT_FALSE(board.boxVisible(k)) << k;
    }
    EXPECT_EQ(board.connector(0), board::kDesignConnectors[0]);
}

// Draws of 3 from 5 come out in each of the 60 orders equally often: a chi-square test with a
// fixed generator seed, so it is deterministic and never flakes.
TEST(Draw, DrawsAreUniformOverSelectionAndOrder)
{
    constexpr int kDraws = 60'000;
    std::map<std::string, int> seen;
    test::ScriptedRandom random({}, 20261207);
    BracketBoard board;
    board.Load();
    for (int i = 0; i < kDraws; ++i) {
        EntryList list = listOf(5);
        ASSERT_TRUE(drawField({"3", false, ""}, list, board, random).drawn());
        ++seen[board.slotCaption(0) + board.slotCaption(1) + board.slotCaption(2)];
    }
    ASSERT_EQ(seen.size(), 60u);
    const double expected = kDraws / 60.0;
    double chiSquare = 0;
    for (const auto& [order, count] : seen)
        chiSquare += (count - expected) * (count - expected) / expected;
    // 59 degrees of freedom: the 99.9th percentile is about 99.6.
    EXPECT_LT(chiSquare, 99.6);
}

} // namespace
} // namespace velka
