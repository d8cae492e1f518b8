#include "timer/HallPlatform.h"
#include "timer/platform/windows/WindowsScreenSaver.h"
#include "timer/platform/windows/WindowsSoundPlayer.h"

namespace velka {

HallPlatform makeHallPlatform()
{
    return {std::make_unique<WindowsSoundPlayer>(), std::make_unique<WindowsScreenSaver>()};
}

} // namespace velka
