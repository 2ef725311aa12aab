#pragma once
// The solver input file as the add-on writes it: a header line with the unit text and the
// analysis code, the model and mesh paths, the solve values and step sections, and the lines of
// the tables, materials, sizes, loads, restraints and constraints sections, kept as text with
// their line numbers for the readers of each section.
#include <array>
#include <string>
#include <vector>

#include "formats/solver_input.h"

namespace tarvsolv {

using formats::InputLine;  // the line's number in the file and its text, trimmed

struct SolverInput {
    std::string unitText = "mm";
    double lengthScale = 1;
    int nodesPerElement = 10;
    int analysisCode = 0;
    std::string modelPath;
    std::string meshPath;
    bool hasSolve = false;
    // The solve dialog's rows 2 to 6.
    std::array<double, 5> solve{};
    // Row 1, the iterative solver's tolerance: the SOLVE line's sixth value; 0 when the line has
    // only five (inputs written before it was carried).
    double tolerance = 0;
    bool gstep = false, buckle = false, tstep = false, dynamic = false;
    // The DYNAMIC line: Rayleigh damping C = alpha M + beta K (mass, then stiffness coefficient).
    double massDamping = 0, stiffnessDamping = 0;
    std::vector<InputLine> tables, materials, sizes, loads, restraints, constraints;
    // A multiphysics input's thermal lines (TMATERIALS, TLOADS, TRESTRAINTS), written as a thermal
    // loadcase writes its MATERIALS, LOADS and RESTRAINTS; `thermalSections` says whether the
    // input has a TMATERIALS heading at all.
    std::vector<InputLine> thermalMaterials, thermalLoads, thermalRestraints;
    bool thermalSections = false;
    std::string meshSettings;

    // Row 2 of the solve dialog: the initial temperature, or the number of modes.
    double row2() const { return solve[0]; }
};

// Reads the file; throws std::runtime_error naming the file and line on a header or solve line
// that cannot be read. Unknown sections are passed over.
SolverInput readSolverInput(const std::string& path);
// The same from text already in memory (`name` is used in messages).
SolverInput parseSolverInput(const std::string& text, const std::string& name);

// The solve the input asks for.
enum class SolveKind {
    Static,
    Plastic,
    LargeDisplacement,
    Buckling,
    Modes,
    ForcedVibration,
    SteadyHeat,
    TransientHeat,
    IncompressibleFlow,  // header code 8
    CompressibleFlow,    // 9: not solved by this version
    Multiphysics,        // 10: incompressible flow that carries heat
    // 11 to 14, thermal stress: heat, then the structure at the temperatures found
    ThermalStress,           // 11: steady heat, then statics
    TransientThermalStress,  // 12: transient heat, the quasi-static stress of every printed step
    HeatedBuckling,          // 13: steady heat, then buckling about the heated state
    HeatedModes,             // 14: steady heat, then natural frequencies about the heated state
    FluidFlow                // any higher code: a fluid analysis this version does not know
};
SolveKind solveKind(const SolverInput& input);
const char* solveKindName(SolveKind kind);

}  // namespace tarvsolv
