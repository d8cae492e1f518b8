#include "keep/TournamentFile.h"

#include "bracket/BracketBoard.h"
#include "keep/AtomicFile.h"
#include "keep/TournamentKeeper.h"
#include "swiss/SwissDraw.h"
#include "tests/keep/TournamentWalk.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/TestClock.h"
#include "tests/support/TestSeed.h"
#include "tests/swiss/HandEvent.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace velka {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using test::snapshot;
using F = FileFault;

constexpr std::int64_t kSavedAt = 1796625000; // 2026-12-07T06:30:00Z

long processNumber()
{
#ifdef _WIN32
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(getpid());
#endif
}

BracketBoard loadedBoard()
{
    BracketBoard b;
    b.Load();
    return b;
}

std::string contentOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A folder of its own for each test, and a clock standing at kSavedAt.
class KeepTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
        clock.time = kSavedAt;
    }
    void TearDown() override { fs::remove_all(folder); }
    // Files in the folder, temporary ones included.
    int filesInFolder() const
    {
        return static_cast<int>(std::distance(fs::directory_iterator(folder), {}));
    }

    const fs::path folder =
        fs::temp_directory_path() / ("velka-keep-" + std::to_string(std::random_device{}()));
    const fs::path kept = folder / "last.velka";
    test::TestClock clock;
    BracketBoard board = loadedBoard();
};

class TournamentRoundTrip : public KeepTest,
                            public ::testing::WithParamInterface<test::TestSeed> {};

