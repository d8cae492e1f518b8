#pragma once

#include "timer/KeepScreenAwake.h"
#include "timer/RoundSounds.h"

#include <memory>

namespace velka {

// The hall's services as this operating system offers them: the round's sounds, and the screen
// kept awake while a countdown runs. CMake builds one implementation per system: the desktop's
// event sounds and screen saver over D-Bus on Linux (HallPlatformLinux.cpp), the system's own
// sounds and execution state on Windows (HallPlatformWindows.cpp). Made once for the whole run,
// after the application object, and gone before it.
struct HallPlatform {
    std::unique_ptr<SoundPlayer> sound;
    std::unique_ptr<ScreenSaver> screenSaver;
};

HallPlatform makeHallPlatform();

} // namespace velka
