#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace velka::test {

// One seed of a randomised test. The name says where the value came from and stays the same
// from run to run, so that it can name a test.
struct TestSeed {
    std::string name;
    unsigned value;
};

// The name alone: the test runner lists tests before running them, and a fresh value listed
// then would not be the one that runs. announce() prints the value.
inline void PrintTo(const TestSeed& seed, std::ostream* out)
{
    *out << seed.name;
}

// The seed that every CI run uses besides a fresh one, so that the same walk is checked each time.
inline constexpr unsigned kCiSeed = 20261207;

// The seeds a randomised test runs with: the one VELKA_TEST_SEED names when it is set, to replay
// a failure; under CI (CI=true) kCiSeed and a fresh one; otherwise a fresh one.
inline std::vector<TestSeed> testSeeds()
{
    if (const char* given = std::getenv("VELKA_TEST_SEED"))
        return {{"Given", static_cast<unsigned>(std::stoul(given))}};
    const unsigned fresh = std::random_device{}();
    const char* ci = std::getenv("CI");
    if (ci && std::string_view(ci) == "true")
        return {{"Fixed", kCiSeed}, {"Fresh", fresh}};
    return {{"Fresh", fresh}};
}

// Names the instances of a test over testSeeds().
inline std::string seedName(const ::testing::TestParamInfo<TestSeed>& param)
{
    return param.param.name;
}

// Prints the seed as the variable that replays it and returns its value.
inline unsigned announce(const TestSeed& seed)
{
    std::cout << "VELKA_TEST_SEED=" << seed.value << " (" << seed.name << ")" << std::endl;
    return seed.value;
}

} // namespace velka::test
