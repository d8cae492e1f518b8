#pragma once

#include "timer/RoundSounds.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

struct ca_context;

namespace velka {

// The round's sounds from the desktop's event-sound library, libcanberra, in the freedesktop
// sound theme: "alarm-clock-elapsed" at time up, "complete" at five minutes and "dialog-warning"
// at one minute left. The library is called on a thread of its own, so that connecting to a
// sound server that is slow or missing never holds up the caller; play returns at once. With no
// device or server the sound is dropped without a word.
class CanberraSoundPlayer final : public SoundPlayer {
public:
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

private:
    void run();
    void finished(RoundSound sound, int result);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<RoundSound> queue_;
    bool stopping_ = false;
    Finished finished_;
    std::thread worker_;
};

} // namespace velka