// Any state the organiser can reach comes back whole through the text and the value, and now and
// then through a file on the disk, onto a fresh board: every element, and what the draw knew.
// The Swiss event beside it walks too, and comes back whole.
TEST_P(TournamentRoundTrip, GivesTheIdenticalBoard)
{
    const unsigned seed = test::announce(GetParam());
    std::mt19937 random(seed);
    std::mt19937 swissSteps(seed + 1);
    test::ScriptedRandom pairing({}, seed);
    SwissDraw swiss(pairing);
    for (int step = 0; step < 400; ++step) {
        test::walkStep(board, random);
        test::walkSwissStep(swiss, swissSteps);
        const Tournament t = board.tournament();
        const TournamentText text = tournamentFileText(t, kSavedAt + step, swiss.event());
        ASSERT_FALSE(text.refusal) << text.refusal->reason();
        const TournamentReading read = readTournamentText(text.text);
        ASSERT_TRUE(read.saved) << "step " << step << ": " << read.refusal->reason() << "\n"
                                << snapshot(board);
        EXPECT_EQ(read.saved->savedAt, kSavedAt + step);
        ASSERT_EQ(read.saved->swiss, swiss.event()) << "step " << step;

        BracketBoard restored = loadedBoard();
        SwissDraw restoredSwiss(pairing);
        if (step % 40 == 0) {
            ASSERT_FALSE(writeTournamentFile(kept, t, kSavedAt, swiss.event()));
            ASSERT_FALSE(openTournamentFile(restored, kept, &restoredSwiss));
            ASSERT_EQ(restoredSwiss.event(), swiss.event());
        } else {
            restored.setTournament(read.saved->tournament);
        }
        ASSERT_EQ(snapshot(restored), snapshot(board)) << "step " << step;
        ASSERT_EQ(restored.tournament(), t);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, TournamentRoundTrip, ::testing::ValuesIn(test::testSeeds()),
                         test::seedName);

// Nine drawn, the ninth a seed.
void drawNine(BracketBoard& b)
{
    EntryList entries;
    entries.append({"A", "B", "C", "D", "E", "F", "G", "H"});
    test::ScriptedRandom values;
    drawField({"9", true, "シード"}, entries, b, values);
}

// A drawn, seeded and marked board: the refusals below spoil its file one way at a time.
BracketBoard markedNine()
{
    BracketBoard b = loadedBoard();
    drawNine(b);
    b.ToggleProgress();
    b.setBoxChecked(3, false);
    return b;
}

// The file of t and swiss with values set at JSON pointers ("/tournament/fieldSize"); a value of
// "remove" takes the member or element away.
std::string with(const std::vector<std::pair<std::string, Json>>& edits,
                 const Tournament& t = markedNine().tournament(), const SwissEvent& swiss = {})
{
    Json d = Json::parse(tournamentFileText(t, kSavedAt, swiss).text);
    for (const auto& [pointer, value] : edits) {
        if (value == "remove")
            d.patch_inplace(Json::array({{{"op", "remove"}, {"path", pointer}}}));
        else
            d[Json::json_pointer(pointer)] = value;
    }
    return d.dump(2);
}
std::string with(std::string pointer, Json value)
{
    return with({{std::move(pointer), std::move(value)}});
}
// The file of markedNine() and playedSwissEvent() with values set.
std::string withSwiss(const std::vector<std::pair<std::string, Json>>& edits)
{
    return with(edits, markedNine().tournament(), test::playedSwissEvent());
}
// A table of round 1 (playerA, playerB, result 2-0) that no pairing made.
Json table(Json a, Json b)
{
    return {{"playerA", std::move(a)},
            {"playerB", std::move(b)},
            {"result", {{"gamesA", 2}, {"gamesB", 0}, {"drawnGames", 0}}},
            {"rematch", false}};
}
// The file of markedNine() with one piece of its text replaced.
std::string replaced(const std::string& what, const std::string& by)
{
    std::string text = tournamentFileText(markedNine().tournament(), kSavedAt).text;
    return text.replace(text.find(what), what.size(), by);
}

// A file of exactly 1 MiB without a space: it reads, but in the writer's layout it is larger.
std::string compactAtTheLimit()
{
    Json d = Json::parse(tournamentFileText(markedNine().tournament(), kSavedAt).text);
    d["tournament"]["names"][0] = "";
    d["tournament"]["names"][0] = std::string(kTournamentFileLimit - d.dump().size(), 'A');
    return d.dump();
}

// Every way a file is refused: with the fault and a short reason, and the board (palette
// included), its tournament, the Swiss event and their listeners untouched.
TEST(TournamentFileRefused, WithAReasonAndTheBoardUnchanged)
{
    const SwissEvent played = test::playedSwissEvent();
    // Round 1 of played: three tables and the bye.
    const Json round1 = Json::parse(withSwiss({}))["swiss"]["rounds"][0];
    const int seated = round1[0]["playerA"].get<int>();
    Json beforeRound1 = round1;
    beforeRound1.insert(beforeRound1.begin(), table(30, 31));
    Json tooMany = Json::array();
    for (int i = 0; i <= kMaxSwissPlayers; ++i)
        tooMany.push_back({{"name", "P" + std::to_string(i)},
                           {"reading", ""},
                           {"firstRound", 1},
                           {"droppedFrom", nullptr}});
    // The reason names what is wrong, where the row says what.
    struct Refused {
        const char* name;
        std::string text;
        FileFault fault;
        const char* says = "";
    };
    const std::vector<Refused> files{
        {"Empty", "", F::NotJson},
        {"NotJson", "大会 {", F::NotJson},
        {"TrailingText", replaced("\n}\n", "\n}\nx"), F::NotJson},
        {"InvalidUtf8InAName", replaced("シード", "\xff\xfe\xfd"), F::NotUtf8},
        {"EncodedSurrogate", replaced("シード", "\xed\xa0\x80"), F::NotUtf8},
        {"OverOneMiB", replaced("\n}\n", "\n}" + std::string(kTournamentFileLimit, ' ')),
         F::TooLarge},
        {"CompactButOverOneMiBWrittenBack", compactAtTheLimit(), F::TooLarge},
        {"NumberBeyondADouble", replaced("\"version\": 2,", "\"version\": 1e400,"), F::Damaged},
        {"AnArray", "[1, 2]", F::NotATournament},
        {"DeeplyNested", std::string(5000, '[') + std::string(5000, ']'), F::NotATournament},
        {"AnotherFormat", with("/format", "other-tournament"), F::NotATournament},
        {"NoFormat", with("/format", "remove"), F::NotATournament},
        {"LaterVersion", with("/version", 3), F::LaterVersion},
        {"LaterVersionWithNewFields",
         with({{"/version", 3}, {"/rounds", Json::array()}, {"/tournament", "remove"}}),
         F::LaterVersion},
        {"VersionZero", with("/version", 0), F::Damaged},
        {"VersionAsText", with("/version", "1"), F::Damaged},
        {"MissingSlot", with("/tournament/names/15", "remove"), F::Damaged},
        {"ExtraSlot", with("/tournament/names/-", ""), F::Damaged},
        {"SlotNotText", with("/tournament/names/2", 7), F::Damaged},
        {"MissingField", with("/tournament/fieldSize", "remove"), F::Damaged},
        {"ExtraField", with("/comment", "x"), F::Damaged},
        {"LongExtraField", with("/" + std::string(100000, 'k'), 1), F::Damaged},
        {"ExtraConnectorField", with("/tournament/connectors/0/colour", "red"), F::Damaged},
        {"RepeatedKey", replaced("\"version\"", "\"version\": 1, \"version\""), F::Damaged},
        {"BoxStateAsText", with("/tournament/boxChecked/4", "true"), F::Damaged},
        {"FractionalCoordinate", with("/tournament/connectors/1/y2", 1155.5), F::Damaged},
        {"HugeCoordinate", with("/tournament/connectors/1/y2", 100000), F::Damaged},
        {"SeedAsNumber", with("/tournament/seedName", 9), F::Damaged},
        {"FieldSizeSeventeen", with("/tournament/fieldSize", 17), F::Damaged},
        {"ProgramNotAVersion", with("/program", "latest"), F::Damaged},
        {"SavedOnNoDay", with("/saved", "2026-02-29T10:00:00Z"), F::Damaged},
        {"ConnectorBelowTheBoard", with("/tournament/connectors/14/y2", 5161), F::OffBoard},
        {"ConnectorLeftOfTheBoard", with("/tournament/connectors/0/x1", -15), F::OffBoard},
        {"BoxesHalfShown", with("/tournament/boxVisible/29", false), F::Impossible},
        {"LineWithoutItsBox", with("/tournament/lineVisible/3", true), F::Impossible},
        {"ChampionLineHidden", with("/tournament/lineVisible/30", false), F::Impossible},
        {"FieldSizeOne", with("/tournament/fieldSize", 1), F::Impossible},
        {"NameBeyondTheField", with("/tournament/names/12", "Z"), F::Impossible},
        {"EmptyNameInTheField", with("/tournament/names/2", ""), F::Impossible},
        {"SeedNotInTheLastSlot", with("/tournament/seedName", "A"), F::Impossible},
        {"ConnectorNotOfThisShape", with("/tournament/connectors/4/y2", 3045), F::Impossible},
        {"NamesOnAClearedBoard",
         with({{"/tournament/fieldSize", 0},
               {"/tournament/seedName", nullptr},
               {"/tournament/lineVisible/30", true}}),
         F::Impossible},
        {"ClearedBoardWithConnectorsNoDrawShows",
         with({{"/tournament/connectors/14/visible", false}}, loadedBoard().tournament()),
         F::Impossible},
        {"VersionOneWithASwissEvent", withSwiss({{"/version", 1}}), F::Damaged},
        {"NoSwissField", with("/swiss", "remove"), F::Damaged},
        {"SwissAsText", with("/swiss", "none"), F::Damaged},
        {"SwissMatchUnknown", withSwiss({{"/swiss/settings/match", "bestOfFive"}}), F::Damaged},
        {"SwissPlayerWithoutReading", withSwiss({{"/swiss/players/0/reading", "remove"}}),
         F::Damaged},
        {"SwissMorePlayersThanTheMost", withSwiss({{"/swiss/players", tooMany}}), F::Damaged},
        {"SwissPlayerIndexBeyondTheMost", withSwiss({{"/swiss/rounds/0/0/playerB", 256}}),
         F::Damaged},
        {"SwissThreeGamesWon", withSwiss({{"/swiss/rounds/0/0/result/gamesA", 3}}), F::Damaged},
        {"SwissRoundAsObject", withSwiss({{"/swiss/rounds/1", {{"tables", 1}}}}), F::Damaged},
        {"SwissPlayerTwiceInARound", withSwiss({{"/swiss/rounds/0/1/playerB", seated}}),
         F::Impossible, "二度組まれています"},
        {"SwissResultForATableThatDoesNotExist", withSwiss({{"/swiss/rounds/0", beforeRound1}}),
         F::Impossible, "いない参加者の番号 30"},
        {"SwissPlayerLeftOut", withSwiss({{"/swiss/rounds/1/0", "remove"}}), F::Impossible,
         "組まれていません"},
        {"SwissByeNotLast",
         withSwiss({{"/swiss/rounds/0/3", round1[0]}, {"/swiss/rounds/0/0", round1[3]}}),
         F::Impossible, "最後の卓ではありません"},
        {"SwissResultTheFormatHasNot",
         withSwiss(
             {{"/swiss/rounds/0/0/result", {{"gamesA", 0}, {"gamesB", 0}, {"drawnGames", 1}}}}),
         F::Impossible, "この勝負の形式にはありません"},
        {"SwissResultMissingBeforeTheLastRound", withSwiss({{"/swiss/rounds/0/0/result", nullptr}}),
         F::Impossible, "次の回戦があります"},
        {"SwissRematchMarkWithoutAMeeting", withSwiss({{"/swiss/rounds/1/0/rematch", true}}),
         F::Impossible, "再戦の印"},
        {"SwissDroppedBeforeJoining", withSwiss({{"/swiss/players/7/droppedFrom", 1}}),
         F::Impossible, "棄権した回戦"},
        {"SwissOneRound", withSwiss({{"/swiss/settings/rounds", 1}}), F::Impossible, "回戦数"},
        {"SwissTwoPlayersOfOneLongName",
         withSwiss({{"/swiss/players/0/name", std::string(100000, 'n')},
                    {"/swiss/players/1/name", std::string(100000, 'n')}}),
         F::Impossible, "スイスドロー"}};

    BracketBoard board = markedNine();
    const test::BoardSnapshot before = snapshot(board);
    const Tournament tournamentBefore = board.tournament();
    test::ScriptedRandom pairing;
    SwissDraw swiss(pairing);
    ASSERT_EQ(swiss.load(played), std::nullopt);
    int heard = 0;
    const Subscription subscription = board.subscribe([&heard](auto) { ++heard; });
    const Subscription swissSubscription = swiss.subscribe([&heard] { ++heard; });
    for (const auto& [name, text, fault, says] : files) {
        SCOPED_TRACE(name);
        const std::optional<FileRefusal> refusal = openTournamentText(board, text, &swiss);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->fault, fault) << refusal->reason();
        EXPECT_NE(refusal->reason().find(says), std::string::npos) << refusal->reason();
        EXPECT_FALSE(refusal->reason().empty());
        EXPECT_LT(refusal->reason().size(), 300u) << "a reason that the file can make long";
        EXPECT_EQ(refusal->reason().find("exception"), std::string::npos) << "the library's text";
        ASSERT_EQ(snapshot(board), before);
        ASSERT_EQ(board.tournament(), tournamentBefore);
        ASSERT_EQ(swiss.event(), played);
        ASSERT_EQ(heard, 0);
    }
}

