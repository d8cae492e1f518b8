#include "timer/HallPlatform.h"
#include "timer/WindowsScreenSaver.h"
#include "timer/WindowsSoundPlayer.h"

namespace velka {

HallPlatform makeHallPlatform()
{
    return {std::make_unique<WindowsSoundPlayer>(), std::make_unique<WindowsScreenSaver>()};
}

} // namespace velka
