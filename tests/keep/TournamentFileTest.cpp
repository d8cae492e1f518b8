#include "keep/TournamentFile.h"

#include "board/BracketBoard.h"
#include "tests/keep/TournamentWalk.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/TestSeed.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>

namespace velka {
namespace {

using Json = nlohmann::ordered_json;
using test::snapshot;

constexpr std::int64_t kSavedAt = 1796625000; // 2026-12-07T06:30:00Z

BracketBoard loadedBoard()
{
    BracketBoard b;
    b.Load();
    return b;
}

class TournamentRoundTrip : public ::testing::TestWithParam<test::TestSeed> {};

// Any state the organiser can reach comes back whole through the value, through the text and
// through a file on the disk, onto a fresh board: every element, and what the draw knew.
TEST_P(TournamentRoundTrip, GivesTheIdenticalBoard)
{
    std::mt19937 random(test::announce(GetParam()));
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("velka-round-trip-" + std::to_string(GetParam().value) + ".velka");
    BracketBoard walked = loadedBoard();
    for (int step = 0; step < 400; ++step) {
        test::walkStep(walked, random);
        const Tournament t = walked.tournament();

        BracketBoard restored = loadedBoard();
        restored.setTournament(t);
        ASSERT_EQ(snapshot(restored), snapshot(walked)) << "step " << step;
        ASSERT_EQ(restored.tournament(), t);

        const TournamentText text = tournamentFileText(t, kSavedAt + step);
        ASSERT_FALSE(text.refusal) << text.refusal->reason();
        const TournamentReading read = readTournamentText(text.text);
        ASSERT_TRUE(read.saved) << "step " << step << ": " << read.refusal->reason() << "\n"
                                << snapshot(walked);
        EXPECT_EQ(read.saved->tournament, t);
        EXPECT_EQ(read.saved->savedAt, kSavedAt + step);

        if (step % 40 == 0) {
            ASSERT_FALSE(writeTournamentFile(file, t, kSavedAt));
            BracketBoard opened = loadedBoard();
            ASSERT_FALSE(openTournamentFile(opened, file));
            EXPECT_EQ(snapshot(opened), snapshot(walked));
            EXPECT_EQ(opened.tournament(), t);
        }
    }
    std::filesystem::remove(file);
}

INSTANTIATE_TEST_SUITE_P(Seeds, TournamentRoundTrip, ::testing::ValuesIn(test::testSeeds()),
                         test::seedName);

// A drawn, seeded and marked board: the refusals below spoil its file one way at a time.
BracketBoard markedNine()
{
    BracketBoard b = loadedBoard();
    EntryList entries;
    entries.append({"A", "B", "C", "D", "E", "F", "G", "H"});
    test::ScriptedRandom values;
    drawField({"9", true, "シード"}, entries, b, values);
    b.ToggleProgress();
    b.setBoxChecked(3, false);
    return b;
}

// The file of markedNine() with values set at JSON pointers ("/tournament/fieldSize"); a value
// of "remove" takes the member or element away.
std::function<std::string()> with(std::vector<std::pair<std::string, Json>> edits)
{
    return [edits] {
        Json d = Json::parse(tournamentFileText(markedNine().tournament(), kSavedAt).text);
        for (const auto& [pointer, value] : edits) {
            if (value == "remove")
                d.patch_inplace(Json::array({{{"op", "remove"}, {"path", pointer}}}));
            else
                d[Json::json_pointer(pointer)] = value;
        }
        return d.dump(2);
    };
}
std::function<std::string()> with(std::string pointer, Json value)
{
    return with({{std::move(pointer), std::move(value)}});
}
// The file of markedNine() with one piece of its text replaced.
std::function<std::string()> replaced(std::string what, std::string by)
{
    return [what, by] {
        std::string text = tournamentFileText(markedNine().tournament(), kSavedAt).text;
        return text.replace(text.find(what), what.size(), by);
    };
}

struct Refusal {
    const char* name;
    std::function<std::string()> text;
    FileFault fault;
};

void PrintTo(const Refusal& r, std::ostream* out)
{
    *out << r.name;
}

class TournamentFileRefused : public ::testing::TestWithParam<Refusal> {};

TEST_P(TournamentFileRefused, WithAReasonAndTheBoardUnchanged)
{
    BracketBoard board = markedNine();
    board.TogglePalette();
    const test::BoardSnapshot before = snapshot(board);
    const Tournament tournamentBefore = board.tournament();
    int heard = 0;
    const Subscription subscription = board.subscribe([&heard](auto) { ++heard; });

    const std::optional<FileRefusal> refusal = openTournamentText(board, GetParam().text());

    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->fault, GetParam().fault) << refusal->reason();
    EXPECT_FALSE(refusal->reason().empty());
    EXPECT_LT(refusal->reason().size(), 300u) << "a reason that the file can make long";
    EXPECT_EQ(snapshot(board), before);
    EXPECT_EQ(board.tournament(), tournamentBefore);
    EXPECT_EQ(heard, 0);
}

using F = FileFault;

INSTANTIATE_TEST_SUITE_P(
    Files, TournamentFileRefused,
    ::testing::Values(
        Refusal{"Empty", [] { return std::string(); }, F::NotJson},
        Refusal{"NotJson", [] { return std::string("大会 {"); }, F::NotJson},
        Refusal{"TrailingText", replaced("\n}\n", "\n}\nx"), F::NotJson},
        Refusal{"InvalidUtf8InAName", replaced("シード", "\xff\xfe\xfd"), F::NotUtf8},
        Refusal{"EncodedSurrogate", replaced("シード", "\xed\xa0\x80"), F::NotUtf8},
        Refusal{"OverOneMiB", replaced("\n}\n", "\n}" + std::string(kTournamentFileLimit, ' ')),
                F::TooLarge},
        Refusal{"AnArray", [] { return std::string("[1, 2]"); }, F::NotATournament},
        Refusal{"DeeplyNested", [] { return std::string(5000, '[') + std::string(5000, ']'); },
                F::NotATournament},
        Refusal{"AnotherFormat", with("/format", "other-tournament"), F::NotATournament},
        Refusal{"NoFormat", with("/format", "remove"), F::NotATournament},
        Refusal{"LaterVersion", with("/version", 2), F::LaterVersion},
        Refusal{"LaterVersionWithNewFields",
                with({{"/version", 3}, {"/rounds", Json::array()}, {"/tournament", "remove"}}),
                F::LaterVersion},
        Refusal{"VersionZero", with("/version", 0), F::Damaged},
        Refusal{"VersionAsText", with("/version", "1"), F::Damaged},
        Refusal{"MissingSlot", with("/tournament/names/15", "remove"), F::Damaged},
        Refusal{"ExtraSlot", with("/tournament/names/-", ""), F::Damaged},
        Refusal{"SlotNotText", with("/tournament/names/2", 7), F::Damaged},
        Refusal{"MissingField", with("/tournament/fieldSize", "remove"), F::Damaged},
        Refusal{"ExtraField", with("/comment", "x"), F::Damaged},
        Refusal{"LongExtraField", with("/" + std::string(100000, 'k'), 1), F::Damaged},
        Refusal{"ExtraConnectorField", with("/tournament/connectors/0/colour", "red"), F::Damaged},
        Refusal{"RepeatedKey", replaced("\"version\"", "\"version\": 1, \"version\""), F::Damaged},
        Refusal{"BoxStateAsText", with("/tournament/boxChecked/4", "true"), F::Damaged},
        Refusal{"FractionalCoordinate", with("/tournament/connectors/1/y2", 1155.5), F::Damaged},
        Refusal{"HugeCoordinate", with("/tournament/connectors/1/y2", 100000), F::Damaged},
        Refusal{"SeedAsNumber", with("/tournament/seedName", 9), F::Damaged},
        Refusal{"FieldSizeSeventeen", with("/tournament/fieldSize", 17), F::Damaged},
        Refusal{"ProgramNotAVersion", with("/program", "latest"), F::Damaged},
        Refusal{"SavedOnNoDay", with("/saved", "2026-02-29T10:00:00Z"), F::Damaged},
        Refusal{"ConnectorBelowTheBoard", with("/tournament/connectors/14/y2", 5161), F::OffBoard},
        Refusal{"ConnectorLeftOfTheBoard", with("/tournament/connectors/0/x1", -15), F::OffBoard},
        Refusal{"BoxesHalfShown", with("/tournament/boxVisible/29", false), F::Impossible},
        Refusal{"LineWithoutItsBox", with("/tournament/lineVisible/3", true), F::Impossible},
        Refusal{"ChampionLineHidden", with("/tournament/lineVisible/30", false), F::Impossible},
        Refusal{"FieldSizeOne", with("/tournament/fieldSize", 1), F::Impossible},
        Refusal{"NameBeyondTheField", with("/tournament/names/12", "Z"), F::Impossible},
        Refusal{"EmptyNameInTheField", with("/tournament/names/2", ""), F::Impossible},
        Refusal{"SeedNotInTheLastSlot", with("/tournament/seedName", "A"), F::Impossible},
        Refusal{"ConnectorNotOfThisShape", with("/tournament/connectors/4/y2", 3045),
                F::Impossible},
        Refusal{"NamesOnAClearedBoard",
                with({{"/tournament/fieldSize", 0},
                      {"/tournament/seedName", nullptr},
                      {"/tournament/lineVisible/30", true}}),
                F::Impossible},
        Refusal{"ClearedBoardWithConnectorsNoDrawShows",
                [] {
                    BracketBoard b = loadedBoard();
                    Json d = Json::parse(tournamentFileText(b.tournament(), kSavedAt).text);
                    d["tournament"]["connectors"][14]["visible"] = false;
                    return d.dump();
                },
                F::Impossible}),
    [](const auto& c) { return std::string(c.param.name); });

// What could not be read back is not written: the save fails with its reason instead.
TEST(TournamentFileText, RefusesWhatWouldNotReadBack)
{
    Tournament t = markedNine().tournament();
    t.names[1] = "\xc3\x28";
    EXPECT_EQ(tournamentFileText(t, kSavedAt).refusal, (FileRefusal{F::NotUtf8, "names[1]"}));
    t.names[1] = std::string(kTournamentFileLimit / 2, 'x');
    t.names[2] = t.names[1];
    EXPECT_EQ(tournamentFileText(t, kSavedAt).refusal->fault, F::TooLarge);
}

TEST(UtcTimestamp, ReadsBackWhatItWritesAndNothingElse)
{
    for (const std::int64_t instant : {0LL, 951782400LL, 1796625000LL, 4107542399LL})
        EXPECT_EQ(readUtcTimestamp(utcTimestamp(instant)), instant) << utcTimestamp(instant);
    EXPECT_EQ(utcTimestamp(951782400), "2000-02-29T00:00:00Z");
    for (const char* text : {"2026-12-07T06:30:00", "2026-12-07 06:30:00Z", "2026-13-01T00:00:00Z",
                             "2100-02-29T00:00:00Z", "2026-12-07T24:00:00Z", "1969-12-31T23:59:59Z",
                             "2026-12-07T06:30:00+09:00"})
        EXPECT_FALSE(readUtcTimestamp(text)) << text;
}

} // namespace
} // namespace velka
