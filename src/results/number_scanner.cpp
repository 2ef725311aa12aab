#include "results/number_scanner.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <limits>

namespace results {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool startsReal(char c) { return isDigit(c) || c == '.' || c == '-'; }

// Powers of ten a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;
constexpr std::uint64_t kLargestExactMantissa = std::uint64_t{1} << 53;
constexpr int kMantissaDigitLimit = 18;  // more digits could overflow 64 bits

// Appends the digits at `p` to `mantissa` and returns how many there were.
int readDigits(const char*& p, const char* end, std::uint64_t& mantissa) {
    const char* start = p;
    for (; p < end && isDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    return static_cast<int>(p - start);
}

// Reads an exponent "e-05" / "E7" at `p` and returns where it ends; one without digits is not part
// of the number (as for std::from_chars), so `exponent` stays 0.
const char* readExponent(const char* p, const char* end, int& exponent) {
    if (p == end || (*p != 'e' && *p != 'E')) return p;
    const char* q = p + 1;
    const bool negative = q < end && *q == '-';
    if (q < end && (*q == '-' || *q == '+')) ++q;
    if (q == end || !isDigit(*q)) return p;
    int value = 0;
    for (; q < end && isDigit(*q); ++q) value = std::min(value * 10 + (*q - '0'), 100000);
    exponent = negative ? -value : value;
    return q;
}

// The solver writes reals with a few significant digits and a small exponent. Such a number is an
// exact integer mantissa times an exact power of ten, so one multiplication or division gives the
// correctly rounded double, the same value std::from_chars gives, several times faster. Returns
// where the number ends, or nullptr for every other text (long mantissas, large exponents, inf, nan,
// no digits), which the caller hands to std::from_chars.
const char* readShortDecimal(const char* p, const char* end, double& value) {
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    std::uint64_t mantissa = 0;
    const int integerDigits = readDigits(p, end, mantissa);
    if (integerDigits > kMantissaDigitLimit) return nullptr;
    int fractionDigits = 0;
    if (p < end && *p == '.') {
        ++p;
        fractionDigits = readDigits(p, end, mantissa);
    }
    // More digits than 64 bits hold (leading zeros counted too: such numbers are rare).
    if (integerDigits + fractionDigits > kMantissaDigitLimit || integerDigits + fractionDigits == 0) return nullptr;
    int exponent = 0;
    p = readExponent(p, end, exponent);
    const int scale = exponent - fractionDigits;
    if (mantissa == 0) {
        value = negative ? -0.0 : 0.0;
        return p;
    }
    if (mantissa > kLargestExactMantissa || scale < -kLargestExactPower || scale > kLargestExactPower) return nullptr;
    const auto m = static_cast<double>(mantissa);
    value = scale >= 0 ? m * kExactPowers[scale] : m / kExactPowers[-scale];
    if (negative) value = -value;
    return p;
}

const char* skipToWhiteSpace(const char* p, const char* end) {
    while (p < end && !isSpace(*p)) ++p;
    return p;
}

// Anything the short form does not cover; rare, so kept out of the reading loop.
[[gnu::noinline]] const char* readAnyReal(const char* p, const char* end, double& value) {
    const auto [next, ec] = std::from_chars(p, end, value);
    if (ec != std::errc() || !std::isfinite(value)) value = 0.0;
    return next > p ? next : p;
}

// Reads the real at or after `p` by the rules of the class comment and moves `p` past it.
inline double readReal(const char*& p, const char* end) {
    while (p < end && !startsReal(*p) && *p != ';') ++p;
    if (p == end) return 0.0;
    double value = 0.0;
    if (*p != ';') {
        const char* next = readShortDecimal(p, end, value);
        p = next != nullptr ? next : readAnyReal(p, end, value);
    }
    p = skipToWhiteSpace(p, end);  // whatever follows the number up to the next blank belongs to it
    return value;
}

}  // namespace

void NumberScanner::skipToWhiteSpace() { p_ = results::skipToWhiteSpace(p_, end_); }

double NumberScanner::real() { return readReal(p_, end_); }

void NumberScanner::reals(double* out, int count) {
    for (int i = 0; i < count; ++i) out[i] = readReal(p_, end_);
}

std::int32_t NumberScanner::integer() {
    while (p_ < end_ && !isDigit(*p_) && *p_ != ';') ++p_;
    if (p_ == end_) return 0;
    if (*p_ == ';') {
        skipToWhiteSpace();
        return 0;
    }
    std::int64_t value = 0;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    for (; p_ < end_ && isDigit(*p_); ++p_) {
        value = value * 10 + (*p_ - '0');
        if (value > kMax) value = kMax;  // a runaway number stays within range instead of wrapping
    }
    skipToWhiteSpace();
    return static_cast<std::int32_t>(value);
}

bool isRepeatLine(std::string_view line) {
    for (char c : line) {
        if (c == ' ' || c == '\t') continue;
        return c == ';';
    }
    return false;
}

bool isBlankLine(std::string_view line) {
    for (char c : line)
        if (!isSpace(c)) return false;
    return true;
}

}  // namespace results
