#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velka {

__extension__ typedef __int128 Int128;

// A number as the organiser typed it into a text box, read exactly in decimal: no binary
// rounding touches it. Magnitudes of 10^15 and more are only known to be huge; everything
// smaller is kept with 18 fractional digits.
class TypedNumber {
public:
    static constexpr int kFractionDigits = 18;
    static constexpr std::int64_t kHugeFrom = 1'000'000'000'000'000; // 10^15

    // Reads blanks, an optional sign, digits with an optional decimal point and fraction, an
    // optional exponent ("1e3") and blanks. Full-width digits, signs, decimal point and
    // exponent letters, as a Japanese input method types them, read as their ASCII twins;
    // the ideographic space counts as a blank. Anything else, "NaN", "inf", "1 6" and the
    // empty text among it, is not a number.
    static std::optional<TypedNumber> read(std::string_view utf8);

    bool negative() const { return negative_; }
    // True when the magnitude is 10^15 or more.
    bool huge() const { return huge_; }
    // The value times 10^18, truncated toward zero. Meaningful only when not huge().
    Int128 scaled() const { return scaled_; }

    // The largest whole number not above the value, clamped to [-bound, bound].
    std::int64_t floorClamped(std::int64_t bound) const;

private:
    struct Written;
    // The steps of read() after the full-width forms are folded to ASCII.
    static std::optional<Written> scan(const std::string& s);
    static TypedNumber scale(const Written& written);

    bool negative_ = false;
    bool huge_ = false;
    bool inexact_ = false; // nonzero digits beyond the 18th fractional digit were dropped
    Int128 scaled_ = 0;
};

// value1 * factor1 + value2 * factor2 + ..., rounded to the nearest whole number (halves away
// from zero). Returns nothing when any term is huge or the result's magnitude exceeds limit.
struct WeightedNumber {
    const TypedNumber* number;
    std::int64_t factor;
};
std::optional<std::int64_t> roundedSum(std::initializer_list<WeightedNumber> terms,
                                       std::int64_t limit);

} // namespace velka
