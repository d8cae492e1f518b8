// Not a test: the program that the kill test kills. It keeps the tournaments of a walk in the
// file it is given, one after another, round and round, until it is killed:
//
//   kept_state_writer <file> <seed> <count>
//
// The test makes the same walk from the same seed and so knows every state that was written.

#include "core/Clock.h"
#include "keep/TournamentKeeper.h"
#include "tests/keep/TournamentWalk.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <file> <seed> <count>\n", argv[0]);
        return 2;
    }
    const std::vector<velka::Tournament> states = velka::test::walkTournaments(
        static_cast<unsigned>(std::stoul(argv[2])), std::stoi(argv[3]));
    velka::BracketBoard board;
    board.Load();
    velka::SystemClock clock;
    velka::TournamentKeeper keeper(board, argv[1], clock);
    for (std::size_t i = 0;; i = (i + 1) % states.size()) {
        board.setTournament(states[i]);
        keeper.flush();
        // Every state is written whole before the next is handed over, so that the kills fall
        // into every stage of a write.
        keeper.waitUntilWritten();
        if (i == 0) {
            std::fputs("kept\n", stdout); // the test may wait for this line
            std::fflush(stdout);
        }
    }
}
