#include "core/Clock.h"

#include <chrono>

namespace velka {

std::int64_t SystemClock::now() const
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::floor<std::chrono::seconds>(sinceEpoch).count();
}

std::int64_t SystemClock::nowMilliseconds() const
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::floor<std::chrono::milliseconds>(sinceEpoch).count();
}

std::int64_t SteadyClock::milliseconds() const
{
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::floor<std::chrono::milliseconds>(sinceStart).count();
}

} // namespace velka