// A Swiss event the program ran (results, a drawn match, a drop, a late player, byes) comes back
// whole through a file, with the board beside it; opening puts both in place. A file of version
// 1, as the program wrote before, opens as it did and holds no event: opening it clears one.
TEST_F(KeepTest, ASwissEventComesBackWholeAndAVersionOneFileHoldsNone)
{
    const BracketBoard marked = markedNine();
    const SwissEvent played = test::playedSwissEvent();
    ASSERT_EQ(played.rounds.size(), 2u);
    ASSERT_FALSE(writeTournamentFile(kept, marked.tournament(), kSavedAt, played));
    const TournamentReading read = readTournamentFile(kept);
    ASSERT_TRUE(read.saved) << read.refusal->reason();
    EXPECT_EQ(read.saved->swiss, played);
    EXPECT_EQ(read.saved->tournament, marked.tournament());
    EXPECT_EQ(Json::parse(contentOf(kept))["version"], 2);

    test::ScriptedRandom pairing;
    SwissDraw swiss(pairing);
    ASSERT_FALSE(openTournamentFile(board, kept, &swiss));
    EXPECT_EQ(swiss.event(), played);
    EXPECT_EQ(board.tournament(), marked.tournament());
    // What opened runs on: the next round pairs once the results are in.
    EXPECT_TRUE(swiss.pairNextRound());

    Json versionOne = Json::parse(tournamentFileText(marked.tournament(), kSavedAt).text);
    EXPECT_EQ(versionOne["swiss"], nullptr);
    versionOne["version"] = 1;
    versionOne.erase("swiss");
    board.AllClear();
    ASSERT_FALSE(openTournamentText(board, versionOne.dump(2), &swiss));
    EXPECT_EQ(swiss.event(), SwissEvent{});
    EXPECT_EQ(board.tournament(), marked.tournament());
}

