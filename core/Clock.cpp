#include "core/Clock.h"

#include <chrono>

namespace velka {

std::int64_t SystemClock::now() const
{
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::floor<std::chrono::seconds>(sinceEpoch).count();
}

} // namespace velka
