#pragma once
// What the solve dialog offers and stores: the analysis types of each physics, the parameter rows
// each type asks for, the defaults of those rows, and the solve entry kept in the loadcase
// ("ELASTIC:0,1e-06,0,0,0,0,0,0").
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "loadcase/solver_input_writer.h"

namespace mesh_solve {

inline constexpr int kSolveRowCount = 7;
using SolveValues = loadcase::SolveValues;

// The list entries for a physics (0 mechanical, 6 thermal, 8 fluid flow, 10 multiphysics), from
// index 0.
std::vector<std::string> analysisTypeNames(int physics);

// The analysis type a list index stands for while the user browses the list: thermal lists give
// 6 and 7, fluid lists 8 to 10, the multiphysics list 11 to 14; the mechanical list gives 1 to 5
// for indexes 1 to 5 and 0 otherwise.
int analysisTypeForIndex(int physics, int index);

// The solve entry's keyword of analysis types 0 to 7 and 11 to 14 ("ELASTIC:", "THERMSTRESS:");
// "" for any other.
const char* solveKeyword(int type);

// Whether the iterative solver suits analysis type `type` (elasticity, plasticity and the steady
// and transient thermal stress); the direct one suits the rest.
bool prefersIterativeSolver(int type);

struct SolveRows {
    std::array<std::string, kSolveRowCount> labels;  // blank for rows not shown
    int shown = 2;                                   // rows 1 to `shown` are shown
    // What a shown row holding 0 is given: the value the solver takes for 0 (0: none).
    std::array<double, kSolveRowCount> defaults{};
};

// The rows of an analysis type; row 1 is "tolerance " with the length-unit text. Elasticity, steady
// heat and thermal stress ask in rows 3 and 4, natural frequencies in rows 4 and 5, for a target
// error (%) and the most refinement cycles the solver may take to reach it (0: no refinement). Incompressible
// flow (8) has an iteration limit, a number of steps (0: steady), a step size and a print
// interval, multiphysics (10) those and the initial temperature, compressible flow (9) those and
// the CFL number.
SolveRows solveRows(int type, const std::string& unitText);

// Gives the shown rows that hold 0 their default: a tolerance of 1e-06, 1 mode, 100 iterations,
// 10 load steps, a load factor of 1, 1 step; for incompressible flow 25 Newton iterations and no
// step (steady flow), for multiphysics too; for compressible flow 2000 pseudo-time steps, no step
// (steady flow) and the solver's own CFL number (0).
void applyRowDefaults(const SolveRows& rows, SolveValues& values);

// The keyword, the type number and the seven values each as ",%g".
std::string solveEntryText(int type, const SolveValues& values);

struct StoredSolve {
    int type = 0;
    SolveValues values{};
};
// Reads a solve entry back: the type number after the colon, then up to seven comma-separated
// values (missing ones are 0). Text that is not a number reads as 0.
StoredSolve readSolveEntry(std::string_view text);

}  // namespace mesh_solve
