// Plays one of the round's sounds through the real libcanberra player and reports how it ended:
//
//   chime-probe time-up|five-minutes|one-minute <milliseconds>
//
// Prints "finished <libcanberra result>" when the sound ended or failed within the time, else
// "still playing", and "returned after <ms>" for the play call itself.
#include "timer/CanberraSoundPlayer.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

int main(int argc, char** argv)
{
    using namespace std::chrono;
    if (argc != 3)
        return 2;
    velka::RoundSound sound = velka::RoundSound::TimeUp;
    if (std::strcmp(argv[1], "five-minutes") == 0)
        sound = velka::RoundSound::FiveMinutesLeft;
    else if (std::strcmp(argv[1], "one-minute") == 0)
        sound = velka::RoundSound::OneMinuteLeft;
    const auto wait = milliseconds(std::atoi(argv[2]));

    std::mutex mutex;
    std::condition_variable ended;
    std::optional<int> result;
    velka::CanberraSoundPlayer player;
    player.setFinishedHandler([&](velka::RoundSound, int code) {
        const std::lock_guard lock(mutex);
        result = code;
        ended.notify_one();
    });
    const auto before = steady_clock::now();
    player.play(sound);
    std::printf(
        "returned after %lld ms\n",
        static_cast<long long>(duration_cast<milliseconds>(steady_clock::now() - before).count()));
    std::unique_lock lock(mutex);
    if (ended.wait_for(lock, wait, [&] { return result.has_value(); }))
        std::printf("finished %d after %lld ms\n", *result,
                    static_cast<long long>(
                        duration_cast<milliseconds>(steady_clock::now() - before).count()));
    else
        std::printf("still playing\n");
    return 0;
}
