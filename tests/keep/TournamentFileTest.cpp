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

std::string spoiled(const std::function<void(Json&)>& spoil)
{
    Json document = Json::parse(tournamentFileText(markedNine().tournament(), kSavedAt).text);
    spoil(document);
    return document.dump(2);
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
    EXPECT_EQ(snapshot(board), before);
    EXPECT_EQ(board.tournament(), tournamentBefore);
    EXPECT_EQ(heard, 0);
}

using F = FileFault;
auto edit(std::function<void(Json&)> spoil)
{
    return [spoil] { return spoiled(spoil); };
}
auto inTournament(std::function<void(Json&)> spoil)
{
    return edit([spoil](Json& d) { spoil(d["tournament"]); });
}

INSTANTIATE_TEST_SUITE_P(
    Files, TournamentFileRefused,
    ::testing::Values(
        Refusal{"Empty", [] { return std::string(); }, F::NotJson},
        Refusal{"NotJson", [] { return std::string("大会 {"); }, F::NotJson},
        Refusal{"TrailingText", [] { return spoiled([](Json&) {}) + "x"; }, F::NotJson},
        Refusal{"InvalidUtf8InAName",
                [] {
                    std::string text = spoiled([](Json&) {});
                    return text.replace(text.find("シード"), 3, "\xff\xfe\xfd");
                },
                F::NotUtf8},
        Refusal{"EncodedSurrogate",
                [] {
                    std::string text = spoiled([](Json&) {});
                    return text.replace(text.find("シード"), 3, "\xed\xa0\x80");
                },
                F::NotUtf8},
        Refusal{"OverOneMiB",
                [] {
                    std::string text = spoiled([](Json&) {});
                    return text + std::string(kTournamentFileLimit + 1 - text.size(), ' ');
                },
                F::TooLarge},
        Refusal{"AnArray", [] { return std::string("[1, 2]"); }, F::NotATournament},
        Refusal{"DeeplyNested", [] { return std::string(5000, '[') + std::string(5000, ']'); },
                F::NotATournament},
        Refusal{"AnotherFormat", edit([](Json& d) { d["format"] = "other-tournament"; }),
                F::NotATournament},
        Refusal{"NoFormat", edit([](Json& d) { d.erase("format"); }), F::NotATournament},
        Refusal{"LaterVersion", edit([](Json& d) { d["version"] = 2; }), F::LaterVersion},
        Refusal{"LaterVersionWithNewFields",
                edit([](Json& d) {
                    d["version"] = 3;
                    d["rounds"] = Json::array();
                    d.erase("tournament");
                }),
                F::LaterVersion},
        Refusal{"VersionZero", edit([](Json& d) { d["version"] = 0; }), F::Damaged},
        Refusal{"VersionAsText", edit([](Json& d) { d["version"] = "1"; }), F::Damaged},
        Refusal{"MissingSlot", inTournament([](Json& tour) { tour["names"].erase(15); }), F::Damaged},
        Refusal{"ExtraSlot", inTournament([](Json& tour) { tour["names"].push_back(""); }), F::Damaged},
        Refusal{"SlotNotText", inTournament([](Json& tour) { tour["names"][2] = 7; }), F::Damaged},
        Refusal{"MissingField", inTournament([](Json& tour) { tour.erase("fieldSize"); }), F::Damaged},
        Refusal{"ExtraField", edit([](Json& d) { d["comment"] = "x"; }), F::Damaged},
        Refusal{"ExtraConnectorField",
                inTournament([](Json& tour) { tour["connectors"][0]["colour"] = "red"; }), F::Damaged},
        Refusal{"RepeatedKey",
                [] {
                    std::string text = spoiled([](Json&) {});
                    return text.insert(text.find("\"version\""), "\"version\": 1,\n  ");
                },
                F::Damaged},
        Refusal{"BoxStateAsText", inTournament([](Json& tour) { tour["boxChecked"][4] = "true"; }),
                F::Damaged},
        Refusal{"FractionalCoordinate",
                inTournament([](Json& tour) { tour["connectors"][1]["y2"] = 1155.5; }), F::Damaged},
        Refusal{"HugeCoordinate",
                inTournament([](Json& tour) { tour["connectors"][1]["y2"] = 100000; }), F::Damaged},
        Refusal{"SeedAsNumber", inTournament([](Json& tour) { tour["seedName"] = 9; }), F::Damaged},
        Refusal{"FieldSizeSeventeen", inTournament([](Json& tour) { tour["fieldSize"] = 17; }),
                F::Damaged},
        Refusal{"ProgramNotAVersion", edit([](Json& d) { d["program"] = "latest"; }), F::Damaged},
        Refusal{"SavedOnNoDay", edit([](Json& d) { d["saved"] = "2026-02-29T10:00:00Z"; }),
                F::Damaged},
        Refusal{"ConnectorBelowTheBoard",
                inTournament([](Json& tour) { tour["connectors"][14]["y2"] = 5161; }), F::OffBoard},
        Refusal{"ConnectorLeftOfTheBoard",
                inTournament([](Json& tour) { tour["connectors"][0]["x1"] = -15; }), F::OffBoard},
        Refusal{"BoxesHalfShown", inTournament([](Json& tour) { tour["boxVisible"][29] = false; }),
                F::Impossible},
        Refusal{"LineWithoutItsBox", inTournament([](Json& tour) { tour["lineVisible"][3] = true; }),
                F::Impossible},
        Refusal{"ChampionLineHidden",
                inTournament([](Json& tour) { tour["lineVisible"][30] = false; }), F::Impossible},
        Refusal{"FieldSizeOne", inTournament([](Json& tour) { tour["fieldSize"] = 1; }), F::Impossible},
        Refusal{"NameBeyondTheField", inTournament([](Json& tour) { tour["names"][12] = "Z"; }),
                F::Impossible},
        Refusal{"EmptyNameInTheField", inTournament([](Json& tour) { tour["names"][2] = ""; }),
                F::Impossible},
        Refusal{"SeedNotInTheLastSlot", inTournament([](Json& tour) { tour["seedName"] = "A"; }),
                F::Impossible},
        Refusal{"ConnectorNotOfThisShape",
                inTournament([](Json& tour) { tour["connectors"][4]["y2"] = 3045; }), F::Impossible},
        Refusal{"NamesOnAClearedBoard",
                inTournament([](Json& tour) {
                    tour["fieldSize"] = 0;
                    tour["seedName"] = nullptr;
                    tour["lineVisible"][30] = true;
                }),
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

TEST(TournamentFileText, NamesTheFormatVersionProgramAndTime)
{
    const Json document =
        Json::parse(tournamentFileText(loadedBoard().tournament(), kSavedAt).text);
    EXPECT_EQ(document["format"], "velka-tournament");
    EXPECT_EQ(document["version"], 1);
    EXPECT_EQ(document["program"], "0.11.5");
    EXPECT_EQ(document["saved"], "2026-12-07T06:30:00Z");
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

TEST(OpenRefusalMessage, IsAnErrorBoxNamingTheFileAndTheReason)
{
    const Message m = openRefusalMessage("大会.velka", {F::LaterVersion, "2"});
    EXPECT_EQ(m.title, "Error");
    EXPECT_EQ(m.icon, MessageIcon::Warning);
    EXPECT_EQ(m.text,
              "「大会.velka」を開けません。\r\n新しいバージョンの Velka Tablewright で保存された"
              "大会ファイルです（形式 2）。このバージョンでは開けません。");
}

} // namespace
} // namespace velka
