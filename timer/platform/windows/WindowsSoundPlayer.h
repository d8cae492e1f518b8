#pragma once

#include "timer/RoundSounds.h"

namespace velka {

// The round's sounds from the Windows sound scheme, by the system's own event aliases:
// Critical Stop ("SystemHand") at time up, Asterisk at five minutes and Exclamation at one
// minute left, as the organiser has set them in the sound settings. Windows plays each on a
// thread of its own: play returns at once, and a new sound cuts short one still playing. An
// event the scheme leaves without a sound, or a machine without a sound device, stays silent.
class WindowsSoundPlayer final : public SoundPlayer {
public:
    void play(RoundSound sound) override;

    // Hands the sound to Windows without waiting for it; false when Windows refused it.
    static bool start(RoundSound sound);
    static const wchar_t* alias(RoundSound sound);
};

} // namespace velka
