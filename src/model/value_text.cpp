#include "model/value_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <string_view>

#include "entry_record/entry_kind.h"

namespace model {

namespace {

// The solver's formula reader knows these functions and constants besides the variables.
constexpr std::array<std::string_view, 30> kKnownNames = {
    "x",    "y",    "z",    "t",    "T",     "sin",   "cos",   "tan",  "asin",  "acos",
    "atan", "sinh", "cosh", "tanh", "asinh", "acosh", "atanh", "log2", "log10", "log",
    "ln",   "exp",  "sqrt", "sign", "rint",  "abs",   "min",   "max",  "sum",   "avg"};

bool isNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool isNumber(const std::string& text) {
    if (text.empty()) return false;
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The end of the number that starts at `at` (digits, a point, an exponent).
std::size_t numberEnd(const std::string& text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.'))
        ++end;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (exponent < text.size() && std::isdigit(static_cast<unsigned char>(text[exponent]))) {
            end = exponent;
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        }
    }
    return end;
}

// A formula's words one by one: numbers must read whole, names must be known, brackets must pair.
std::string formulaProblem(const std::string& text, const std::vector<std::string>& tableNames) {
    static constexpr std::string_view kOperators = "+-*/^(),<>=!&|?:";
    int depth = 0;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++at;
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            const std::size_t end = numberEnd(text, at);
            if (!isNumber(text.substr(at, end - at)) || (end < text.size() && isNameChar(text[end])))
                return quoted(text) + " is not a number, a table name or a formula";
            at = end;
        } else if (isNameStart(c)) {
            std::size_t end = at;
            while (end < text.size() && isNameChar(text[end])) ++end;
            const std::string name = text.substr(at, end - at);
            const bool known = name == "_pi" || name == "_e" ||
                               std::find(kKnownNames.begin(), kKnownNames.end(), name) != kKnownNames.end() ||
                               std::find(tableNames.begin(), tableNames.end(), name) != tableNames.end();
            if (!known) {
                if (name.starts_with("tabl") || name.starts_with("tabm"))
                    return quoted(name) + " is not a table of this loadcase (MAKE TABLE makes one)";
                return quoted(text) + " is not a number, a table name or a formula (" + quoted(name) +
                       " is neither a table nor one of the variables x, y, z, t, T)";
            }
            at = end;
        } else if (kOperators.find(c) != std::string_view::npos) {
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            if (depth < 0) return quoted(text) + " closes a bracket it did not open";
            // The entry text separates the components with commas: one outside brackets would
            // make two values of one (a decimal comma, "1,5").
            if (c == ',' && depth == 0)
                return quoted(text) +
                       " holds two values: a box takes one (decimals are written with a point)";
            ++at;
        } else {
            return quoted(text) + " is not a number, a table name or a formula (it holds " +
                   quoted(std::string(1, c)) + ")";
        }
    }
    if (depth != 0) return quoted(text) + " leaves a bracket open";
    return {};
}

}  // namespace

std::vector<std::string> storedTableNames(const loadcase::EntryList& entries) {
    std::vector<std::string> names;
    for (const auto& entry : entries) {
        if (entry.kind() != kKindTable) continue;
        const std::string& text = entry.text();
        names.push_back(text.substr(0, text.find(',')));
    }
    return names;
}

std::string valueTextProblem(const std::string& text, const std::vector<std::string>& tableNames) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "it is empty: type a number, a table name or a formula";
    const std::string trimmed = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (isNumber(trimmed)) return {};
    return formulaProblem(trimmed, tableNames);
}

}  // namespace model
