#pragma once

#include <cstdint>
#include <string_view>

namespace velka {

// The current instant, in whole seconds since 1970-01-01 00:00:00 UTC. An instant does not
// depend on the time zone or on daylight-saving time; only its local time of day does.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t now() const = 0;
    // The same instant in milliseconds since 1970, for whoever needs the fraction of the
    // current second: floor(nowMilliseconds() / 1000) is now(). A clock that knows only whole
    // seconds gives the start of the current one.
    virtual std::int64_t nowMilliseconds() const { return now() * 1000; }
};

// The system's clock, truncated to the second (and to the millisecond).
class SystemClock final : public Clock {
public:
    std::int64_t now() const override;
    std::int64_t nowMilliseconds() const override;
};

// A clock that only ever goes forward at a steady rate, whatever happens to the system's date
// and time: for measuring how long something took or how long ago it was. Its zero is
// arbitrary, so its readings mean something only against each other.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t milliseconds() const = 0;
};

// The system's steady clock. Safe to read from any thread.
class SteadyClock final : public MonotonicClock {
public:
    std::int64_t milliseconds() const override;
};

struct TimeOfDay {
    int hour;   // 0 to 23
    int minute; // 0 to 59
    int second; // 0 to 59

    bool operator==(const TimeOfDay&) const = default;
};

// The local time of day at an instant, with the daylight-saving rules of the system's time zone:
// on Windows the zone chosen in its settings, elsewhere the one that TZ names or else the
// system's. An instant that the system cannot convert gives the time of day in UTC.
TimeOfDay localTimeOfDay(std::int64_t instant);

#ifdef _WIN32
// For tests: makes localTimeOfDay use the Windows time zone with this key name ("Tokyo Standard
// Time") as if the user had chosen it; an empty name goes back to the system's. False, with
// nothing changed, when Windows does not know the name.
bool useWindowsTimeZoneForTesting(std::string_view keyName);
#endif

} // namespace velka
