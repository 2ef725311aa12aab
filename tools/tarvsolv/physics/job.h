#pragma once
// One solver run: the input, the mesh and what the model's entries mean on it.
#include <memory>
#include <string>

#include "io/result_file.h"
#include "io/run_log.h"
#include "io/solver_input.h"
#include "linalg/linear_solvers.h"
#include "physics/materials.h"
#include "physics/model_entries.h"
#include "physics/model_geometry.h"
#include "physics/unit_system.h"

namespace tarvsolv {

struct Job {
    std::string inputPath;
    std::string resultPath;  // input stem + ".out"
    SolverInput input;
    SolveKind kind = SolveKind::Static;
    UnitSystem units;
    FeMesh mesh;
    ResultPreamble preamble;
    ModelEntries entries;
    std::unique_ptr<ModelGeometry> geometry;
    std::unique_ptr<MaterialSet> materials;
    SolverChoice solver = SolverChoice::Iterative;
    // The relative residual at which the iterative solver stops: the solve dialog's tolerance,
    // raised to kToleranceFloor; kIterativeTolerance when the input gives none.
    double tolerance = kIterativeTolerance;

    // A thermal stress's thermal model: the T sections' entries and materials on a copy of the
    // mesh, read as a thermal loadcase's, with the heat analysis the thermal stress starts with as
    // its kind. Null for every other analysis; the job itself then holds the whole model, and in a
    // thermal stress its mechanical part.
    std::unique_ptr<Job> heat;

    bool thermal() const { return kind == SolveKind::SteadyHeat || kind == SolveKind::TransientHeat; }
    // A flow; multiphysics (code 10) is the flow that carries heat.
    bool fluid() const { return kind == SolveKind::IncompressibleFlow || kind == SolveKind::Multiphysics; }
    // A compressible flow reads its loads and restraints as the other flows do.
    Physics physics() const {
        return thermal()                                        ? Physics::Thermal
               : fluid() || kind == SolveKind::CompressibleFlow ? Physics::Fluid
                                                                : Physics::Mechanical;
    }
    // Whether the run's results are modes (their shapes numbered, their values on the NATU line).
    bool modal() const {
        return kind == SolveKind::Modes || kind == SolveKind::Buckling || kind == SolveKind::HeatedModes ||
               kind == SolveKind::HeatedBuckling;
    }
    // The reference (initial, stress-free) temperature: the solve dialog's row 2 for statics and
    // heat; modes and buckling, whose row 2 is the number of modes, take it from row 3 (0 in inputs
    // written before that row existed). The heat part of a heated modes or buckling run takes the
    // row of the run it belongs to.
    double initialTemperature() const {
        // A flow that carries heat: solve row 6, the one its flow rows leave free.
        if (kind == SolveKind::Multiphysics) return input.solve[4];
        const bool modesRows = modal() || input.analysisCode == 13 || input.analysisCode == 14;
        return modesRows ? input.solve[1] : input.row2();
    }
};

// The job's path stem (the input path without its extension).
std::string pathStem(const std::string& path);

// The solve dialog's tolerance `given` as the iterative solver takes it: 0 (none given) takes
// kIterativeTolerance, a value below kToleranceFloor the floor (with a warning). Throws
// std::runtime_error for a value below 0 or not below 1.
double iterativeTolerance(double given, RunLog& log);

// Reads everything a run needs and checks it: the input, the entries, the mesh, the materials of
// every body. Throws std::runtime_error with the user's message when something is missing.
// Where the preamble of the new result file is read: the head the add-on started beside the
// result file for this solve, else (a run started by hand) the result file itself.
std::string preamblePathFor(const std::string& resultPath);

Job loadJob(const std::string& inputPath, SolverChoice solver, RunLog& log);

}  // namespace tarvsolv
