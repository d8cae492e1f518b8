// The local time of day with the time-zone rules of the operating system: the one place where
// the timer asks the system rather than the standard library, which cannot name the local zone
// in the compilers we build with.
#include "core/Clock.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <chrono>
#include <cstring>
#include <cwchar>
#include <optional>
#include <vector>
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

// Reading a zone's rules takes the registry (a millisecond under Wine), and the clock asks ten
// times a second: the system's choice is read again once a second, and the rules of a year
// only when the zone or the year changes.
struct ZoneCache {
    std::optional<std::chrono::steady_clock::time_point> systemZoneRead;
    DYNAMIC_TIME_ZONE_INFORMATION systemZone{};
    std::optional<DYNAMIC_TIME_ZONE_INFORMATION> rulesZone;
    WORD rulesYear = 0;
    TIME_ZONE_INFORMATION rules{};
};

ZoneCache& zoneCache()
{
    thread_local ZoneCache cache;
    return cache;
}

const DYNAMIC_TIME_ZONE_INFORMATION* currentZone()
{
    if (zoneForTesting())
        return &*zoneForTesting();
    ZoneCache& cache = zoneCache();
    const auto now = std::chrono::steady_clock::now();
    if (!cache.systemZoneRead || now - *cache.systemZoneRead >= std::chrono::seconds(1)) {
        if (GetDynamicTimeZoneInformation(&cache.systemZone) == TIME_ZONE_ID_INVALID) {
            cache.systemZoneRead.reset();
            return nullptr;
        }
        cache.systemZoneRead = now;
    }
    return &cache.systemZone;
}

bool sameZone(const DYNAMIC_TIME_ZONE_INFORMATION& a, const DYNAMIC_TIME_ZONE_INFORMATION& b)
{
    // Field by field: the structure has padding.
    return std::wcscmp(a.TimeZoneKeyName, b.TimeZoneKeyName) == 0 && a.Bias == b.Bias &&
           a.StandardBias == b.StandardBias && a.DaylightBias == b.DaylightBias &&
           std::memcmp(&a.StandardDate, &b.StandardDate, sizeof a.StandardDate) == 0 &&
           std::memcmp(&a.DaylightDate, &b.DaylightDate, sizeof a.DaylightDate) == 0 &&
           a.DynamicDaylightTimeDisabled == b.DynamicDaylightTimeDisabled;
}

const TIME_ZONE_INFORMATION* rulesOfTheYear(const DYNAMIC_TIME_ZONE_INFORMATION& zone, WORD year)
{
    ZoneCache& cache = zoneCache();
    if (!cache.rulesZone || cache.rulesYear != year || !sameZone(*cache.rulesZone, zone)) {
        cache.rulesZone.reset();
        auto copy = zone;
        if (!GetTimeZoneInformationForYear(year, &copy, &cache.rules))
            return nullptr;
        cache.rulesZone = zone;
        cache.rulesYear = year;
    }
    return &cache.rules;
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

// The zone the user chose in the Windows settings, with the rules it had in the year in question
// (Windows keeps the changes of a zone's rules over the years), as the taskbar clock shows it.
// TZ is not consulted: Windows programs do not see it. SystemTimeToTzSpecificLocalTimeEx would do
// the two steps in one, but Wine 8, under which the tests run, lacks it.
TimeOfDay localTimeOfDay(std::int64_t instant)
{
    // A FILETIME counts 100 ns steps from 1601-01-01 UTC; SYSTEMTIME ends with the year 30827.
    constexpr std::int64_t kFrom1601 = 11'644'473'600;
    constexpr std::int64_t kLastSecond = 910'670'515'199; // 30827-12-31 23:59:59 UTC
    if (instant < -kFrom1601 || instant > kLastSecond)
        return utcTimeOfDay(instant);

    const DYNAMIC_TIME_ZONE_INFORMATION* zone = currentZone();
    const auto ticks = static_cast<std::uint64_t>(instant + kFrom1601) * 10'000'000u;
    const FILETIME fileTime{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc{};
    if (!zone || !FileTimeToSystemTime(&fileTime, &utc))
        return utcTimeOfDay(instant);
    const TIME_ZONE_INFORMATION* rules = rulesOfTheYear(*zone, utc.wYear);
    SYSTEMTIME local{};
    if (!rules || !SystemTimeToTzSpecificLocalTime(rules, &utc, &local))
        return utcTimeOfDay(instant);
    return {local.wHour, local.wMinute, local.wSecond};
}

bool useWindowsTimeZoneForTesting(std::string_view keyName)
{
    if (keyName.empty()) {
        zoneForTesting().reset();
        return true;
    }
    // Going through the list reads the registry zone by zone: keep what was found.
    static std::vector<DYNAMIC_TIME_ZONE_INFORMATION> found;
    for (const DYNAMIC_TIME_ZONE_INFORMATION& zone : found) {
        if (sameKeyName(zone.TimeZoneKeyName, keyName)) {
            zoneForTesting() = zone;
            return true;
        }
    }
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    for (DWORD i = 0; EnumDynamicTimeZoneInformation(i, &zone) == ERROR_SUCCESS; ++i) {
        if (sameKeyName(zone.TimeZoneKeyName, keyName)) {
            found.push_back(zone);
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
