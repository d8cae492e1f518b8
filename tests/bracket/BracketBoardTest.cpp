#include "bracket/BracketBoard.h"

#include "tests/support/BoardSnapshot.h"
#include "tests/support/BoxRule.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TestSeed.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

namespace velka {
namespace {

using test::boxRuleHolds;
using test::snapshot;
using Part = BracketBoard::Part;

BracketBoard loadedBoard()
{
    BracketBoard b;
    b.Load();
    return b;
}

void expectCleared(const BracketBoard& b)
{
    for (int k = 0; k < board::kBoxCount; ++k) {
        EXPECT_TRUE(b.boxChecked(k)) << k;
        EXPECT_FALSE(b.boxVisible(k)) << k;
    }
    for (int k = 0; k < board::kLineCount; ++k)
        EXPECT_TRUE(b.lineVisible(k)) << k;
    for (int i = 0; i < board::kSlotCount; ++i)
        EXPECT_EQ(b.slotCaption(i), "参加者" + std::to_string(i + 1));
    for (int c = 0; c < board::kConnectorCount; ++c)
        EXPECT_EQ(b.connector(c), board::kDesignConnectors[c]) << c;
}

TEST(BracketBoard, LoadSavesTheGeometryAndClearsTheBoard)
{
    BracketBoard b;
    EXPECT_FALSE(b.connectorGeometrySaved());

    b.Load();
    EXPECT_FALSE(b.progressMode());
    expectCleared(b);
    for (int c = 0; c < board::kConnectorCount; ++c) {
        EXPECT_TRUE(b.connectorVisible(c));
        EXPECT_EQ(b.savedConnector(c), board::kDesignConnectors[c]);
    }
    EXPECT_TRUE(boxRuleHolds(b));
}

TEST(BracketBoard, ResetCaptionsHaveNoSpaceAndNoLeadingZero)
{
    EXPECT_EQ(designCaption(0), "参加者1");
    EXPECT_EQ(designCaption(8), "参加者9");
    EXPECT_EQ(designCaption(9), "参加者10");
    EXPECT_EQ(designCaption(15), "参加者16");
}

// Starting points for AllClear, each with what it must leave alone.
struct ClearCase {
    const char* name;
    std::function<void(BracketBoard&)> prepare;
};

void PrintTo(const ClearCase& c, std::ostream* out)
{
    *out << c.name;
}

class AllClearFrom : public ::testing::TestWithParam<ClearCase> {};

TEST_P(AllClearFrom, EndsInTheClearedState)
{
    BracketBoard b = loadedBoard();
    GetParam().prepare(b);
    const auto before = snapshot(b);

    b.AllClear();

    expectCleared(b);
    EXPECT_TRUE(boxRuleHolds(b));
    EXPECT_EQ(snapshot(b).connectorVisible, before.connectorVisible);
    for (int c = 0; c < board::kConnectorCount; ++c)
        EXPECT_EQ(b.savedConnector(c), board::kDesignConnectors[c]);
}

INSTANTIATE_TEST_SUITE_P(Boards, AllClearFrom,
                         ::testing::Values(ClearCase{"Fresh", [](BracketBoard&) {}},
                                           ClearCase{"Marked",
                                                     [](BracketBoard& b) {
                                                         b.ToggleProgress();
                                                         for (int k : {1, 3, 5, 16, 24, 29})
                                                             b.setBoxChecked(k, false);
                                                         b.setSlotCaption(0, "Alice");
                                                         b.setSlotCaption(9, "");
                                                     }},
                                           ClearCase{"ShortenedAndHiddenConnectors",
                                                     [](BracketBoard& b) {
                                                         for (int k = 0; k < board::kBoxCount; ++k)
                                                             b.setBoxChecked(k, k < 9);
                                                         b.setLineVisible(board::kChampionLine,
                                                                          false);
                                                         b.setConnectorY2(4, 2900);
                                                         b.setConnectorY2(10, 3150);
                                                         b.setConnectorY2(13, 3882);
                                                         for (int c : {5, 6, 7, 11})
                                                             b.setConnectorVisible(c, false);
                                                     }},
                                           ClearCase{"LinesOutOfStepWithCheckedBoxes",
                                                     [](BracketBoard& b) {
                                                         // Every box is checked already, so the
                                                         // first pass changes no state; the second
                                                         // pass must still show every line.
                                                         for (int k = 0; k < board::kLineCount; ++k)
                                                             b.setLineVisible(k, false);
                                                     }}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(BracketBoard, AllClearRunsItsPassesInOrder)
{
    BracketBoard b = loadedBoard();
    b.ToggleProgress();
    b.setBoxChecked(2, false);
    b.setSlotCaption(3, "x");
    b.setConnectorY2(1, 1000);

    std::vector<BracketBoard::Change> log;
    const Subscription subscription =
        b.subscribe([&log](BracketBoard::Change c) { log.push_back(c); });
    b.AllClear();

    // Boxes in index order, each hidden before it is checked and its line follows at once;
    // then the lines, the captions and last the connectors.
    std::vector<std::pair<Part, int>> seen;
    for (const auto& c : log)
        seen.emplace_back(c.part, c.index);
    std::vector<std::pair<Part, int>> expected;
    for (int k = 0; k < board::kBoxCount; ++k) {
        expected.emplace_back(Part::BoxVisible, k);
        if (k == 2) {
            expected.emplace_back(Part::BoxState, 2);
            expected.emplace_back(Part::LineVisible, 2);
        }
    }
    expected.emplace_back(Part::SlotCaption, 3);
    expected.emplace_back(Part::Connector, 1);
    EXPECT_EQ(seen, expected);
}

TEST(BracketBoard, BoxRuleRunsExactlyWhenTheStateChanges)
{
    BracketBoard b = loadedBoard();
    const auto before = snapshot(b);

    b.setBoxChecked(5, false);
    EXPECT_FALSE(b.lineVisible(5));
    auto expected = before;
    expected.boxChecked[5] = false;
    expected.lineVisible[5] = false;
    EXPECT_EQ(snapshot(b), expected) << "only box 5 and line 5 may change";

    b.setBoxChecked(5, true);
    EXPECT_EQ(snapshot(b), before);

    // Setting the state a box holds already runs nothing, so a line put out of step by hand
    // stays so; the key-release path applies the rule by itself.
    b.setLineVisible(7, false);
    b.setBoxChecked(7, true);
    EXPECT_FALSE(b.lineVisible(7));
    b.ApplyBoxRule(7);
    EXPECT_TRUE(b.lineVisible(7));
}

TEST(BracketBoard, LineThirtyIsNotGovernedByAnyBox)
{
    BracketBoard b = loadedBoard();
    for (int k = 0; k < board::kBoxCount; ++k)
        b.setBoxChecked(k, false);
    EXPECT_TRUE(b.lineVisible(board::kChampionLine));
}

TEST(BracketBoard, ProgressShowsAndHidesAllBoxesWithoutTouchingStates)
{
    BracketBoard b = loadedBoard();
    b.setBoxChecked(12, false);
    const auto states = snapshot(b).boxChecked;

    b.ToggleProgress();
    EXPECT_TRUE(b.progressMode());
    for (int k = 0; k < board::kBoxCount; ++k)
        EXPECT_TRUE(b.boxVisible(k)) << k;

    // Box 0 stands for all of them.
    b.setBoxVisible(7, false);
    b.ToggleProgress();
    for (int k = 0; k < board::kBoxCount; ++k)
        EXPECT_FALSE(b.boxVisible(k)) << k;
    EXPECT_EQ(snapshot(b).boxChecked, states);

    b.ToggleProgress();
    b.AllClear();
    EXPECT_FALSE(b.progressMode());
    b.ToggleProgress();
    EXPECT_TRUE(b.progressMode());
}

TEST(BracketBoard, ClearQuestionIsAWarningYesNoWithTwoLines)
{
    const Message q = BracketBoard::clearQuestion();
    EXPECT_EQ(q.title, "初期化");
    EXPECT_EQ(q.text, "初期化するとすべてのデータは失われます。\r\nよろしいですか？");
    EXPECT_EQ(q.icon, MessageIcon::Warning);
    EXPECT_EQ(q.buttons, MessageButtons::YesNo);
}

TEST(BracketBoard, ConfirmClearAnsweredNoChangesNothingAndYesClears)
{
    BracketBoard b = loadedBoard();
    b.ToggleProgress();
    b.setBoxChecked(3, false);
    b.setSlotCaption(0, "Bob");
    const auto before = snapshot(b);

    test::ScriptedMessageBoxes boxes;
    boxes.answers = {MessageAnswer::No, MessageAnswer::Yes};
    b.ConfirmClear(boxes);
    EXPECT_EQ(snapshot(b), before);

    b.ConfirmClear(boxes);
    expectCleared(b);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0], BracketBoard::clearQuestion());
}

TEST(BracketBoard, SavedCoordinatesSurviveShaping)
{
    BracketBoard b = loadedBoard();
    b.setConnectorY2(9, 1950);
    b.AllClear();
    b.setConnectorY2(13, 3882);
    for (int c = 0; c < board::kConnectorCount; ++c)
        EXPECT_EQ(b.savedConnector(c), board::kDesignConnectors[c]);
}

// Opening a tournament sets the whole board at once: one notification for everything, none when
// the board holds that tournament already; the saved geometry stays. A reset forgets what the
// draw knew, and says so.
TEST(BracketBoard, SetsTheWholeTournamentWithOneNotification)
{
    BracketBoard from = loadedBoard();
    from.ToggleProgress();
    from.setBoxChecked(3, false);
    from.setSlotCaption(2, "Zoë");
    from.setConnectorVisible(6, false);
    from.setConnectorY2(9, 1950);
    from.recordDraw(7, "Zoë");

    BracketBoard to = loadedBoard();
    std::vector<std::pair<Part, int>> heard;
    const Subscription subscription =
        to.subscribe([&heard](BracketBoard::Change c) { heard.emplace_back(c.part, c.index); });
    to.setTournament(from.tournament());
    to.setTournament(from.tournament());

    EXPECT_EQ(heard, (std::vector<std::pair<Part, int>>{{Part::Everything, 0}}));
    EXPECT_EQ(to.tournament(), from.tournament());
    EXPECT_EQ(to.savedConnector(9), board::kDesignConnectors[9]);

    heard.clear();
    to.AllClear();
    EXPECT_EQ(to.fieldSize(), 0);
    EXPECT_EQ(to.seedName(), std::nullopt);
    EXPECT_EQ(heard.front(), std::make_pair(Part::DrawRecord, 0));
}

// Thousands of random operations, of every kind the organiser and the program perform; after
// each one the box rule holds.
class BracketBoardAtRandom : public ::testing::TestWithParam<test::TestSeed> {};

TEST_P(BracketBoardAtRandom, RandomOperationsKeepTheBoxRule)
{
    const unsigned seed = test::announce(GetParam());
    std::mt19937 random(seed);
    SCOPED_TRACE("VELKA_TEST_SEED=" + std::to_string(seed));
    BracketBoard b = loadedBoard();
    test::ScriptedMessageBoxes boxes;
    const auto box = [&random] { return static_cast<int>(random() % board::kBoxCount); };

    for (int step = 0; step < 5000; ++step) {
        switch (random() % 6) {
        case 0: // a click by the organiser, or a change made by the program
            b.setBoxChecked(box(), random() % 2 == 0);
            break;
        case 1: {
            const int k = box();
            b.setBoxChecked(k, !b.boxChecked(k));
            break;
        }
        case 2:
            b.ApplyBoxRule(box()); // key release
            break;
        case 3:
            b.ToggleProgress();
            break;
        case 4:
            boxes.answers.push_back(random() % 2 ? MessageAnswer::Yes : MessageAnswer::No);
            b.ConfirmClear(boxes);
            break;
        case 5:
            b.AllClear();
            break;
        }
        ASSERT_TRUE(boxRuleHolds(b)) << "after step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, BracketBoardAtRandom, ::testing::ValuesIn(test::testSeeds()),
                         test::seedName);

} // namespace
} // namespace velka