// The largest event (256 players, 20 rounds, every table with a result, names of sixteen
// characters and readings of eighteen) fits in a file with room to spare and reads back; names so
// long that no file holds them are refused when written, never written unreadable.
TEST(TournamentFileText, TheLargestSwissEventFitsAndReadsBack)
{
    SwissEvent largest;
    largest.settings = {kMaxSwissRounds, MatchFormat::BestOfThree, TiebreakerSet::OmwGwOgw, 16};
    for (int p = 0; p < kMaxSwissPlayers; ++p) {
        const std::string number = std::to_string(1000 + p);
        largest.players.push_back(
            {"東京都練馬区の鈴木一郎太" + number, "とうきょうとねりまくのすずき" + number, 1, {}});
    }
    // Player p meets p xor r in round r: never the same opponent twice.
    for (int r = 1; r <= kMaxSwissRounds; ++r) {
        SwissRound& round = largest.rounds.emplace_back();
        for (int p = 0; p < kMaxSwissPlayers; ++p) {
            if (p < (p ^ r))
                round.tables.push_back({p, p ^ r, MatchResult{2, 1, 0}, false});
        }
    }
    ASSERT_EQ(swissEventFault(largest), std::nullopt);
    const TournamentText text = tournamentFileText(markedNine().tournament(), kSavedAt, largest);
    ASSERT_FALSE(text.refusal) << text.refusal->reason();
    std::cout << "the largest Swiss event's file: " << text.text.size() << " bytes" << std::endl;
    EXPECT_LT(text.text.size(), kTournamentFileLimit / 2);
    const TournamentReading read = readTournamentText(text.text);
    ASSERT_TRUE(read.saved) << read.refusal->reason();
    EXPECT_EQ(read.saved->swiss, largest);

    for (SwissPlayer& p : largest.players)
        p.reading = std::string(kTournamentFileLimit / kMaxSwissPlayers, 'y');
    EXPECT_EQ(tournamentFileText(markedNine().tournament(), kSavedAt, largest).refusal->fault,
              F::TooLarge);
    largest.players[3].name = "\xc3\x28";
    EXPECT_EQ(tournamentFileText(markedNine().tournament(), kSavedAt, largest).refusal,
              (FileRefusal{F::NotUtf8, "swiss.players[3].name"}));
}

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

