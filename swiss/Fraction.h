#pragma once

#include "core/TypedNumber.h"

#include <compare>
#include <string>

namespace velka {

// An exact rational number, kept in lowest terms with a positive denominator, so that two equal
// values are equal member for member. The tiebreakers are fractions of this kind: they are
// compared exactly and rounded only for display. Arithmetic that would leave 128 bits throws
// std::overflow_error rather than give a wrong value.
class Fraction {
public:
    constexpr Fraction() = default;
    // Throws std::domain_error for a zero denominator.
    Fraction(Int128 numerator, Int128 denominator);

    Int128 numerator() const { return numerator_; }
    Int128 denominator() const { return denominator_; }

    // The mean of n values whose sum this is (n > 0).
    Fraction dividedBy(Int128 n) const;

    friend Fraction operator+(const Fraction& a, const Fraction& b);
    friend bool operator==(const Fraction&, const Fraction&) = default;
    // Exact for every pair of values, without multiplying numerators by denominators.
    friend std::strong_ordering operator<=>(const Fraction& a, const Fraction& b);

    // The value as a percentage with two decimals, rounded half up: 2/3 -> "66.67",
    // 33/100 -> "33.00". For non-negative values.
    std::string percentText() const;

private:
    Int128 numerator_ = 0;
    Int128 denominator_ = 1;
};

inline Fraction maxOf(const Fraction& a, const Fraction& b)
{
    return a < b ? b : a;
}

} // namespace velka
