#pragma once

#include <cstdint>

namespace velka {

// The current instant, in whole seconds since 1970-01-01 00:00:00 UTC. An instant does not
// depend on the time zone or on daylight-saving time; only its local time of day does.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t now() const = 0;
};

// The system's clock, truncated to the second.
class SystemClock final : public Clock {
public:
    std::int64_t now() const override;
};

struct TimeOfDay {
    int hour;   // 0 to 23
    int minute; // 0 to 59
    int second; // 0 to 59

    bool operator==(const TimeOfDay&) const = default;
};

// The local time of day at an instant, in the time zone that TZ names or else the system's.
// An instant that the C library cannot convert gives the time of day in UTC.
TimeOfDay localTimeOfDay(std::int64_t instant);

} // namespace velka
