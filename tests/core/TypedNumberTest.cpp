#include "core/TypedNumber.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace velka {
namespace {

constexpr std::int64_t kBound = 1'000'000;

struct FloorCase {
    const char* text;
    std::int64_t floor;
};

void PrintTo(const FloorCase& c, std::ostream* out)
{
    *out << '"' << c.text << '"';
}

class TypedNumberFloor : public ::testing::TestWithParam<FloorCase> {};

TEST_P(TypedNumberFloor, ReadsAndRoundsDown)
{
    const auto number = TypedNumber::read(GetParam().text);
    ASSERT_TRUE(number.has_value()) << GetParam().text;
    EXPECT_EQ(number->floorClamped(kBound), GetParam().floor) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Notations, TypedNumberFloor,
    ::testing::Values(FloorCase{"16", 16}, FloorCase{"05", 5}, FloorCase{"2.9", 2},
                      FloorCase{"16.5", 16}, FloorCase{"  7  ", 7}, FloorCase{"\t3", 3},
                      FloorCase{"+4", 4}, FloorCase{"-3", -3}, FloorCase{"-2.5", -3},
                      FloorCase{"-0", 0}, FloorCase{"0.0", 0}, FloorCase{".5", 0},
                      FloorCase{"9.", 9}, FloorCase{"1e1", 10}, FloorCase{"15E-1", 1},
                      FloorCase{"1.6e1", 16}, FloorCase{"-0.0000001", -1},
                      // More digits than a double holds must not round up across a whole.
                      FloorCase{"16.99999999999999999999999", 16},
                      FloorCase{"1.999999999999999999999999999999", 1},
                      FloorCase{"-1.0000000000000000000000001", -2},
                      // Full-width forms, as a Japanese input method types them.
                      FloorCase{"１６", 16}, FloorCase{"－３", -3}, FloorCase{"２．９", 2},
                      FloorCase{"＋５", 5}, FloorCase{"\u3000８\u3000", 8},
                      FloorCase{"1\uFF455", 100000}, FloorCase{"\u22127", -7}));

INSTANTIATE_TEST_SUITE_P(
    FarOutOfRange, TypedNumberFloor,
    ::testing::Values(FloorCase{"1e400", kBound}, FloorCase{"-1e400", -kBound},
                      FloorCase{"1e999999999999999999999", kBound},
                      FloorCase{"1e-999999999999999999999", 0}, FloorCase{"-1e-400", -1},
                      FloorCase{"1000000000000000", kBound}, FloorCase{"999999999999999", kBound},
                      FloorCase{"00000000000000000000000000000000000012", 12},
                      FloorCase{
                          "1234567890123456789012345678901234567890123456789012345678901234567"
                          "890123456789012345678901234567890",
                          kBound}));

class TypedNumberRefused : public ::testing::TestWithParam<std::string> {};

TEST_P(TypedNumberRefused, IsNotANumber)
{
    EXPECT_FALSE(TypedNumber::read(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Texts, TypedNumberRefused,
                         ::testing::Values("", " ", "abc", "NaN", "nan", "inf", "-inf", "infinity",
                                           "1 6", "+", "-", ".", "-.", "1e", "1e+", "e5", "0x10",
                                           "1,000", "16人", "１６人", "1..2", "--1", "+-1", "1.2.3",
                                           "16\n", "\n", "1_000",
                                           std::string("1\0"
                                                       "6",
                                                       3),
                                           "\xFF", "\xEF\xBC", "\xC0\xB1", "\xED\xA0\x80"));

TEST(TypedNumber, HugeAndSignAreKnownWithoutTheValue)
{
    const auto big = TypedNumber::read("-1e400");
    ASSERT_TRUE(big);
    EXPECT_TRUE(big->huge());
    EXPECT_TRUE(big->negative());

    const auto small = TypedNumber::read("999999999999999.999");
    ASSERT_TRUE(small);
    EXPECT_FALSE(small->huge());
}

struct SumCase {
    const char* h;
    const char* m;
    const char* s;
    std::int64_t seconds;
};

void PrintTo(const SumCase& c, std::ostream* out)
{
    *out << c.h << " h " << c.m << " min " << c.s << " s";
}

class TypedNumberSum : public ::testing::TestWithParam<SumCase> {};

TEST_P(TypedNumberSum, IsExactToTheSecond)
{
    const auto h = TypedNumber::read(GetParam().h);
    const auto m = TypedNumber::read(GetParam().m);
    const auto s = TypedNumber::read(GetParam().s);
    ASSERT_TRUE(h && m && s);
    const auto total = roundedSum({{&*h, 3600}, {&*m, 60}, {&*s, 1}}, 1'000'000'000'000);
    ASSERT_TRUE(total);
    EXPECT_EQ(*total, GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Periods, TypedNumberSum,
    ::testing::Values(SumCase{"0", "05", "00", 300}, SumCase{"1.5", "0", "0", 5400},
                      SumCase{"1", "0", "30", 3630}, SumCase{"0", "-5", "0", -300},
                      SumCase{"0.1", "0", "0", 360}, SumCase{"0", "0.1", "0", 6},
                      SumCase{"0", "0", "0.5", 1}, SumCase{"0", "0", "0.49", 0},
                      SumCase{"0", "0", "-0.5", -1}, SumCase{"0", "0", "-0.49", 0},
                      SumCase{"0.0001", "0", "0", 0}, SumCase{"0.00014", "0", "0", 1},
                      SumCase{"1", "-60", "0", 0}, SumCase{"25", "0", "0", 90000},
                      SumCase{"0", "0", "59.999999999999999999999", 60}));

TEST(TypedNumber, SumRefusesHugeTermsAndTotalsBeyondTheLimit)
{
    const auto huge = TypedNumber::read("1e20");
    const auto one = TypedNumber::read("1");
    const auto many = TypedNumber::read("100000000000000");
    ASSERT_TRUE(huge && one && many);
    EXPECT_FALSE(roundedSum({{&*huge, 1}}, std::numeric_limits<std::int64_t>::max()));
    EXPECT_FALSE(roundedSum({{&*many, 3600}}, 1'000'000'000'000));
    EXPECT_EQ(roundedSum({{&*many, 3600}, {&*many, -3600}, {&*one, 1}}, 10), 1);
}

} // namespace
} // namespace velka
