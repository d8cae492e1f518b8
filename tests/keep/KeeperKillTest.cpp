#include "keep/TournamentFile.h"
#include "tests/keep/TournamentWalk.h"
#include "tests/support/TestSeed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velka {
namespace {

namespace fs = std::filesystem;

class KeeperKilled : public ::testing::TestWithParam<test::TestSeed> {};

// A program keeping states is killed with SIGKILL at a random moment, 200 times: the kept file
// always reads back as one whole state that was written, never a mix nor a damaged file. Only
// where the kill falls varies with the timing; the verdict does not.
TEST_P(KeeperKilled, LeavesOneWholeWrittenState)
{
    const unsigned seed = test::announce(GetParam());
    constexpr int kStates = 40;
    const std::vector<Tournament> states = test::walkTournaments(seed, kStates);
    const fs::path folder =
        fs::temp_directory_path() / ("velka-kill-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    const fs::path kept = folder / "last.velka";
    // The file exists from the start, so that a kill before the first write leaves it too.
    ASSERT_FALSE(writeTournamentFile(kept, states.front(), 0));

    const std::string file = kept.string();
    const std::string seedText = std::to_string(seed);
    const std::string countText = std::to_string(kStates);
    std::vector<char*> arguments = {
        const_cast<char*>(VELKA_KEPT_STATE_WRITER), const_cast<char*>(file.c_str()),
        const_cast<char*>(seedText.c_str()), const_cast<char*>(countText.c_str()), nullptr};
    std::mt19937 random(seed);
    std::set<std::size_t> seen;
    int killsInsideAWrite = 0;
    for (int run = 0; run < 200; ++run) {
        // Every other run waits until the writer has kept its first state, so that the kills
        // fall among its writes as well as into its start.
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ready[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, ready[0]);
        pid_t child = 0;
        const int spawned =
            posix_spawn(&child, arguments[0], &actions, nullptr, arguments.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(ready[1]);
        ASSERT_EQ(spawned, 0);
        char byte = 0;
        const bool waited = run % 2 == 1;
        const bool keptOne = !waited || read(ready[0], &byte, 1) == 1;
        close(ready[0]);
        if (keptOne)
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 8000));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself, status " << status;
        ASSERT_TRUE(keptOne) << "the writer ended before its first write";

        const TournamentReading read = readTournamentFile(kept);
        ASSERT_TRUE(read.saved) << "run " << run << ": " << read.refusal->reason();
        const auto found = std::find(states.begin(), states.end(), read.saved->tournament);
        ASSERT_NE(found, states.end()) << "run " << run << ": a state that was never written";
        seen.insert(static_cast<std::size_t>(found - states.begin()));
        // A temporary file left behind shows a kill that fell inside a write.
        bool leftOne = false;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".tmp")
                leftOne = fs::remove(entry.path());
        }
        killsInsideAWrite += leftOne ? 1 : 0;
    }
    std::cout << seen.size() << " different states found; " << killsInsideAWrite
              << " of 200 kills fell inside a write" << std::endl;
    fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Seeds, KeeperKilled, ::testing::ValuesIn(test::testSeeds()),
                         test::seedName);

} // namespace
} // namespace velka