// Each action, however many notifications it makes, is one write, read back with the time it
// was kept; what changes no part of the tournament writes nothing. Closing hands over the change
// that no pass of the event loop has flushed yet.
TEST_F(KeepTest, TheKeeperWritesOnceAfterEachActionThatChangedTheTournament)
{
    {
        TournamentKeeper keeper(board, kept, clock);
        const auto afterPasses = [&](const char* action, std::uint64_t writes) {
            SCOPED_TRACE(action);
            keeper.flush();
            keeper.flush(); // a second pass of the event loop with nothing new
            keeper.waitUntilWritten();
            EXPECT_EQ(keeper.writes(), writes);
            EXPECT_FALSE(keeper.lastWriteFailure());
            EXPECT_EQ(keptTournamentExists(kept), writes > 0);
            const std::optional<SavedTournament> saved = readKeptTournament(kept).saved;
            EXPECT_EQ(saved.has_value(), writes > 0);
            if (saved) {
                EXPECT_EQ(saved->tournament, board.tournament());
                EXPECT_EQ(saved->savedAt, clock.time);
            }
            clock.time += 60;
        };
        board.AllClear();
        afterPasses("reset of a cleared board", 0);
        board.ToggleProgress();
        board.ToggleProgress();
        afterPasses("progress on and off again", 0);
        drawNine(board);
        afterPasses("draw", 1);
        board.ToggleProgress();
        board.setBoxChecked(3, false);
        afterPasses("mark", 2);
        board.AllClear(); // no pass of the event loop follows
    }
    EXPECT_EQ(readKeptTournament(kept).saved->tournament, board.tournament());
}

