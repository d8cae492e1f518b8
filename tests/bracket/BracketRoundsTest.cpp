#include "bracket/BracketRounds.h"

#include "bracket/BracketBoard.h"
#include "tests/support/DrawnTournament.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace velka::bracket {
namespace {

using test::drawnAndMarked;
using test::nameOfSlot;

// What a player's page says, in short: P<slot>@<round> playing that slot, W<slots>@<round>
// waiting for the winner among those slots, O<slot>@<round> out (beaten by that slot, "-" when
// nobody went on), C@<round> champion.
std::string said(const BracketState& state, const Player& p)
{
    const auto slot = [&](int player) { return std::to_string(state.players.at(player).slot); };
    const auto round = [&] {
        return "@" + (p.match >= 0 ? std::to_string(state.matches.at(p.match).round) : "?");
    };
    switch (p.status) {
    case PlayerStatus::Playing:
        return "P" + slot(p.opponent) + round();
    case PlayerStatus::Waiting: {
        std::string out = "W";
        for (std::size_t i = 0; i < p.waitingFor.size(); ++i)
            out += (i ? "," : "") + slot(p.waitingFor[i]);
        return out + round();
    }
    case PlayerStatus::Out:
        return "O" + (p.opponent >= 0 ? slot(p.opponent) : "-") + round();
    case PlayerStatus::Champion:
        return "C" + round();
    }
    return "?";
}

struct Marked {
    int fieldSize;
    bool seed;
    const char* lostBoxes; // unchecked after the draw: these lines are taken off
    int byes;              // matches without a lower side
    const char* expected;  // what each slot's page says, in slot order
};

void PrintTo(const Marked& m, std::ostream* out)
{
    *out << "a draw of " << m.fieldSize << (m.seed ? " with a seed" : "");
}

class BracketRoundsFor : public ::testing::TestWithParam<Marked> {};

TEST_P(BracketRoundsFor, ReadsTheBoardAsItShows)
{
    const Marked& row = GetParam();
    const std::optional<BracketState> state =
        bracketFrom(drawnAndMarked(row.fieldSize, row.seed, row.lostBoxes));
    ASSERT_TRUE(state);

    std::string seen;
    int champion = -1;
    for (std::size_t i = 0; i < state->players.size(); ++i) {
        const Player& p = state->players[i];
        const bool seed = row.seed && p.slot == row.fieldSize - 1;
        EXPECT_EQ(p.slot, static_cast<int>(i));
        EXPECT_EQ(p.name, seed ? "シード選手" : nameOfSlot(p.slot));
        EXPECT_EQ(p.seed, seed) << p.slot;
        seen += (i ? " " : "") + said(*state, p);
        champion = p.status == PlayerStatus::Champion ? static_cast<int>(i) : champion;
    }
    EXPECT_EQ(seen, row.expected);
    EXPECT_EQ(state->champion, champion);

    const std::vector<std::vector<std::string>> names = {{"決勝"},
                                                         {"準決勝", "決勝"},
                                                         {"1回戦", "準決勝", "決勝"},
                                                         {"1回戦", "2回戦", "準決勝", "決勝"}};
    std::size_t rounds = 1;
    while ((1 << rounds) < row.fieldSize)
        ++rounds;
    std::vector<std::string> roundNames;
    for (const Round& r : state->rounds)
        roundNames.push_back(r.name);
    EXPECT_EQ(roundNames, names[rounds - 1]);
    EXPECT_EQ(state->rounds.back().matches.size(), 1u);
    // The field has fieldSize - 1 real matches and the byes.
    int byes = 0;
    for (const Match& m : state->matches)
        byes += m.bye ? 1 : 0;
    EXPECT_EQ(byes, row.byes);
    EXPECT_EQ(static_cast<int>(state->matches.size()) - byes, row.fieldSize - 1);
}

// Lines: 0..15 beside the slots, 16 + c out of connector c. Byes: the last odd slot in round 1,
// and wherever a half of the board runs short later.
INSTANTIATE_TEST_SUITE_P(
    EveryFieldSize, BracketRoundsFor,
    ::testing::Values(
        Marked{2, false, "1", 0, "C@1 O0@1"}, Marked{3, true, "0", 1, "O1@1 P2@2 P1@2"},
        Marked{4, false, "3", 0, "P1@1 P0@1 W0,1@2 O2@1"},
        Marked{5, false, "1 3 17", 2, "P4@3 O0@1 O0@2 O2@1 P0@3"},
        Marked{6, false, "4", 1, "P1@1 P0@1 P3@1 P2@1 O5@1 W0,1,2,3@3"},
        Marked{7, true, "0 2 16", 1, "O1@1 O3@2 O3@1 W4,5,6@3 P5@1 P4@1 W4,5@2"},
        Marked{8, false, "1 3 5 7 17 19 25", 0, "C@3 O0@1 O0@2 O2@1 O0@3 O4@1 O4@2 O6@1"},
        // Slot 8's own line taken off its bye: nobody goes on from there, so the final waits.
        Marked{9, false, "8", 3, "P1@1 P0@1 P3@1 P2@1 P5@1 P4@1 P7@1 P6@1 O-@1"},
        // Both lines of slots 2 and 3 taken off: nobody went on from their match.
        Marked{10, false, "9 2 3", 2,
               "P1@1 P0@1 O-@1 O-@1 P5@1 P4@1 P7@1 P6@1 W0,1,4,5,6,7@4 O8@1"},
        Marked{11, true, "8", 2, "P1@1 P0@1 P3@1 P2@1 P5@1 P4@1 P7@1 P6@1 O9@1 P10@2 P9@2"},
        Marked{12, false, "0 2 4 6 8 10 16 18 20 24", 1,
               "O1@1 O3@2 O3@1 O7@3 O5@1 O7@2 O7@1 P11@4 O9@1 O11@2 O11@1 P7@4"},
        // Slot 10 beaten in round 2 by whoever wins slots 8 and 9, not played yet.
        Marked{13, false, "11 21", 2,
               "P1@1 P0@1 P3@1 P2@1 P5@1 P4@1 P7@1 P6@1 P9@1 P8@1 O-@2 O10@1 W8,9@3"},
        Marked{14, false, "13 22", 1,
               "P1@1 P0@1 P3@1 P2@1 P5@1 P4@1 P7@1 P6@1 P9@1 P8@1 P11@1 P10@1 O-@2 O12@1"},
        Marked{
            15, true, "", 1,
            "P1@1 P0@1 P3@1 P2@1 P5@1 P4@1 P7@1 P6@1 P9@1 P8@1 P11@1 P10@1 P13@1 P12@1 W12,13@2"},
        Marked{16, false, "0 2 4 6 8 10 12 14 16 18 20 22 24 26 28", 0,
               "O1@1 O3@2 O3@1 O7@3 O5@1 O7@2 O7@1 O15@4 O9@1 O11@2 O11@1 O15@3 O13@1 O15@2 O15@1 "
               "C@4"}));

TEST(BracketRounds, NothingBeforeTheFirstDraw)
{
    BracketBoard board;
    board.Load();
    Tournament t = board.tournament();
    EXPECT_FALSE(bracketFrom(t));
    // The board after a reset shows sixteen placeholders; a field size is what makes it a draw.
    t.fieldSize = 16;
    EXPECT_TRUE(bracketFrom(t));
}

} // namespace
} // namespace velka::bracket
