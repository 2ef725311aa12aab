#pragma once
// Small text helpers for the line-oriented input files.
#include <optional>
#include <string>
#include <vector>

namespace tarvsolv {

std::string trim(const std::string& text);
std::vector<std::string> splitBlanks(const std::string& text);
// Splits at `separator` outside parentheses, so "min(a,b), 3" gives two parts.
std::vector<std::string> splitTopLevel(const std::string& text, char separator);
// The whole text as a number (C locale), or nothing.
std::optional<double> parseNumber(const std::string& text);
std::optional<int> parseInt(const std::string& text);

}  // namespace tarvsolv
