#pragma once
// The explicit time integration of a gas: PETSc TS with the third-order strong-stability-preserving
// Runge-Kutta scheme (TSSSP, rks3 of 4 stages: a convex combination of forward-Euler steps, so it
// keeps what each such step keeps at its CFL limit). A problem split over processes steps on a
// vector split the same way (each process its own vertices' rows), the state gathered whole to
// every process for each residual and after each substep, so that the time step, the checks and
// the results are the same on all; otherwise on PETSC_COMM_SELF. Each step of the run's step size is divided
// into as many equal substeps as the CFL number needs; after every substep the state must be admissible, or
// the run stops with the last admissible state.
#include <functional>
#include <string>
#include <vector>

#include "io/run_log.h"
#include "physics/gas_problem.h"
#include "physics/time_stepping.h"

namespace tarvsolv {

// The explicit step at CFL number `cfl`: cfl times the SSP coefficient (2) times the forward-Euler
// step, the smallest over the vertices of V / sum over its dual faces of (|u.n| + c |n| + 2 nu |n|^2
// / V), nu the larger of the viscous and thermal diffusivities. At CFL 1 every stage of the first-order
// scheme provably keeps density and pressure positive; on tetrahedral median duals the sum over the
// faces counts every direction many times over, and the second-order scheme was measured to stay
// stable and positive to CFL 6 to 7 (Sod's tube, a three-dimensional blast, short and long runs).
double stableTimeStep(const GasProblem& problem, const std::vector<double>& U, double cfl);

// The first vertex whose state is not admissible, and why ("negative pressure at node 12 (x, y, z)");
// empty when every state is.
std::string inadmissibility(const GasProblem& problem, const std::vector<double>& U);

struct GasTransientOutcome {
    bool diverged = false;
    std::string reason;        // "the flow diverged at step 37 (t = ...): negative pressure at node N (...)"
    int step = 0;              // the step that failed
    double time = 0;           // the time the kept state reached
    bool keptWritten = false;  // whether the kept state is a step already handed to `written`
};

// Steps `U` (conserved, five a vertex) through `plan` at CFL number `cfl`; `written` gets every
// printed step (step number, time, state). On divergence `U` is the last admissible state.
GasTransientOutcome runGasTransient(
    const GasProblem& problem, std::vector<double>& U, const StepPlan& plan, double cfl,
    const std::function<void(int, double, const std::vector<double>&)>& written, RunLog& log);

}  // namespace tarvsolv
