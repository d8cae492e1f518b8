#include "swiss/Fraction.h"

#include <stdexcept>
#include <tuple>
#include <utility>

namespace velka {

namespace {

Int128 magnitude(Int128 v)
{
    return v < 0 ? -v : v;
}

Int128 gcd(Int128 a, Int128 b)
{
    a = magnitude(a);
    b = magnitude(b);
    while (b != 0)
        a = std::exchange(b, a % b);
    return a;
}

Int128 times(Int128 a, Int128 b)
{
    Int128 product = 0;
    if (__builtin_mul_overflow(a, b, &product))
        throw std::overflow_error("fraction out of range");
    return product;
}

Int128 plus(Int128 a, Int128 b)
{
    Int128 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        throw std::overflow_error("fraction out of range");
    return sum;
}

// Compares a/b with c/d for a, c >= 0 and b, d > 0 by their continued fractions: the whole
// parts first, then the reciprocals of what is left, the other way round.
std::strong_ordering compareNonNegative(Int128 a, Int128 b, Int128 c, Int128 d)
{
    for (;;) {
        const Int128 p = a / b;
        const Int128 q = c / d;
        if (p != q)
            return p <=> q;
        a %= b;
        c %= d;
        if (a == 0 || c == 0)
            return (a != 0) <=> (c != 0);
        // Both left with a part below 1: a/b < c/d exactly when d/c < b/a.
        std::tie(a, b, c, d) = std::tuple(d, c, b, a);
    }
}

} // namespace

Fraction::Fraction(Int128 numerator, Int128 denominator)
{
    if (denominator == 0)
        throw std::domain_error("fraction with a zero denominator");
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const Int128 common = gcd(numerator, denominator);
    numerator_ = numerator / common;
    denominator_ = denominator / common;
}

Fraction Fraction::dividedBy(Int128 n) const
{
    const Int128 common = gcd(numerator_, n);
    return Fraction(numerator_ / common, times(denominator_, n / common));
}

Fraction operator+(const Fraction& a, const Fraction& b)
{
    const Int128 common = gcd(a.denominator_, b.denominator_);
    const Int128 bShare = b.denominator_ / common;
    return Fraction(plus(times(a.numerator_, bShare), times(b.numerator_, a.denominator_ / common)),
                    times(a.denominator_, bShare));
}

std::strong_ordering operator<=>(const Fraction& a, const Fraction& b)
{
    const bool aNegative = a.numerator_ < 0;
    const bool bNegative = b.numerator_ < 0;
    if (aNegative != bNegative)
        return aNegative ? std::strong_ordering::less : std::strong_ordering::greater;
    if (aNegative)
        return compareNonNegative(-b.numerator_, b.denominator_, -a.numerator_, a.denominator_);
    return compareNonNegative(a.numerator_, a.denominator_, b.numerator_, b.denominator_);
}

std::string Fraction::percentText() const
{
    // Hundredths of a per cent, from the whole part and the remainder apart so that nothing
    // near the top of the range overflows.
    const Int128 whole = numerator_ / denominator_;
    const Int128 rest = numerator_ % denominator_;
    const Int128 hundredths =
        plus(times(whole, 10000), (times(rest, 20000) + denominator_) / (2 * denominator_));
    std::string digits;
    Int128 left = hundredths;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(left % 10)));
        left /= 10;
    } while (left != 0 || digits.size() < 3);
    digits.insert(digits.end() - 2, '.');
    return digits;
}

} // namespace velka
