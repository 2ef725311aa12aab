#include "physics/thermal_stress_input.h"

#include <stdexcept>

#include "formats/input_values.h"

namespace tarvsolv {

using formats::splitTopLevel;
using formats::words;
namespace {

enum class LineKind { Mechanical, Thermal, Unknown };

std::runtime_error lineError(const InputLine& line, const std::string& what) {
    return std::runtime_error("input line " + std::to_string(line.number) + " '" + line.text + "': " + what);
}

// The text after the first `count` words of `text`.
std::string afterWords(const std::string& text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t k = 0; k < count; ++k) {
        at = text.find_first_not_of(" \t", at);
        if (at == std::string::npos) return {};
        at = text.find_first_of(" \t", at);
        if (at == std::string::npos) return {};
    }
    return text.substr(at);
}

std::size_t valueCount(const std::string& text) {
    return formats::trimmed(text).empty() ? 0 : splitTopLevel(text, ',').size();
}

// Which physics a load line's form belongs to. The forms shared by both (a face load of code 0, a
// point load, a load on the whole model) tell by their number of values: one for heat, three
// for a force.
LineKind loadKind(const InputLine& line) {
    const std::vector<std::string> w = words(line.text);
    if (w.empty()) return LineKind::Unknown;
    const std::string& code = w[0];
    if (code == "t" || code == "cx") return LineKind::Mechanical;
    const auto byCount = [](std::size_t count) {
        return count == 1 ? LineKind::Thermal : count == 3 ? LineKind::Mechanical : LineKind::Unknown;
    };
    if (code == "al") return byCount(valueCount(afterWords(line.text, 1)));
    if (code == "pxf") return byCount(valueCount(afterWords(line.text, 2)));
    // "bol F code values", "efl A B code values"
    const std::size_t codeWord = code == "bol" ? 2 : code == "efl" ? 3 : 0;
    if (codeWord == 0 || w.size() <= codeWord) return LineKind::Unknown;
    if (w[codeWord] == "1") return LineKind::Mechanical;
    if (w[codeWord] == "2") return LineKind::Thermal;
    if (w[codeWord] == "0") return byCount(valueCount(afterWords(line.text, codeWord + 1)));
    return LineKind::Unknown;
}

bool holdsTemperature(const InputLine& line) {
    const std::vector<std::string> w = words(line.text);
    for (std::size_t k = 1; k < w.size() && k <= 3; ++k)
        if (w[k] == "temp") return true;
    return false;
}

std::size_t materialFieldCount(const InputLine& line) {
    return valueCount(afterWords(line.text, 1));
}

constexpr std::size_t kThermalMaterialFields = 5;  // k, ky, kz, rho, c

void checkMechanicalSections(const SolverInput& input) {
    for (const InputLine& line : input.materials)
        if (materialFieldCount(line) == kThermalMaterialFields)
            throw lineError(
                line,
                "five values are a thermal material (k, ky, kz, rho, c); a thermal stress has its "
                "thermal materials in TMATERIALS");
    for (const InputLine& line : input.loads) {
        if (words(line.text).front() == "t")
            throw lineError(line,
                            "a thermal stress computes its own temperatures and takes none from another "
                            "loadcase");
        if (loadKind(line) == LineKind::Thermal) throw lineError(line, "a thermal load belongs in TLOADS");
    }
    for (const InputLine& line : input.restraints)
        if (holdsTemperature(line)) throw lineError(line, "a held temperature belongs in TRESTRAINTS");
}

void checkThermalSections(const SolverInput& input) {
    for (const InputLine& line : input.thermalMaterials)
        if (materialFieldCount(line) > kThermalMaterialFields)
            throw lineError(line,
                            "more than five values are a mechanical material; a thermal stress has its "
                            "mechanical materials in MATERIALS");
    for (const InputLine& line : input.thermalLoads)
        if (loadKind(line) == LineKind::Mechanical)
            throw lineError(line, "a mechanical load belongs in LOADS");
    for (const InputLine& line : input.thermalRestraints)
        if (!holdsTemperature(line)) throw lineError(line, "fixed directions belong in RESTRAINTS");
}

}  // namespace

bool isThermalStress(SolveKind kind) {
    return kind == SolveKind::ThermalStress || kind == SolveKind::TransientThermalStress ||
           kind == SolveKind::HeatedBuckling || kind == SolveKind::HeatedModes;
}

void checkThermalStressSections(const SolverInput& input) {
    if (!input.thermalSections || input.thermalMaterials.empty())
        throw std::runtime_error(
            "a thermal stress needs the bodies' thermal materials (a TMATERIALS section); assign a "
            "material with thermal values");
    checkMechanicalSections(input);
    checkThermalSections(input);
}

SolverInput thermalPartInput(const SolverInput& input) {
    SolverInput heat = input;
    heat.materials = input.thermalMaterials;
    heat.loads = input.thermalLoads;
    heat.restraints = input.thermalRestraints;
    heat.constraints.clear();
    return heat;
}

}  // namespace tarvsolv
