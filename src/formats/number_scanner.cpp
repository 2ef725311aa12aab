#include "formats/number_scanner.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "formats/decimal_conversion.h"

namespace results {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool startsReal(char c) {
    return isDigit(c) || c == '.' || c == '-';
}

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
    if (integerDigits + fractionDigits > kMantissaDigitLimit || integerDigits + fractionDigits == 0)
        return nullptr;
    int exponent = 0;
    p = readExponent(p, end, exponent);
    if (!exactDecimal(mantissa, exponent - fractionDigits, negative, value)) return nullptr;
    return p;
}

// True when all eight characters of `chunk` (first character in the lowest byte) are digits.
bool eightAreDigits(std::uint64_t chunk) {
    return ((chunk & 0xF0F0F0F0F0F0F0F0) | (((chunk + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4)) ==
           0x3333333333333333;
}

// The number eight digits spell, combined pairwise instead of one at a time.
std::uint64_t eightDigitsValue(std::uint64_t chunk) {
    std::uint64_t v = chunk - 0x3030303030303030;
    v = v * 10 + (v >> 8);
    v = (((v & 0x000000FF000000FF) * 0x000F424000000064) +
         (((v >> 16) & 0x000000FF000000FF) * 0x0000271000000001)) >>
        32;
    return v & 0xFFFFFFFF;
}

// The solver's own forms, "-d.dddddde+dd" and "-d.dddddddde+dd" (6 or 8 decimals, a two-digit
// exponent), read at fixed places with the first seven digits taken at once: the bulk of a result
// file. Returns where the number ends, or nullptr for any other text.
const char* readSolverScientific(const char* p, const char* end, double& value) {
    const bool negative = *p == '-';
    const char* q = negative ? p + 1 : p;
    if (end - q < 12 || q[1] != '.') return nullptr;
    std::uint64_t head;  // "d.dddddd", first character in the lowest byte on little-endian machines
    std::memcpy(&head, q, sizeof head);
    if constexpr (std::endian::native != std::endian::little) return nullptr;
    // "0ddddddd": the leading digit moves into the point's place and a zero goes in front.
    const std::uint64_t digits = (head & 0xFFFFFFFFFFFF0000) | ((head & 0xFF) << 8) | 0x30;
    if (!eightAreDigits(digits)) return nullptr;
    std::uint64_t mantissa = eightDigitsValue(digits);
    int decimals = 6;
    const char* e = q + 8;
    if (isDigit(e[0])) {
        if (end - q < 14 || !isDigit(e[1])) return nullptr;
        mantissa = mantissa * 100 + static_cast<std::uint64_t>((e[0] - '0') * 10 + (e[1] - '0'));
        decimals = 8;
        e += 2;
    }
    if ((e[0] != 'e' && e[0] != 'E') || (e[1] != '+' && e[1] != '-') || !isDigit(e[2]) || !isDigit(e[3]) ||
        (e + 4 < end && isDigit(e[4])))
        return nullptr;
    const int exponent = (e[2] - '0') * 10 + (e[3] - '0');
    if (!exactDecimal(mantissa, (e[1] == '-' ? -exponent : exponent) - decimals, negative, value))
        return nullptr;
    return e + 4;
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
        const char* next = readSolverScientific(p, end, value);
        if (next == nullptr) next = readShortDecimal(p, end, value);
        p = next != nullptr ? next : readAnyReal(p, end, value);
    }
    p = skipToWhiteSpace(p, end);  // whatever follows the number up to the next blank belongs to it
    return value;
}

}  // namespace

void NumberScanner::skipToWhiteSpace() {
    p_ = results::skipToWhiteSpace(p_, end_);
}

double NumberScanner::real() {
    return readReal(p_, end_);
}

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

void NumberScanner::skipInteger() {
    while (p_ < end_ && !isDigit(*p_) && *p_ != ';') ++p_;
    skipToWhiteSpace();  // digits and ';' alike belong to the word
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
