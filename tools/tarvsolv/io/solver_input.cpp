#include "io/solver_input.h"

#include <optional>
#include <sstream>
#include <stdexcept>

#include "formats/input_values.h"

namespace tarvsolv {

using formats::parseNumber;
using formats::splitTopLevel;
using formats::trimmed;
namespace {

std::runtime_error lineError(const std::string& name, int line, const std::string& what) {
    return std::runtime_error(name + " line " + std::to_string(line) + ": " + what);
}

// "0.001 mm scale=1 nod=10 elem=0 ana=0 [s1 s3 s2]"
void readHeaderLine(SolverInput& input, const formats::InputLine& line, const std::string& name) {
    const std::optional<formats::HeaderLine> header = formats::splitHeaderLine(line.text);
    if (!header) throw lineError(name, line.number, "the header line names no unit");
    input.unitText = header->unitText;
    for (const auto& [key, value] : header->values) {
        const auto number = parseNumber(value);
        if (!number)
            throw lineError(name, line.number, "header value " + key + "=" + value + " is not a number");
        if (key == "scale")
            input.lengthScale = *number;
        else if (key == "nod")
            input.nodesPerElement = static_cast<int>(*number);
        else if (key == "ana")
            input.analysisCode = static_cast<int>(*number);
    }
}

// "s1,s2,s3,s4,s5[,s0]": rows 2 to 6, then the tolerance of row 1.
void readSolveLine(SolverInput& input, const formats::InputLine& line, const std::string& name) {
    const std::vector<std::string> fields = splitTopLevel(line.text, ',');
    for (std::size_t k = 0; k < fields.size() && k <= input.solve.size(); ++k) {
        const auto number = parseNumber(trimmed(fields[k]));
        if (!number)
            throw lineError(name, line.number, "solve value '" + trimmed(fields[k]) + "' is not a number");
        (k < input.solve.size() ? input.solve[k] : input.tolerance) = *number;
    }
    input.hasSolve = true;
}

// " alpha beta": the mass and stiffness damping coefficients.
void readDynamicLine(SolverInput& input, const formats::InputLine& line, const std::string& name) {
    std::istringstream fields(line.text);
    double* targets[2] = {&input.massDamping, &input.stiffnessDamping};
    std::string field;
    for (double* target : targets) {
        if (!(fields >> field)) break;
        const auto number = parseNumber(field);
        if (!number) throw lineError(name, line.number, "damping value '" + field + "' is not a number");
        *target = *number;
    }
}

SolverInput fromSections(const formats::SolverInputSections& sections, const std::string& name) {
    SolverInput input;
    if (const auto header = sections.firstValueLine("HEADER")) readHeaderLine(input, *header, name);
    if (const auto model = sections.firstValueLine("MODEL")) input.modelPath = model->text;
    if (const auto mesh = sections.firstValueLine("MFILE")) input.meshPath = mesh->text;
    if (const auto solve = sections.firstValueLine("SOLVE")) readSolveLine(input, *solve, name);
    input.gstep = sections.has("GSTEP");
    input.buckle = sections.has("BUCKLE");
    input.tstep = sections.has("TSTEP");
    input.dynamic = sections.has("DYNAMIC");
    if (const auto dynamic = sections.firstValueLine("DYNAMIC")) readDynamicLine(input, *dynamic, name);
    input.tables = sections.valueLines("TABLES");
    input.materials = sections.valueLines("MATERIALS");
    input.sizes = sections.valueLines("ESIZE");
    input.loads = sections.valueLines("LOADS");
    input.restraints = sections.valueLines("RESTRAINTS");
    input.constraints = sections.valueLines("CONSTRAINTS");
    input.thermalMaterials = sections.valueLines("TMATERIALS");
    input.thermalLoads = sections.valueLines("TLOADS");
    input.thermalRestraints = sections.valueLines("TRESTRAINTS");
    input.thermalSections = sections.has("TMATERIALS");
    if (const auto settings = sections.valueLines("MSET"); !settings.empty())
        input.meshSettings = settings.back().text;
    return input;
}

}  // namespace

SolverInput parseSolverInput(const std::string& text, const std::string& name) {
    std::istringstream in(text);
    return fromSections(formats::readSolverInputSections(in), name);
}

SolverInput readSolverInput(const std::string& path) {
    const std::optional<formats::SolverInputSections> sections = formats::readSolverInputFile(path);
    if (!sections) throw std::runtime_error("cannot open the solver input " + path);
    return fromSections(*sections, path);
}

SolveKind solveKind(const SolverInput& input) {
    switch (input.analysisCode) {
        case 1:
            return SolveKind::SteadyHeat;
        case 2:
            return SolveKind::TransientHeat;
        case 3:
            return SolveKind::Modes;
        case 5:
            return SolveKind::ForcedVibration;
        case 8:
            return SolveKind::IncompressibleFlow;
        case 9:
            return SolveKind::CompressibleFlow;
        case 10:
            return SolveKind::Multiphysics;
        case 11:
            return SolveKind::ThermalStress;
        case 12:
            return SolveKind::TransientThermalStress;
        case 13:
            return SolveKind::HeatedBuckling;
        case 14:
            return SolveKind::HeatedModes;
        default:
            break;
    }
    // Codes above the fluid analyses are fluid analyses of a later add-on: none of them may fall
    // through to statics.
    if (input.analysisCode >= 8) return SolveKind::FluidFlow;
    if (input.analysisCode < 0) return SolveKind::Plastic;
    if (input.buckle) return SolveKind::Buckling;
    if (input.gstep) return SolveKind::LargeDisplacement;
    return SolveKind::Static;
}

const char* solveKindName(SolveKind kind) {
    switch (kind) {
        case SolveKind::Static:
            return "linear statics";
        case SolveKind::Plastic:
            return "plasticity";
        case SolveKind::LargeDisplacement:
            return "large displacements";
        case SolveKind::Buckling:
            return "buckling";
        case SolveKind::Modes:
            return "natural frequencies";
        case SolveKind::ForcedVibration:
            return "forced vibrations";
        case SolveKind::SteadyHeat:
            return "steady heat";
        case SolveKind::TransientHeat:
            return "transient heat";
        case SolveKind::IncompressibleFlow:
            return "incompressible flow";
        case SolveKind::CompressibleFlow:
            return "compressible flow";
        case SolveKind::Multiphysics:
            return "multiphysics";
        case SolveKind::FluidFlow:
            return "fluid flow";
        case SolveKind::ThermalStress:
            return "thermal stress";
        case SolveKind::TransientThermalStress:
            return "transient thermal stress";
        case SolveKind::HeatedBuckling:
            return "buckling about a heated state";
        case SolveKind::HeatedModes:
            return "natural frequencies about a heated state";
    }
    return "?";
}

}  // namespace tarvsolv
