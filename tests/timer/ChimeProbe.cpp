// Plays the round's sounds through the real libcanberra player, one after the other, each to
// its end, and reports how each ended:
//
//   chime-probe time-up|five-minutes|one-minute...
//
// Prints "finished <name> <libcanberra result>" for each, 0 when it played to its end. It waits
// for the library's answer however long that takes; the test around it sets the limit.
#include "timer/platform/linux/CanberraSoundPlayer.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>

int main(int argc, char** argv)
{
    std::mutex mutex;
    std::condition_variable ended;
    std::optional<int> result;
    velka::CanberraSoundPlayer player;
    player.setFinishedHandler([&](velka::RoundSound, int code) {
        const std::lock_guard lock(mutex);
        result = code;
        ended.notify_one();
    });
    for (int i = 1; i < argc; ++i) {
        velka::RoundSound sound = velka::RoundSound::TimeUp;
        if (std::strcmp(argv[i], "five-minutes") == 0)
            sound = velka::RoundSound::FiveMinutesLeft;
        else if (std::strcmp(argv[i], "one-minute") == 0)
            sound = velka::RoundSound::OneMinuteLeft;
        else if (std::strcmp(argv[i], "time-up") != 0)
            return 2;
        std::unique_lock lock(mutex);
        result.reset();
        player.play(sound);
        ended.wait(lock, [&] { return result.has_value(); });
        std::printf("finished %s %d\n", argv[i], *result);
        std::fflush(stdout);
    }
    return 0;
}
