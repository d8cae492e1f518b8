#include "timer/platform/windows/WindowsSoundPlayer.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

namespace velka {

void WindowsSoundPlayer::play(RoundSound sound)
{
    start(sound);
}

bool WindowsSoundPlayer::start(RoundSound sound)
{
    return PlaySoundW(alias(sound), nullptr, SND_ALIAS | SND_ASYNC) != FALSE;
}

const wchar_t* WindowsSoundPlayer::alias(RoundSound sound)
{
    switch (sound) {
    case RoundSound::FiveMinutesLeft:
        return L"SystemAsterisk";
    case RoundSound::OneMinuteLeft:
        return L"SystemExclamation";
    case RoundSound::TimeUp:
        break;
    }
    return L"SystemHand";
}

} // namespace velka