// After a restart the first write copies what the last run kept, even a file that cannot be
// read, so that a stray first click does not lose it; until then the file stays as it is.
TEST_F(KeepTest, AnUnreadableKeptStateIsCopiedAsideBeforeTheFirstWrite)
{
    const std::string garbage = "{\"format\": \"velka-tournament\", \"version\": 1, ";
    ASSERT_FALSE(writeFileAtomically(kept, garbage));
    EXPECT_EQ(readKeptTournament(kept).refusal->fault, F::NotJson);

    TournamentKeeper keeper(board, kept, clock);
    EXPECT_EQ(contentOf(kept), garbage) << "a keeper writes nothing before a change";
    board.ToggleProgress();
    keeper.flush();
    keeper.waitUntilWritten();
    EXPECT_EQ(contentOf(TournamentKeeper::previousSessionFile(kept)), garbage);
    EXPECT_EQ(readKeptTournament(kept).saved->tournament, board.tournament());
    EXPECT_EQ(filesInFolder(), 2) << "no temporary file is left behind";
}

TEST_F(KeepTest, AFailedKeepingIsReportedAndTheNextOneSucceeds)
{
    const fs::path missing = folder / "gone" / "last.velka";
    TournamentKeeper keeper(board, missing, clock);
    board.ToggleProgress();
    keeper.flush();
    keeper.waitUntilWritten();
    ASSERT_TRUE(keeper.lastWriteFailure());
    EXPECT_EQ(keeper.lastWriteFailure()->fault, F::CannotWrite);
    EXPECT_EQ(keeper.writes(), 0u);

    fs::create_directories(missing.parent_path());
    board.setBoxChecked(0, false);
    keeper.flush();
    keeper.waitUntilWritten();
    EXPECT_FALSE(keeper.lastWriteFailure());
    EXPECT_EQ(readKeptTournament(missing).saved->tournament, board.tournament());
}

TEST_F(KeepTest, AtomicWriteReplacesAFileWholeAndNeverAFolder)
{
    const fs::path file = folder / "名前.velka";
    ASSERT_FALSE(writeFileAtomically(file, std::string(100000, 'a')));
    ASSERT_FALSE(writeFileAtomically(file, "b"));
    EXPECT_EQ(contentOf(file), "b");
    EXPECT_TRUE(writeFileAtomically(folder, "c"));
    EXPECT_EQ(filesInFolder(), 1) << "a temporary file was left behind";
    EXPECT_TRUE(readFileBytes(file, 0).overLimit);
}

// Temporary files that killed writers left behind: a name one of them holds is skipped, and
// clearing takes them (and nothing else) away. A copy that cannot read its source whole leaves
// its target as it was.
TEST_F(KeepTest, LeftoverTemporariesNeitherBlockNorStay)
{
    const std::string twin = "last.velka." + std::to_string(processNumber()) + "-";
    for (int n = 0; n < 300; ++n)
        std::ofstream(folder / (twin + std::to_string(n) + ".tmp")) << "left by a kill";
    for (const char* other : {"notes.tmp", "last.velka.tmp", "last.velka.1-x.tmp", "1-2.tmp"})
        std::ofstream(folder / other) << "not ours";
    ASSERT_FALSE(writeFileAtomically(kept, "new"));
    EXPECT_EQ(removeLeftoverTemporaries(folder), 300);
    EXPECT_TRUE(copyFileAtomically(folder, kept)) << "a folder reads as nothing";
    EXPECT_EQ(contentOf(kept), "new");
    EXPECT_EQ(filesInFolder(), 5);
}

