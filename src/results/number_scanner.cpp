#include "results/number_scanner.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace results {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool startsReal(char c) { return isDigit(c) || c == '.' || c == '-'; }

}  // namespace

void NumberScanner::skipToWhiteSpace() {
    while (p_ < end_ && !isSpace(*p_)) ++p_;
}

double NumberScanner::real() {
    while (p_ < end_ && !startsReal(*p_) && *p_ != ';') ++p_;
    if (p_ == end_) return 0.0;
    if (*p_ == ';') {
        skipToWhiteSpace();
        return 0.0;
    }
    double value = 0.0;
    const auto [next, ec] = std::from_chars(p_, end_, value);
    if (ec != std::errc() || !std::isfinite(value)) value = 0.0;
    if (next > p_) p_ = next;
    skipToWhiteSpace();
    return value;
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
