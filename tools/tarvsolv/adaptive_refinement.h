#pragma once
// Adaptive refinement: solve, estimate the error, and while the estimate is above the user's target
// and cycles remain, remesh with the sizes the element errors ask for and solve again.
//
// Each cycle writes the size field "<job>.size" (formats/size_field.h) from the element errors and
// runs the mesher beside this program on the same solver input with it; the mesher keeps the user's
// own sizes as bounds and writes the mesh where the input names it. The log has a line a cycle
// ("refinement cycle 2: 84,311 unknowns, error estimate 1.7 %"). The result file, the mesh and
// "<job>.vtu" are the last cycle's; each cycle's VTK grid is kept as "<job>_cycle<n>.vtu" and listed
// in "<job>_cycles.pvd". A mesher or solver failure after the first cycle ends the refinement with
// the last cycle that succeeded: its mesh is put back, its results stay, and the log says why.
#include "io/run_log.h"
#include "physics/job.h"

namespace tarvsolv {

// The most remeshing cycles a run takes, whatever the dialog asks.
inline constexpr int kMostRefinementCycles = 10;

struct RefinementRequest {
    double target = 0;  // the relative error in the energy norm to reach, 0 < target < 1
    int cycles = 0;     // remeshes allowed; 0: no refinement
};

// The request of the solve rows: elasticity, steady heat and thermal stress give the target error
// (%) in row 3 and the cycles in row 4, natural frequencies in rows 4 and 5. A target of 0 or less,
// or no cycles, asks for none; a target of 100 % or more, or cycles above the most, are held with a
// warning.
RefinementRequest refinementRequest(const Job& job, RunLog& log);

// Runs the cycles from `job`, the one read from the input on the user's mesh.
void refineUntilTarget(const Job& job, const RefinementRequest& request, RunLog& log);

}  // namespace tarvsolv
