// The local time of day with the time-zone rules of the operating system: the one place where
// the timer asks the system rather than the standard library, which cannot name the local zone
// in the compilers we build with.
#include "timer/Clock.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>
#else
#include <ctime>
#endif

namespace velka {

namespace {

TimeOfDay utcTimeOfDay(std::int64_t instant)
{
    constexpr std::int64_t kDay = 24 * 60 * 60;
    const std::int64_t second = (instant % kDay + kDay) % kDay;
    return {static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
            static_cast<int>(second % 60)};
}

} // namespace

#ifdef _WIN32

namespace {

// The zone that a test put in place of the system's.
std::optional<DYNAMIC_TIME_ZONE_INFORMATION>& zoneForTesting()
{
    static std::optional<DYNAMIC_TIME_ZONE_INFORMATION> zone;
    return zone;
}

bool sameKeyName(const WCHAR* keyName, std::string_view wanted)
{
    std::size_t i = 0;
    for (; i < wanted.size(); ++i)
        if (keyName[i] != static_cast<WCHAR>(static_cast<unsigned char>(wanted[i])))
            return false;
    return keyName[i] == L'\0';
}

} // namespace

// The zone the user chose in the Windows settings, with the rules of the year in question
// (the "dynamic" rules), as the taskbar clock shows it. TZ is not consulted: Windows programs
// do not see it.
TimeOfDay localTimeOfDay(std::int64_t instant)
{
    // A FILETIME counts 100 ns steps from 1601-01-01 UTC; SYSTEMTIME ends with the year 30827.
    constexpr std::int64_t kFrom1601 = 11'644'473'600;
    constexpr std::int64_t kLastSecond = 910'670'515'199; // 30827-12-31 23:59:59 UTC
    if (instant < -kFrom1601 || instant > kLastSecond)
        return utcTimeOfDay(instant);

    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    if (zoneForTesting())
        zone = *zoneForTesting();
    else if (GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID)
        return utcTimeOfDay(instant);

    const auto ticks = static_cast<std::uint64_t>(instant + kFrom1601) * 10'000'000u;
    const FILETIME fileTime{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&fileTime, &utc) ||
        !SystemTimeToTzSpecificLocalTimeEx(&zone, &utc, &local))
        return utcTimeOfDay(instant);
    return {local.wHour, local.wMinute, local.wSecond};
}

bool useWindowsTimeZoneForTesting(std::string_view keyName)
{
    if (keyName.empty()) {
        zoneForTesting().reset();
        return true;
    }
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    for (DWORD i = 0; EnumDynamicTimeZoneInformation(i, &zone) == ERROR_SUCCESS; ++i) {
        if (sameKeyName(zone.TimeZoneKeyName, keyName)) {
            zoneForTesting() = zone;
            return true;
        }
    }
    return false;
}

#else

TimeOfDay localTimeOfDay(std::int64_t instant)
{
    // localtime_r, unlike localtime, need not read TZ itself.
    tzset();
    const auto time = static_cast<std::time_t>(instant);
    std::tm local{};
    if (time == instant && localtime_r(&time, &local))
        return {local.tm_hour, local.tm_min, local.tm_sec};
    return utcTimeOfDay(instant);
}

#endif

} // namespace velka
