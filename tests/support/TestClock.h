#pragma once

#include "core/Clock.h"

#include <cstdint>

namespace velka::test {

// A clock that stands still until the test moves it.
class TestClock final : public Clock {
public:
    std::int64_t now() const override { return time; }
    std::int64_t time = 0;
};

} // namespace velka::test
