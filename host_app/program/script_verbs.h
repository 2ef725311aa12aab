#pragma once
// What the families of script verbs share: the error of a line and the numbers and ids they read.
#include <stdexcept>
#include <string>

namespace hostapp {

// A line that cannot be carried out; the runner turns it into a ScriptFailure naming the line.
class LineError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The FEM Explorer's tree control in its panel.
inline constexpr int kExplorerTreeId = 10;

inline double parseNumber(const std::string& word) {
    try {
        std::size_t used = 0;
        const double value = std::stod(word, &used);
        if (used == word.size()) return value;
    } catch (const std::exception&) {
    }
    throw LineError("not a number: " + word);
}

}  // namespace hostapp
