#include "core/Clock.h"

#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>

namespace velka {
namespace {

struct LocalCase {
    const char* zone;
    std::int64_t instant;
    TimeOfDay shown;
};

void PrintTo(const LocalCase& c, std::ostream* out)
{
    *out << c.zone << " at " << c.instant;
}

class LocalTimeOfDay : public ::testing::TestWithParam<LocalCase> {};

// The zone is set the way the program reads it: TZ on POSIX systems, the zone chosen in the
// settings on Windows.
TEST_P(LocalTimeOfDay, FollowsTheZonesRulesOnThatDay)
{
    const test::ScopedTimeZone zone(GetParam().zone);
    const TimeOfDay shown = localTimeOfDay(GetParam().instant);
    EXPECT_EQ(shown, GetParam().shown) << shown.hour << ":" << shown.minute << ":" << shown.second;
}

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

constexpr LocalCase kCases[] = {
    LocalCase{"UTC", 1717211045, {3, 4, 5}},
    LocalCase{"Asia/Tokyo", 1717211045, {12, 4, 5}},
    LocalCase{"Asia/Tokyo", -1, {8, 59, 59}},
    // Clocks go forward: the hour from 02:00 is skipped.
    LocalCase{"Europe/Berlin", 1711846799, {1, 59, 59}},
    LocalCase{"Europe/Berlin", 1711846800, {3, 0, 0}},
    LocalCase{"America/New_York", 1710053999, {1, 59, 59}},
    LocalCase{"America/New_York", 1710054000, {3, 0, 0}},
    // Clocks go back: an hour is shown twice.
    LocalCase{"Europe/Berlin", 1729990799, {2, 59, 59}},
    LocalCase{"Europe/Berlin", 1729990800, {2, 0, 0}},
    LocalCase{"America/New_York", 1730611800, {1, 30, 0}},
    LocalCase{"America/New_York", 1730615400, {1, 30, 0}},
    // South of the equator summer time spans the turn of the year.
    LocalCase{"Australia/Sydney", 1705276800, {11, 0, 0}},
    LocalCase{"Australia/Sydney", 1721001600, {10, 0, 0}},
    LocalCase{"Australia/Sydney", 1712419199, {2, 59, 59}},
    LocalCase{"Australia/Sydney", 1712419200, {2, 0, 0}},
    // Years beyond any table of rules keep the zone's current rule.
    LocalCase{"Europe/Berlin", 7273800000, {14, 0, 0}},
    // No system converts these: the time of day in UTC, without overflow.
    LocalCase{"Asia/Tokyo", kMax, {15, 30, 7}},
    LocalCase{"Asia/Tokyo", kMin, {8, 29, 52}},
};

INSTANTIATE_TEST_SUITE_P(Zones, LocalTimeOfDay, ::testing::ValuesIn(kCases));

TEST(LocalTimeOfDayZone, GoesBackToWhatWasThereWhenTheScopeEnds)
{
    constexpr std::int64_t kNoonUtc = 1717243200; // 2024-06-01 12:00:00Z
    const test::ScopedTimeZone utc("UTC");
    {
        const test::ScopedTimeZone tokyo("Asia/Tokyo");
        EXPECT_EQ(localTimeOfDay(kNoonUtc), (TimeOfDay{21, 0, 0}));
    }
    EXPECT_EQ(localTimeOfDay(kNoonUtc), (TimeOfDay{12, 0, 0}));
}

} // namespace
} // namespace velka
