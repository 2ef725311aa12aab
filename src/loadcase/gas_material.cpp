#include "loadcase/gas_material.h"

#include <cstdlib>
#include <optional>
#include <vector>

namespace loadcase {
namespace {

constexpr std::size_t kGammaField = 5;
constexpr std::size_t kGasConstantField = 6;

// The field as a number when it is one (blanks around it allowed); nothing for a table name or a
// formula.
std::optional<double> plainNumber(const std::string& field) {
    const auto first = field.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const std::string number = field.substr(first, field.find_last_not_of(' ') + 1 - first);
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size()) return std::nullopt;
    return value;
}

}  // namespace

// The value fields after the description's last ':' (a description may hold one, values never).
std::vector<std::string> materialFields(const std::string& text) {
    const auto colon = text.rfind(':');
    const std::string values = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end = values.find(','); end != std::string::npos; end = values.find(',', start)) {
        fields.push_back(values.substr(start, end - start));
        start = end + 1;
    }
    fields.push_back(values.substr(start));
    return fields;
}

GasValues gasValuesOf(const std::string& materialText) {
    const auto fields = materialFields(materialText);
    if (fields.size() <= kGasConstantField) return GasValues::Missing;
    const auto gamma = plainNumber(fields[kGammaField]);
    const auto r = plainNumber(fields[kGasConstantField]);
    // A negated comparison, so that a value that is no finite number is refused as well.
    if ((gamma && !(*gamma > 1.0)) || (r && !(*r > 0.0))) return GasValues::NotAGas;
    return GasValues::Gas;
}

std::string gasRefusal(GasValues values, int body) {
    const std::string name = "body " + std::to_string(body);
    if (values == GasValues::Missing)
        return "The material of " + name +
               " has no gas values (ratio of specific heats, gas constant): apply a gas from the Materials "
               "dialog of this Fluid flow loadcase in its place";
    return name + " is not a gas: its ratio of specific heats must be above 1 and its gas constant above 0";
}

}  // namespace loadcase
