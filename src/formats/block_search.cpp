#include "formats/block_search.h"

#include <limits>

namespace results {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// atoi: optional sign and digits; anything else ends the number. Stays within 32 bits.
int leadingInteger(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<int>::max()) value = std::numeric_limits<int>::max();
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

std::optional<int> headerNumber(std::string_view line, std::string_view keyword) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    const std::string_view key = keyword.substr(0, 4);
    if (line.substr(i, key.size()) != key) return std::nullopt;
    while (i < line.size() && !isBlank(line[i])) ++i;  // the keyword's word
    while (i < line.size() && isBlank(line[i])) ++i;
    const int number = leadingInteger(line.substr(i));
    return number == 0 ? 1 : number;
}

std::optional<int> findBlock(LineReader& reader, std::string_view keyword) {
    std::string_view line;
    while (reader.next(line, kHeaderLineLimit)) {
        if (auto number = headerNumber(line, keyword)) return number;
    }
    return std::nullopt;
}

}  // namespace results