// Each step of keeping that the disk can refuse, after a restart over a drawn board. While it
// refuses, the kept file holds the last run's board whole (it is replaced only once the copy
// aside and the history are whole) and the failure shows; once mended, the pending state reaches
// the disk by itself after a pause, or at the close, with the last run beside it and in the
// history.
TEST_F(KeepTest, AFailedWriteStaysPendingUntilItIsOnTheDisk)
{
    const fs::path previous = TournamentKeeper::previousSessionFile(kept);
    const fs::path history = TournamentKeeper::historyFolder(kept);
    const Tournament lastRun = markedNine().tournament();
    const std::vector<std::tuple<const char*, std::function<void()>, std::function<void()>>> faults{
        {"the folder gone", [&] { fs::remove_all(folder); },
         [&] { fs::create_directories(folder); }},
        {"the copy aside", [&] { fs::create_directories(previous / "x"); },
         [&] { fs::remove_all(previous); }},
        {"the history", [&] { std::ofstream(history) << "a file"; }, [&] { fs::remove(history); }}};
    for (const auto& [fault, refuse, mend] : faults) {
        for (const bool atTheClose : {false, true}) {
            SCOPED_TRACE(std::string(fault) + (atTheClose ? ", at the close" : ""));
            ASSERT_FALSE(writeTournamentFile(kept, lastRun, kSavedAt));
            const std::string before = contentOf(kept);
            BracketBoard b = loadedBoard();
            const auto pause = std::chrono::milliseconds(atTheClose ? 3600000 : 1);
            std::optional<TournamentKeeper> keeper;
            keeper.emplace(b, kept, clock, TournamentKeeper::Start::Writing,
                           RetryPauses{pause, 4 * pause});
            keeper->waitUntilWritten();
            refuse();
            b.ToggleProgress();
            keeper->flush();
            keeper->waitUntilWritten();
            EXPECT_EQ(contentOf(kept), fs::exists(folder) ? before : "");
            EXPECT_EQ(keeper->lastWriteFailure().value().fault, F::CannotWrite);
            mend();
            if (atTheClose)
                keeper.reset();
            else
                keeper->waitUntilOnDisk();
            EXPECT_EQ(readKeptTournament(kept).saved.value().tournament, b.tournament());
            if (std::string(fault) != "the folder gone") {
                EXPECT_EQ(contentOf(previous), before);
                ASSERT_EQ(std::distance(fs::directory_iterator(history), {}), 1);
                const fs::path entry = fs::directory_iterator(history)->path();
                EXPECT_EQ(readKeptTournament(entry).saved.value().tournament, lastRun);
            }
            keeper.reset();
            fs::remove_all(folder);
            fs::create_directories(folder);
        }
    }
}

