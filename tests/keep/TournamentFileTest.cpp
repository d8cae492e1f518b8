#include "keep/TournamentFile.h"

#include "bracket/BracketBoard.h"
#include "keep/AtomicFile.h"
#include "keep/TournamentKeeper.h"
#include "tests/keep/TournamentWalk.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/TestClock.h"
#include "tests/support/TestSeed.h"

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
TEST_P(TournamentRoundTrip, GivesTheIdenticalBoard)
{
    std::mt19937 random(test::announce(GetParam()));
    for (int step = 0; step < 400; ++step) {
        test::walkStep(board, random);
        const Tournament t = board.tournament();
        const TournamentText text = tournamentFileText(t, kSavedAt + step);
        ASSERT_FALSE(text.refusal) << text.refusal->reason();
        const TournamentReading read = readTournamentText(text.text);
        ASSERT_TRUE(read.saved) << "step " << step << ": " << read.refusal->reason() << "\n"
                                << snapshot(board);
        EXPECT_EQ(read.saved->savedAt, kSavedAt + step);

        BracketBoard restored = loadedBoard();
        if (step % 40 == 0) {
            ASSERT_FALSE(writeTournamentFile(kept, t, kSavedAt));
            ASSERT_FALSE(openTournamentFile(restored, kept));
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

// The file of t with values set at JSON pointers ("/tournament/fieldSize"); a value of "remove"
// takes the member or element away.
std::string with(const std::vector<std::pair<std::string, Json>>& edits,
                 const Tournament& t = markedNine().tournament())
{
    Json d = Json::parse(tournamentFileText(t, kSavedAt).text);
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
// included), its tournament and its listeners untouched.
TEST(TournamentFileRefused, WithAReasonAndTheBoardUnchanged)
{
    const std::vector<std::tuple<const char*, std::string, FileFault>> files{
        {"Empty", "", F::NotJson},
        {"NotJson", "大会 {", F::NotJson},
        {"TrailingText", replaced("\n}\n", "\n}\nx"), F::NotJson},
        {"InvalidUtf8InAName", replaced("シード", "\xff\xfe\xfd"), F::NotUtf8},
        {"EncodedSurrogate", replaced("シード", "\xed\xa0\x80"), F::NotUtf8},
        {"OverOneMiB", replaced("\n}\n", "\n}" + std::string(kTournamentFileLimit, ' ')),
         F::TooLarge},
        {"CompactButOverOneMiBWrittenBack", compactAtTheLimit(), F::TooLarge},
        {"NumberBeyondADouble", replaced("\"version\": 1,", "\"version\": 1e400,"), F::Damaged},
        {"AnArray", "[1, 2]", F::NotATournament},
        {"DeeplyNested", std::string(5000, '[') + std::string(5000, ']'), F::NotATournament},
        {"AnotherFormat", with("/format", "other-tournament"), F::NotATournament},
        {"NoFormat", with("/format", "remove"), F::NotATournament},
        {"LaterVersion", with("/version", 2), F::LaterVersion},
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
         F::Impossible}};

    BracketBoard board = markedNine();
    const test::BoardSnapshot before = snapshot(board);
    const Tournament tournamentBefore = board.tournament();
    int heard = 0;
    const Subscription subscription = board.subscribe([&heard](auto) { ++heard; });
    for (const auto& [name, text, fault] : files) {
        SCOPED_TRACE(name);
        const std::optional<FileRefusal> refusal = openTournamentText(board, text);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->fault, fault) << refusal->reason();
        EXPECT_FALSE(refusal->reason().empty());
        EXPECT_LT(refusal->reason().size(), 300u) << "a reason that the file can make long";
        EXPECT_EQ(refusal->reason().find("exception"), std::string::npos) << "the library's text";
        ASSERT_EQ(snapshot(board), before);
        ASSERT_EQ(board.tournament(), tournamentBefore);
        ASSERT_EQ(heard, 0);
    }
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
}

} // namespace
} // namespace velka
