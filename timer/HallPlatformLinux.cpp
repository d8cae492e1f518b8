#include "timer/CanberraSoundPlayer.h"
#include "timer/DBusScreenSaver.h"
#include "timer/HallPlatform.h"

namespace velka {

HallPlatform makeHallPlatform()
{
    return {std::make_unique<CanberraSoundPlayer>(), std::make_unique<DBusScreenSaver>()};
}

} // namespace velka
