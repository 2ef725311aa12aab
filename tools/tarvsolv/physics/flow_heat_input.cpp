#include "physics/flow_heat_input.h"

#include <stdexcept>

#include "formats/input_values.h"

namespace tarvsolv {
namespace {

std::runtime_error lineError(const InputLine& line, const std::string& what) {
    return std::runtime_error("input line " + std::to_string(line.number) + " '" + line.text + "': " + what);
}

bool holdsTemperature(const std::vector<std::string>& w) {
    for (std::size_t k = 1; k < w.size() && k <= 3; ++k)
        if (w[k] == "temp") return true;
    return false;
}

// The flow's loads are "bol F 1 P", "bol F 3 vx, vy, vz" and "al ax, ay, az"; a face load of code 0
// or 2, or an "al" of one value, is a thermal load.
bool thermalLoadForm(const InputLine& line) {
    const std::vector<std::string> w = formats::words(line.text);
    if (w.size() > 2 && w[0] == "bol") return w[2] == "0" || w[2] == "2";
    if (w.size() > 1 && w[0] == "al") {
        const std::string values = line.text.substr(line.text.find("al") + 2);
        return formats::splitTopLevel(values, ',').size() == 1;
    }
    return false;
}

}  // namespace

void checkFlowHeatSections(const SolverInput& input) {
    if (!input.thermalMaterials.empty())
        throw lineError(input.thermalMaterials.front(),
                        "a flow that carries heat has no thermal materials: the fluid's material line "
                        "rho, mu, k, c, beta holds its heat constants");
    for (const InputLine& line : input.loads)
        if (thermalLoadForm(line)) throw lineError(line, "a thermal load belongs in TLOADS");
    for (const InputLine& line : input.restraints)
        if (holdsTemperature(formats::words(line.text)))
            throw lineError(line, "a held temperature belongs in TRESTRAINTS");
    for (const InputLine& line : input.thermalRestraints)
        if (!holdsTemperature(formats::words(line.text)))
            throw lineError(line, "a flow's walls belong in RESTRAINTS; TRESTRAINTS holds temperatures");
}

void addFlowHeatEntries(const SolverInput& input, ModelEntries& entries) {
    const std::size_t firstLoad = entries.loads.size();
    readMoreEntries(entries, input.thermalRestraints, input.thermalLoads, Physics::Thermal);
    for (std::size_t k = firstLoad; k < entries.loads.size(); ++k)
        if (entries.loads[k].kind == LoadKind::Acceleration || entries.loads[k].kind == LoadKind::Force ||
            entries.loads[k].kind == LoadKind::Traction || entries.loads[k].kind == LoadKind::Pressure)
            throw std::runtime_error("input line " + std::to_string(entries.loads[k].line) +
                                     ": a flow's loads belong in LOADS; TLOADS holds thermal loads");
}

}  // namespace tarvsolv