// The Swiss event is kept as the board is: each change of it is written and goes nowhere else.
// An event with players that is replaced (loaded over as an open does, cleared for a new one)
// goes into the history once, whole and with the board beside it; so does one that the first
// change of a new run replaces. A draw beside an event, or an empty event cleared, replaces
// nothing.
TEST_F(KeepTest, TheKeeperKeepsTheSwissEventAndPutsAReplacedOneInTheHistory)
{
    test::ScriptedRandom pairing;
    const SwissEvent played = test::playedSwissEvent();
    std::vector<SwissEvent> replaced;
    {
        SwissDraw swiss(pairing);
        TournamentKeeper keeper(board, &swiss, kept, clock);
        const auto pass = [&](const char* action, std::size_t entries) {
            SCOPED_TRACE(action);
            keeper.flush();
            keeper.waitUntilWritten();
            const TournamentReading read = readKeptTournament(kept);
            ASSERT_TRUE(read.saved);
            EXPECT_EQ(read.saved->swiss, swiss.event());
            EXPECT_EQ(read.saved->tournament, board.tournament());
            EXPECT_EQ(keeper.shelf().history.size(), entries);
            clock.time += 60;
        };
        swiss.addPlayers({{"A", ""}, {"B", ""}, {"C", ""}, {"D", ""}, {"E", ""}});
        pass("players", 0);
        ASSERT_EQ(swiss.pairNextRound(), std::nullopt);
        ASSERT_EQ(swiss.setResult(0, {2, 1, 0}), std::nullopt);
        drawNine(board);
        pass("a pairing, a result and a draw beside them", 0);
        replaced.push_back(swiss.event());
        ASSERT_EQ(swiss.load(played), std::nullopt);
        pass("loaded over", 1);
        replaced.push_back(swiss.event());
        swiss.clear();
        swiss.clear();
        pass("cleared for a new event", 2);
        ASSERT_EQ(swiss.setSettings({3, MatchFormat::SingleGame, TiebreakerSet::OwpOowp, 0}),
                  std::nullopt);
        swiss.clear();
        ASSERT_EQ(swiss.addPlayer("Late"), std::nullopt);
        pass("an empty event cleared", 2);
        replaced.push_back(swiss.event());
        board.AllClear();
        pass("the board reset beside the event", 3);
    }
    replaced.push_back(readKeptTournament(kept).saved->swiss);
    SwissDraw nextRun(pairing);
    TournamentKeeper keeper(board, &nextRun, kept, clock);
    board.ToggleProgress();
    keeper.flush();
    keeper.waitUntilWritten();

    const std::vector<HistoryEntry> history = keeper.shelf().history;
    ASSERT_EQ(history.size(), 4u) << "the last run's event, replaced by the next run";
    const std::vector<std::pair<int, std::string>> listed{
        {1, "第1回戦の前"}, {1, "第1回戦の前"}, {8, "第2回戦まで"}, {5, "第1回戦まで"}};
    for (std::size_t i = 0; i < history.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(readKeptTournament(history[i].file).saved.value().swiss,
                  replaced[replaced.size() - 1 - i]);
        EXPECT_EQ(history[i].swissPlayers, listed[i].first);
        EXPECT_EQ(history[i].swissReached, listed[i].second);
    }
    EXPECT_EQ(history[0].fieldSize, 0);
    EXPECT_EQ(history[1].fieldSize, 9);
    EXPECT_EQ(readKeptTournament(kept).saved->swiss, SwissEvent{});
}

// How far a drawn field of eight had gone, by the boxes unchecked (each takes a player out).
TEST(HowFarItWent, NamesTheFurthestRoundAPlayerReached)
{
    const std::vector<std::pair<std::vector<int>, std::string>> cases{
        {{}, "1回戦まで"},
        {{1, 3}, "準決勝まで"},
        {{1, 3, 17}, "決勝まで"},
        {{1, 3, 17, 5, 7, 19, 25}, "優勝決定"}};
    for (const auto& [losers, reached] : cases) {
        BracketBoard b = loadedBoard();
        test::drawPlayers(b, 8, "P");
        for (const int box : losers)
            b.setBoxChecked(box, false);
        EXPECT_EQ(howFarItWent(b.tournament()), reached) << losers.size() << " out";
    }
    EXPECT_EQ(howFarItWent(loadedBoard().tournament()), "");

    SwissEvent finished = test::handEvent(); // three rounds of three, every result in
    EXPECT_EQ(howFarSwissWent(finished), "全3回戦終了");
    finished.rounds.back().tables[0].result.reset();
    EXPECT_EQ(howFarSwissWent(finished), "第3回戦まで");
    finished.settings.rounds = 4;
    finished.rounds.back().tables[0].result = MatchResult{2, 0, 0};
    EXPECT_EQ(howFarSwissWent(finished), "第3回戦まで");
}

} // namespace
} // namespace velka
