#include "timer/HallPlatform.h"
#include "timer/platform/linux/CanberraSoundPlayer.h"
#include "timer/platform/linux/DBusScreenSaver.h"

namespace velka {

HallPlatform makeHallPlatform()
{
    return {std::make_unique<CanberraSoundPlayer>(), std::make_unique<DBusScreenSaver>()};
}

} // namespace velka
