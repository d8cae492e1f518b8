#pragma once

#include "timer/RoundSounds.h"

#include <chrono>
#include <functional>
#include <memory>

namespace velka {

// The round's sounds from the desktop's event-sound library, libcanberra, in the freedesktop
// sound theme: "alarm-clock-elapsed" at time up, "complete" at five minutes and "dialog-warning"
// at one minute left, each with its own description for the sound server's list of streams.
// The library is called on a thread of its own, so that connecting to a sound server that is
// slow or missing never holds up the caller; play returns at once. With no device or server the
// sound is dropped without a word.
//
// Nothing of it runs before the first sound: the thread starts at the first play, and loads the
// library then (the program does not link it, nor the codecs it pulls in). Without the library
// installed every sound is dropped as without a device.
//
// Quitting does not wait for a stalled sound server either: the destructor gives the thread
// kQuitWait to let go of the server and then leaves it to end by itself. The thread owns
// everything it still uses, and the finished handler is never called once the destructor
// has returned.
class CanberraSoundPlayer final : public SoundPlayer {
public:
    static constexpr std::chrono::milliseconds kQuitWait{250};

    CanberraSoundPlayer();
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    void play(RoundSound sound) override;

    // Called, on a thread of the library, when a sound has ended: with 0 when it played to its
    // end, otherwise with libcanberra's error code (CA_ERROR_NOTAVAILABLE without a server).
    using Finished = std::function<void(RoundSound sound, int result)>;
    void setFinishedHandler(Finished finished);

    static const char* eventId(RoundSound sound);
    static const char* description(RoundSound sound);

private:
    struct Shared;
    static void run(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared_;
    bool started_ = false;
};

} // namespace velka
