#include "keep/TournamentKeeper.h"

#include "keep/AtomicFile.h"
#include "tests/keep/TournamentWalk.h"
#include "tests/support/TestClock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

namespace velka {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class KeeperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder =
            fs::temp_directory_path() / ("velka-keeper-" + std::to_string(std::random_device{}()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        board.Load();
        clock.time = 1796625000;
    }
    void TearDown() override { fs::remove_all(folder); }

    // Files in the folder, the kept one and the previous run's included.
    int filesInFolder() const
    {
        return static_cast<int>(std::distance(fs::directory_iterator(folder), {}));
    }

    test::TestClock clock;
    fs::path folder;
    fs::path kept() const { return folder / "last.velka"; }
    BracketBoard board;
};

// One action, however many notifications it makes, is one write; what changes no part of the
// tournament writes nothing.
struct KeptAction {
    const char* name;
    std::function<void(BracketBoard&)> act;
    int writes;
};

void PrintTo(const KeptAction& a, std::ostream* out)
{
    *out << a.name;
}

class KeeperWrites : public KeeperTest, public ::testing::WithParamInterface<KeptAction> {};

TEST_P(KeeperWrites, OnceAfterAnActionThatChangedTheTournament)
{
    TournamentKeeper keeper(board, kept(), clock);
    GetParam().act(board);
    keeper.flush();
    keeper.flush(); // a second pass of the event loop with nothing new
    keeper.waitUntilWritten();

    EXPECT_EQ(keeper.writes(), static_cast<std::uint64_t>(GetParam().writes));
    EXPECT_FALSE(keeper.lastWriteFailure());
    if (GetParam().writes > 0) {
        const TournamentReading read = readKeptTournament(kept());
        ASSERT_TRUE(read.saved) << read.refusal->reason();
        EXPECT_EQ(read.saved->tournament, board.tournament());
        EXPECT_EQ(read.saved->savedAt, clock.now());
    }
    EXPECT_EQ(keptTournamentExists(kept()), GetParam().writes > 0);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, KeeperWrites,
    ::testing::Values(KeptAction{"Draw",
                                 [](BracketBoard& b) {
                                     std::mt19937 random(7);
                                     while (b.fieldSize() == 0)
                                         test::walkStep(b, random);
                                 },
                                 1},
                      KeptAction{"Mark",
                                 [](BracketBoard& b) {
                                     b.ToggleProgress();
                                     b.setBoxChecked(4, false);
                                 },
                                 1},
                      KeptAction{"ProgressOnAndOffAgain",
                                 [](BracketBoard& b) {
                                     b.ToggleProgress();
                                     b.ToggleProgress();
                                 },
                                 0},
                      KeptAction{"Palette", [](BracketBoard& b) { b.TogglePalette(); }, 0},
                      KeptAction{"ResetOfAClearedBoard", [](BracketBoard& b) { b.AllClear(); }, 0}),
    [](const auto& c) { return std::string(c.param.name); });

// Closing hands over the change that no pass of the event loop has flushed yet.
TEST_F(KeeperTest, WritesTheLastChangeOnClosing)
{
    std::mt19937 random(3);
    {
        TournamentKeeper keeper(board, kept(), clock);
        for (int action = 0; action < 30; ++action) {
            test::walkStep(board, random);
            keeper.flush();
        }
        const Tournament flushed = board.tournament();
        while (board.tournament() == flushed)
            test::walkStep(board, random);
    }
    EXPECT_EQ(readKeptTournament(kept()).saved->tournament, board.tournament());
}

// After a restart the first write copies what the last run kept, even a file that cannot be
// read, so that a stray first click does not lose it; reading never changes the file.
TEST_F(KeeperTest, AnUnreadableKeptStateIsReportedAndLeftInPlace)
{
    const std::string garbage = "{\"format\": \"velka-tournament\", \"version\": 1, ";
    ASSERT_FALSE(writeFileAtomically(kept(), garbage));

    const TournamentReading read = readKeptTournament(kept());
    ASSERT_TRUE(read.refusal);
    EXPECT_EQ(read.refusal->fault, FileFault::NotJson);
    const Tournament before = board.tournament();
    EXPECT_EQ(openTournamentFile(board, kept()), read.refusal);
    EXPECT_EQ(board.tournament(), before);
    EXPECT_EQ(contentOf(kept()), garbage);

    TournamentKeeper keeper(board, kept(), clock);
    EXPECT_EQ(contentOf(kept()), garbage) << "a keeper writes nothing before a change";
    board.ToggleProgress();
    keeper.flush();
    keeper.waitUntilWritten();
    EXPECT_EQ(contentOf(TournamentKeeper::previousSessionFile(kept())), garbage);
    EXPECT_EQ(readKeptTournament(kept()).saved->tournament, board.tournament());
    EXPECT_EQ(filesInFolder(), 2) << "no temporary file is left behind";
}

TEST_F(KeeperTest, AFailedWriteIsReportedAndTheNextOneSucceeds)
{
    const fs::path missing = folder / "gone" / "last.velka";
    TournamentKeeper keeper(board, missing, clock);
    board.ToggleProgress();
    keeper.flush();
    keeper.waitUntilWritten();
    ASSERT_TRUE(keeper.lastWriteFailure());
    EXPECT_EQ(keeper.lastWriteFailure()->fault, FileFault::CannotWrite);
    EXPECT_EQ(keeper.writes(), 0u);

    fs::create_directories(missing.parent_path());
    board.setBoxChecked(0, false);
    keeper.flush();
    keeper.waitUntilWritten();
    EXPECT_FALSE(keeper.lastWriteFailure());
    EXPECT_EQ(readKeptTournament(missing).saved->tournament, board.tournament());
}

TEST_F(KeeperTest, AtomicWriteReplacesAFileWholeAndNeverAFolder)
{
    const fs::path file = folder / "名前.velka";
    ASSERT_FALSE(writeFileAtomically(file, std::string(100000, 'a')));
    ASSERT_FALSE(writeFileAtomically(file, "b"));
    EXPECT_EQ(contentOf(file), "b");
    EXPECT_TRUE(writeFileAtomically(folder, "c"));
    EXPECT_EQ(filesInFolder(), 1) << "a temporary file was left behind";
    EXPECT_TRUE(readFileBytes(file, 0).overLimit);
}

} // namespace
} // namespace velka
