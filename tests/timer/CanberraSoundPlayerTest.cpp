// The real sound player against a sound server that has stalled.
#include "timer/platform/linux/CanberraSoundPlayer.h"
#include "tests/support/StalledSoundServer.h"

#include <gtest/gtest.h>

#include <memory>

namespace velka {
namespace {

// Left a sound to play on a server that never answers, quitting waits neither for the server
// nor for libpulse's own time-out (30 s) to give up on it; later sounds are queued at once.
// (How long quitting takes is measured in bench/, sound-quit-bench.)
TEST(CanberraSoundPlayer, QuitsWithoutWaitingForAStalledServer)
{
    test::StalledSoundServer server;
    auto player = std::make_unique<CanberraSoundPlayer>();
    player->play(RoundSound::TimeUp);
    server.waitForClients(1);
    player->play(RoundSound::FiveMinutesLeft);
    player->play(RoundSound::OneMinuteLeft);

    player.reset();
    EXPECT_TRUE(server.lastClientStillWaiting())
        << "the player quit only once the sound library had given up on the server";
    // The server closes at the end of the test; the player's thread then ends by itself.
}

} // namespace
} // namespace velka
