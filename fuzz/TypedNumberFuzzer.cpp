// The number reader behind the field size and the timer's inputs, on arbitrary bytes.
//
// Invariants: reading never fails unsafely; a number that is not huge stays below 10^33 when
// scaled; rounding down stays within its bound and agrees with the unbounded floor; blanks
// around the text and full-width digits change nothing; plain decimals ("-12.5") read exactly
// as a hand-made decimal reading says; the field size is the floor clamped to a million; a sum
// of weighted inputs stays within its limit and is exact for whole numbers.

#include "core/TypedNumber.h"
#include "draw/Draw.h"
#include "fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

using velka::Int128;
using velka::TypedNumber;

constexpr std::int64_t kHuge = TypedNumber::kHugeFrom;

bool sameNumber(const std::optional<TypedNumber>& a, const std::optional<TypedNumber>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    if (!a)
        return true;
    return a->negative() == b->negative() && a->huge() == b->huge() &&
           (a->huge() || a->scaled() == b->scaled()) &&
           a->floorClamped(kHuge) == b->floorClamped(kHuge);
}

// The text with every ASCII digit, sign and point as a Japanese input method types it.
std::string fullWidth(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            // U+FF10 + digit: EF BC 90..99
            out += "\xEF\xBC";
            out += static_cast<char>(0x90 + (c - '0'));
        } else if (c == '.') {
            out += "\xEF\xBC\x8E";
        } else if (c == '-') {
            out += "\xEF\xBC\x8D";
        } else {
            out += c;
        }
    }
    return out;
}

struct PlainDecimal {
    bool negative;
    std::int64_t whole;
    Int128 scaled;
    bool fraction;
};

// "[+-]d{1,15}(.d{1,40})?" read by hand, or nothing for any other text. The scaled value keeps
// 18 fractional digits; fraction tells whether any digit after the point is nonzero.
std::optional<PlainDecimal> readPlainDecimal(std::string_view s)
{
    PlainDecimal d{false, 0, 0, false};
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        d.negative = s[i++] == '-';
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 16) {
        d.whole = d.whole * 10 + (s[i++] - '0');
        ++digits;
    }
    if (digits == 0 || digits > 15)
        return std::nullopt;
    Int128 fraction = 0;
    int fractionDigits = 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && fractionDigits < 41) {
            if (fractionDigits < 18)
                fraction = fraction * 10 + (s[i] - '0');
            d.fraction = d.fraction || s[i] != '0';
            ++i;
            ++fractionDigits;
        }
        if (fractionDigits == 0 || fractionDigits > 40)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    for (int k = std::min(fractionDigits, 18); k < 18; ++k)
        fraction *= 10;
    Int128 scale = 1;
    for (int k = 0; k < 18; ++k)
        scale *= 10;
    d.scaled = Int128{d.whole} * scale + fraction;
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<TypedNumber> number = TypedNumber::read(text);

    const std::optional<int> fieldSize = velka::readFieldSize(text);
    FUZZ_CHECK(fieldSize.has_value() == number.has_value());

    // Blanks around the text, ASCII or ideographic, change nothing.
    const std::string padded = " \t" + std::string(text) + "\xE3\x80\x80 ";
    FUZZ_CHECK(sameNumber(TypedNumber::read(padded), number));
    FUZZ_CHECK(sameNumber(TypedNumber::read(fullWidth(text)), number));

    if (!number)
        return 0;

    FUZZ_CHECK(*fieldSize >= -1'000'000 && *fieldSize <= 1'000'000);
    FUZZ_CHECK(*fieldSize == number->floorClamped(1'000'000));

    const std::int64_t floor = number->floorClamped(INT64_MAX);
    if (number->huge()) {
        FUZZ_CHECK(floor == (number->negative() ? -INT64_MAX : INT64_MAX));
    } else {
        Int128 limit = 1;
        for (int k = 0; k < 33; ++k)
            limit *= 10;
        FUZZ_CHECK(number->scaled() >= 0 && number->scaled() < limit);
        FUZZ_CHECK(floor > -kHuge - 1 && floor < kHuge);
    }
    for (const std::int64_t bound :
         {std::int64_t{0}, std::int64_t{1}, std::int64_t{16}, std::int64_t{1'000'000}, kHuge}) {
        const std::int64_t clamped = number->floorClamped(bound);
        FUZZ_CHECK(clamped == std::clamp(floor, -bound, bound));
    }

    if (const std::optional<PlainDecimal> plain = readPlainDecimal(text)) {
        FUZZ_CHECK(!number->huge());
        FUZZ_CHECK(number->negative() == plain->negative);
        FUZZ_CHECK(number->scaled() == plain->scaled);
        const std::int64_t expected =
            plain->negative ? -plain->whole - (plain->fraction ? 1 : 0) : plain->whole;
        FUZZ_CHECK(floor == expected);
    }

    // Hours, minutes and seconds all typed as this number.
    constexpr std::int64_t kLimit = 400'000'000'000;
    const std::optional<std::int64_t> sum =
        velka::roundedSum({{&*number, 3600}, {&*number, 60}, {&*number, 1}}, kLimit);
    if (number->huge())
        FUZZ_CHECK(!sum);
    if (sum)
        FUZZ_CHECK(*sum >= -kLimit && *sum <= kLimit);
    if (const std::optional<PlainDecimal> plain = readPlainDecimal(text);
        plain && !plain->fraction) {
        const Int128 exact = Int128{plain->negative ? -plain->whole : plain->whole} * 3661;
        if (exact >= -kLimit && exact <= kLimit)
            FUZZ_CHECK(sum && *sum == exact);
        else
            FUZZ_CHECK(!sum);
    }
    return 0;
}
