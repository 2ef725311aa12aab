#include "mesh_solve/solve_parameters.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "loadcase/analysis_code.h"
#include "loadcase/text_format.h"
#include "mesh_solve/plain_number.h"

namespace mesh_solve {
namespace {

constexpr const char* kKeywords[] = {
    "ELASTIC:", "PLASTIC:", "LARGEDISP:", "BUCKLE:", "NATFREQ:", "DYNAMIC:", "THERMAL:", "THERMALTRAN:"};
constexpr int kKeywordCount = static_cast<int>(std::size(kKeywords));
// The thermal stress analyses of a Multiphysics loadcase, types 11 to 14.
constexpr const char* kMultiphysicsKeywords[] = {
    "THERMSTRESS:", "THERMSTRESSTRAN:", "THERMBUCKLE:", "THERMNATFREQ:"};

constexpr const char* kInitialTemperature = "initial temperature";
constexpr const char* kModes = "number of modes";
constexpr const char* kIterations = "iteration limit";
constexpr const char* kLoadFactor = "load factor";
constexpr const char* kSteps = "number of steps";
constexpr const char* kLoadSteps = "number of load steps";
// Adaptive refinement: the solver remeshes until its error estimate is below the target (0: no
// refinement, which every entry stored before these rows holds) or the cycles are spent.
constexpr const char* kTargetError = "target error (%)";
constexpr const char* kRefinementCycles = "refinement cycles";
constexpr double kDefaultLoadSteps = 10;  // the solver's own when the row holds 0
constexpr double kDefaultTolerance = 1e-06;
constexpr double kDefaultNewtonIterations = 25;   // the flow solver's own when the row holds 0
constexpr double kDefaultPseudoTimeSteps = 2000;  // the gas solver's steady steps when the row holds 0

// Rows 2 to 7 of each analysis type; an empty text ends the rows shown.
std::array<const char*, kSolveRowCount - 1> laterRows(int type) {
    switch (type) {
        case 1:
            return {kInitialTemperature, kIterations, kLoadSteps, "friction angle", kLoadFactor, ""};
        case 0:
        case 6:
        case loadcase::kFirstMultiphysicsAnalysis:  // thermal stress
            return {kInitialTemperature, kTargetError, kRefinementCycles, "", "", ""};
        case 4:
            return {kModes, kInitialTemperature, kTargetError, kRefinementCycles, "", ""};
        case 3:
        case 13:
        case 14:
            // The initial temperature is the stress-free one, and the one the materials take
            // without a temperature load.
            return {kModes, kInitialTemperature, "", "", "", ""};
        case 5:
            return {kInitialTemperature,  kSteps,
                    "step size (s)",      "Print every n steps, n=",
                    "mass damping coeff", "stiffness damping coeff"};
        case 7:
        case loadcase::kTransientThermalStress:  // the start temperature is also the stress-free one
            return {kInitialTemperature, kSteps, "step size (s)", "Print every n steps, n=", "", ""};
        case loadcase::kFirstFluidAnalysis:
            return {kIterations, kSteps, "step size (s)", "Print every n steps, n=", "", ""};
        case loadcase::kCompressibleFlow:
            // Steady: pseudo-time steps up to the limit; transient: steps of the step size, each
            // divided as the CFL number needs.
            return {kIterations, kSteps, "step size (s)", "Print every n steps, n=", "CFL number", ""};
        case loadcase::kFluidMultiphysics:
            // A flow that carries heat starts at the initial temperature, where its buoyancy vanishes.
            return {kIterations, kSteps, "step size (s)", "Print every n steps, n=", kInitialTemperature, ""};
        default:
            return {kInitialTemperature, "", "", "", "", ""};
    }
}

double defaultFor(int type, const std::string& label) {
    // A flow of 0 steps is steady, and its Newton iteration has a limit of its own.
    if (type == loadcase::kFirstFluidAnalysis || type == loadcase::kFluidMultiphysics)
        return label == kIterations ? kDefaultNewtonIterations : 0.0;
    // A CFL number of 0 is the gas solver's own, which differs for steady and transient runs.
    if (type == loadcase::kCompressibleFlow) return label == kIterations ? kDefaultPseudoTimeSteps : 0.0;
    if (label == kModes || label == kLoadFactor || label == kSteps) return 1.0;
    if (label == kIterations) return 100.0;
    if (label == kLoadSteps) return kDefaultLoadSteps;
    return 0.0;
}

}  // namespace

std::vector<std::string> analysisTypeNames(int physics) {
    switch (physics) {
        case loadcase::kTypeThermal:
            return {"steady state heating", "transient heating"};
        case loadcase::kTypeFluidFlow:
            return {"incompressible flow", "compressible flow", "multiphysics"};
        case loadcase::kTypeMultiphysics:
            return {"thermal stress", "transient thermal stress", "stability/buckling",
                    "natural frequencies"};
        default:
            return {"elasticity",         "plasticity",          "hyperelasticity",
                    "stability/buckling", "natural frequencies", "forced vibrations"};
    }
}

int analysisTypeForIndex(int physics, int index) {
    if (physics == loadcase::kTypeThermal) return index == 0 ? 6 : 7;
    if (physics == loadcase::kTypeFluidFlow) {
        const int last = loadcase::kLastFluidAnalysis - loadcase::kFirstFluidAnalysis;
        return loadcase::kFirstFluidAnalysis + (index >= 0 && index <= last ? index : 0);
    }
    if (physics == loadcase::kTypeMultiphysics) {
        const int last = loadcase::kLastMultiphysicsAnalysis - loadcase::kFirstMultiphysicsAnalysis;
        return loadcase::kFirstMultiphysicsAnalysis + (index >= 0 && index <= last ? index : 0);
    }
    return index >= 1 && index <= 5 ? index : 0;
}

const char* solveKeyword(int type) {
    if (type >= loadcase::kFirstMultiphysicsAnalysis && type <= loadcase::kLastMultiphysicsAnalysis)
        return kMultiphysicsKeywords[type - loadcase::kFirstMultiphysicsAnalysis];
    return type >= 0 && type < kKeywordCount ? kKeywords[type] : "";
}

bool prefersIterativeSolver(int type) {
    return type < 2 || type == loadcase::kFirstMultiphysicsAnalysis ||
           type == loadcase::kTransientThermalStress;
}

SolveRows solveRows(int type, const std::string& unitText) {
    SolveRows rows;
    rows.labels[0] = "tolerance " + unitText;
    rows.shown = 1;
    rows.defaults[0] = kDefaultTolerance;
    const auto later = laterRows(type);
    for (std::size_t i = 0; i < later.size() && later[i][0] != '\0'; ++i) {
        rows.labels[i + 1] = later[i];
        rows.defaults[i + 1] = defaultFor(type, later[i]);
        rows.shown = static_cast<int>(i) + 2;
    }
    return rows;
}

void applyRowDefaults(const SolveRows& rows, SolveValues& values) {
    if (std::fabs(values[0]) < 1e-30) values[0] = rows.defaults[0];
    for (int row = 1; row < rows.shown; ++row) {
        if (values[row] == 0.0) values[row] = rows.defaults[static_cast<std::size_t>(row)];
    }
}

std::string solveEntryText(int type, const SolveValues& values) {
    std::string text = solveKeyword(type) + std::to_string(type);
    for (double value : values) text += loadcase::format(",%g", value);
    return text;
}

StoredSolve readSolveEntry(std::string_view text) {
    StoredSolve stored;
    const auto colon = text.find(':');
    if (colon != std::string_view::npos) text.remove_prefix(colon + 1);
    const std::string rest(text);
    const char* p = rest.c_str();
    char* end = nullptr;
    const long type = std::strtol(p, &end, 10);
    stored.type = end != p && type >= 0 && type < 100 ? static_cast<int>(type) : 0;
    p = end;
    for (double& value : stored.values) {
        p = std::strchr(p, ',');
        if (p == nullptr) break;
        ++p;
        value = plainNumber(p);
    }
    return stored;
}

}  // namespace mesh_solve
