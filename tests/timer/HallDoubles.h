#pragma once

#include "timer/KeepScreenAwake.h"
#include "timer/RoundSounds.h"

#include <string>
#include <vector>

namespace velka::test {

// Records every sound asked for, and the moment (the test clock's) at which it was asked.
class RecordingSoundPlayer final : public SoundPlayer {
public:
    explicit RecordingSoundPlayer(const Clock& clock)
        : clock_(clock)
    {}
    void play(RoundSound sound) override { played.push_back({sound, clock_.now()}); }

    struct Played {
        RoundSound sound;
        std::int64_t at;
        bool operator==(const Played&) const = default;
    };
    std::vector<Played> played;

private:
    const Clock& clock_;
};

// Records the calls as "inhibit" and "release".
class RecordingScreenSaver final : public ScreenSaver {
public:
    void inhibit() override { calls.emplace_back("inhibit"); }
    void release() override { calls.emplace_back("release"); }
    std::vector<std::string> calls;
};

} // namespace velka::test
