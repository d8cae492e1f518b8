#include "timer/Clock.h"

#include <chrono>
#include <ctime>

namespace velka {

std::int64_t SystemClock::now() const
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::floor<std::chrono::seconds>(sinceEpoch).count();
}

TimeOfDay localTimeOfDay(std::int64_t instant)
{
    // localtime_r, unlike localtime, need not read TZ itself.
    tzset();
    const auto time = static_cast<std::time_t>(instant);
    std::tm local{};
    if (time == instant && localtime_r(&time, &local))
        return {local.tm_hour, local.tm_min, local.tm_sec};
    constexpr std::int64_t kDay = 24 * 60 * 60;
    const std::int64_t second = (instant % kDay + kDay) % kDay;
    return {static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
            static_cast<int>(second % 60)};
}

} // namespace velka
