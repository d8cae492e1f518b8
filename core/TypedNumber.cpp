#include "core/TypedNumber.h"

#include <cstddef>
#include <string>

namespace velka {

namespace {

constexpr Int128 kScale = [] {
    Int128 scale = 1;
    for (int i = 0; i < TypedNumber::kFractionDigits; ++i)
        scale *= 10;
    return scale;
}();

// The ASCII twin of a code point that may stand in a typed number, or 0 for any other.
char asciiTwin(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<char>(cp);
    if (cp >= U'０' && cp <= U'９')
        return static_cast<char>('0' + (cp - U'０'));
    switch (cp) {
    case U'＋':
        return '+';
    case U'－':
    case U'−': // minus sign
        return '-';
    case U'．':
        return '.';
    case U'ｅ':
        return 'e';
    case U'Ｅ':
        return 'E';
    case U'\u3000': // ideographic space
    case U'\u00A0': // no-break space
        return ' ';
    default:
        return 0;
    }
}

// Decodes UTF-8 and maps every code point to its ASCII twin. Fails on malformed UTF-8 and on
// characters that cannot stand in a number.
std::optional<std::string> toAsciiTwins(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0;
        std::size_t length = 0;
        if (lead < 0x80) {
            cp = lead;
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            cp = lead & 0x1Fu;
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            cp = lead & 0x0Fu;
            length = 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            cp = lead & 0x07u;
            length = 4;
        } else {
            return std::nullopt;
        }
        if (i + length > utf8.size())
            return std::nullopt;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0u) != 0x80u)
                return std::nullopt;
            cp = (cp << 6) | (next & 0x3Fu);
        }
        const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
        if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return std::nullopt;
        const char twin = asciiTwin(cp);
        if (twin == 0)
            return std::nullopt;
        out.push_back(twin);
        i += length;
    }
    return out;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

// A number as written: sign, the digits before and after the decimal point, and the exponent.
struct TypedNumber::Written {
    bool negative = false;
    std::string_view intDigits;
    std::string_view fracDigits;
    std::int64_t exponent = 0;
};

// Scans blanks, sign, digits, fraction, exponent and blanks; nothing when anything else stands
// in the text or no digit does. The views point into s.
std::optional<TypedNumber::Written> TypedNumber::scan(const std::string& s)
{
    Written written;
    std::size_t i = 0;
    const auto skipDigits = [&] {
        const std::size_t begin = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        return std::string_view(s.data() + begin, i - begin);
    };
    const auto skipSign = [&] {
        const bool minus = i < s.size() && s[i] == '-';
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        return minus;
    };

    while (i < s.size() && isBlank(s[i]))
        ++i;
    written.negative = skipSign();
    written.intDigits = skipDigits();
    if (i < s.size() && s[i] == '.') {
        ++i;
        written.fracDigits = skipDigits();
    }
    if (written.intDigits.empty() && written.fracDigits.empty())
        return std::nullopt;

    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        const bool negativeExponent = skipSign();
        const std::string_view exponentDigits = skipDigits();
        if (exponentDigits.empty())
            return std::nullopt;
        // The exponent saturates far beyond any magnitude that matters here.
        constexpr std::int64_t kExponentCap = 1'000'000'000;
        for (const char digit : exponentDigits) {
            if (written.exponent < kExponentCap)
                written.exponent = written.exponent * 10 + (digit - '0');
        }
        if (negativeExponent)
            written.exponent = -written.exponent;
    }
    while (i < s.size() && isBlank(s[i]))
        ++i;
    if (i != s.size())
        return std::nullopt;
    return written;
}

std::optional<TypedNumber> TypedNumber::read(std::string_view utf8)
{
    const std::optional<std::string> ascii = toAsciiTwins(utf8);
    if (!ascii)
        return std::nullopt;
    const std::optional<Written> written = scan(*ascii);
    if (!written)
        return std::nullopt;
    return scale(*written);
}

TypedNumber TypedNumber::scale(const Written& written)
{
    TypedNumber number;
    number.negative_ = written.negative;

    // value = digits * 10^shift, with digits free of leading zeros.
    std::string digits;
    digits.reserve(written.intDigits.size() + written.fracDigits.size());
    digits.append(written.intDigits);
    digits.append(written.fracDigits);
    const std::size_t firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        return number; // zero
    digits.erase(0, firstNonZero);
    const std::int64_t shift =
        written.exponent - static_cast<std::int64_t>(written.fracDigits.size());
    const std::int64_t count = static_cast<std::int64_t>(digits.size());

    // Digits in front of the decimal point: 16 or more mean at least 10^15.
    if (count + shift > 15) {
        number.huge_ = true;
        return number;
    }
    const std::int64_t kept = count + shift + kFractionDigits; // at most 33 digits
    Int128 scaled = 0;
    for (std::int64_t k = 0; k < kept; ++k)
        scaled = scaled * 10 + (k < count ? digits[static_cast<std::size_t>(k)] - '0' : 0);
    for (std::int64_t k = kept < 0 ? 0 : kept; k < count; ++k) {
        if (digits[static_cast<std::size_t>(k)] != '0') {
            number.inexact_ = true;
            break;
        }
    }
    number.scaled_ = scaled;
    return number;
}

std::int64_t TypedNumber::floorClamped(std::int64_t bound) const
{
    if (huge_)
        return negative_ ? -bound : bound;
    Int128 whole = scaled_ / kScale;
    const bool fraction = scaled_ % kScale != 0 || inexact_;
    if (negative_)
        whole = -whole - (fraction ? 1 : 0);
    if (whole > bound)
        return bound;
    if (whole < -bound)
        return -bound;
    return static_cast<std::int64_t>(whole);
}

std::optional<std::int64_t> roundedSum(std::initializer_list<WeightedNumber> terms,
                                       std::int64_t limit)
{
    // Each term stays below 10^33 * 10^4, so a handful of them cannot overflow 128 bits.
    constexpr std::int64_t kFactorCap = 10'000;
    Int128 sum = 0;
    for (const WeightedNumber& term : terms) {
        if (term.number->huge() || term.factor > kFactorCap || term.factor < -kFactorCap)
            return std::nullopt;
        const Int128 value =
            term.number->negative() ? -term.number->scaled() : term.number->scaled();
        sum += value * term.factor;
    }
    Int128 whole = sum / kScale;
    const Int128 rest = sum % kScale;
    if (rest * 2 >= kScale)
        ++whole;
    else if (rest * 2 <= -kScale)
        --whole;
    if (whole > limit || whole < -limit)
        return std::nullopt;
    return static_cast<std::int64_t>(whole);
}

} // namespace velka
