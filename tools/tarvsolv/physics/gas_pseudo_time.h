#pragma once
// Steady flow of a gas by implicit pseudo-time steps to convergence. Each step is one backward
// Euler step with a local step per control volume, dtau_i = CFL V_i / sum over its dual faces of
// (|u.n| + c |n|), linearised on the first-order scheme:
//
//     (V_i / dtau_i I + dR1/dU) dU = -R(U),   U += dU
//
// R the problem's own (second-order) residual, dR1/dU the Jacobian of the first-order Rusanov
// flux (GasJacobianAssembler), solved by GMRES with incomplete LU (PETSc KSP, options prefix
// "-gas_"). The CFL number grows with the residual's fall from step to step (switched evolution
// relaxation): as the residual vanishes the steps tend to Newton's. A step that leaves a density
// or pressure that is not above 0, or not finite, is taken again at half the CFL.
#include <functional>
#include <string>
#include <vector>

#include "io/run_log.h"
#include "io/solver_input.h"
#include "physics/gas_problem.h"

namespace tarvsolv {

struct SteadyGasOptions {
    double tolerance = 1e-6;  // converged at this fall of the residual from its largest
    int iterationLimit = 2000;
    double cfl = 5;                 // at the start
    double largestCfl = 1e4;        // the ramp stops there
    double cflGrowth = 2;           // at most this factor a step
    int halvings = 10;              // of the CFL within one step, before the run gives up
    double linearTolerance = 1e-2;  // of each step's GMRES, relative
    double time = 1;                // boundary values are taken at this time
    // Called once when the residual has fallen `freezeAt` of its largest, or, below `stallBelow` of
    // it, has not reached a new low for `freezeAfterStall` steps: a discretisation with a limiter
    // freezes it there, so that its switching does not stall the convergence (a limit cycle of the
    // limiter at a smooth extremum, such as the fastest point of the flow round a body). Above
    // `stallBelow` the flow is still forming (a shock on its way to its place) and a limiter frozen
    // then would keep the traces of where it was.
    std::function<void()> freezeLimiter;
    double freezeAt = 1e-3;
    double stallBelow = 1e-2;
    int freezeAfterStall = 100;
};

// The options of a steady run from the solve rows: the tolerance (row 1, 0 takes 1e-6), the
// iteration limit (row 2, 0 takes 2000) and the starting CFL number (row 6, 0 takes 5). Throws
// std::runtime_error for a tolerance or CFL number that is negative or not a number, or a limit
// that is not a whole number of steps.
SteadyGasOptions steadyGasOptions(const SolverInput& input);

enum class SteadyGasStatus { Converged, NotConverged, Diverged };

struct SteadyGasOutcome {
    SteadyGasStatus status = SteadyGasStatus::NotConverged;
    int steps = 0;                // taken and kept
    double relativeResidual = 0;  // the last residual over its largest
    double cfl = 0;               // of the last step kept
    int linearIterations = 0;     // summed over the run
    double seconds = 0;           // spent in the run
    std::string reason;           // diverged: what and where ("negative pressure at node 7 (x, y, z)")
    std::string message;          // the outcome as one sentence for the log and the run's error
};

// Moves `U` (five conserved values a vertex) to the steady state of `problem`. On divergence `U` is
// the last state all of whose densities and pressures were above 0 (the start when the first step
// fails); when the iteration limit is reached, the last step's state. Every step goes to `log`
// (at most about 200 lines, and the last), then the outcome.
SteadyGasOutcome solveSteadyGas(const GasProblem& problem, std::vector<double>& U,
                                const SteadyGasOptions& options, RunLog& log);

}  // namespace tarvsolv
