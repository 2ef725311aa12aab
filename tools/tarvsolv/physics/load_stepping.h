#pragma once
// The load stepping and Newton iterations shared by the nonlinear structural analyses
// (plasticity, large displacements, gaps and contact). The load factor rises to its final value
// in equal steps; each step is solved by Newton's method with a backtracking line search on the
// residual, and a step that does not converge is halved and tried again. A run that cannot go on
// stops with PartialResults, after the results of the steps that did converge went to the sink.
//
// The state u holds every unknown of the layout in the layout's basis (nodal frames included),
// with the prescribed unknowns at load factor times their prescribed value.
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fem/system_assembler.h"
#include "io/result_sink.h"
#include "physics/job.h"
#include "physics/partial_results.h"

namespace tarvsolv {

// One nonlinear structural problem: the internal forces and tangent of a state, and what a
// converged step keeps.
class NonlinearSystem {
  public:
    virtual ~NonlinearSystem() = default;
    // Adds the tangent stiffness and minus the internal forces (plus any load that follows the
    // state, such as a follower pressure, at `lambda`) of the state `u` to the assembler, element
    // by element on the elements this process assembles. `global` is `u` with the nodal frames
    // turned back to global axes, which is what element kernels take; the assembler turns the
    // element blocks into the frames. Throws std::runtime_error when the state is not admissible
    // (an element turned inside out); the step is then cut.
    virtual void assemble(const std::vector<double>& u, const std::vector<double>& global, double lambda,
                          SystemAssembler& assembler) = 0;
    // Step `step` converged at `lambda` with state `u` (`global` as above): keep what the next
    // step starts from (plastic strains, contact state) and answer the step's results, whose
    // number and time (the load factor) the load stepping fills in. None: the step writes nothing
    // (on the processes other than the first, or when the steps only lead to the final state).
    virtual std::optional<StepResult> acceptStep(int step, double lambda, const std::vector<double>& u,
                                                 const std::vector<double>& global) = 0;
    // Groups of nodes the tangent couples beyond the elements (contact across bodies), which the
    // matrix pattern must hold; asked again before every step, as contact pairs may change.
    virtual std::vector<std::vector<int>> couplings() const { return {}; }
    // For the reaction table: adds the loads that follow the state (part of what assemble adds,
    // such as a follower pressure) at `lambda`, element by element as assemble does.
    virtual void addFollowerLoads(const std::vector<double>& global, double lambda,
                                  SystemAssembler& assembler) const {}
    // For the reaction table: adds the forces of supports that are no prescribed unknowns (gaps to
    // rigid planes) at every node, in global axes, on every process.
    virtual void addSupportForces(const std::vector<double>& global, std::vector<double>& nodal) const {}
};

struct LoadSteppingOptions {
    std::string analysis;     // names the analysis in messages: "plasticity"
    double finalFactor = 1;   // the load factor of the last step
    int steps = 10;           // equal steps up to the final factor
    int maxHalvings = 6;      // a step may be cut to 1/64 of its size, and grows back after
    int maxIterations = 25;   // Newton iterations per step
    double tolerance = 1e-8;  // residual norm relative to the step's reference force
    // false: the tangent is unsymmetric (a follower load) and is factorised by LU
    bool symmetricTangent = true;
    // false: full Newton steps (an active set, as of contact, settles faster by whole steps than by
    // cut ones)
    bool lineSearch = true;
    // Assembles the loads of `external` at load factor 1 on another layout: after the last step the
    // log shows the reactions against them. Empty: no reaction table.
    std::function<void(const DofLayout&, Vec)> loads;
    // The reaction moments take their arms on the deformed shape (large displacements).
    bool deformedArms = false;
};

// Solves `system` under the layout's prescribed values and the loads `external` (at load factor
// 1, in the layout's basis) scaled by the load factor. The convergence test of a step compares
// the residual of the free unknowns with the larger of the step's external load and its first
// residual (which carries the prescribed displacements' increment). Logs one line per step (load
// factor, Newton iterations, residual) and hands the results of every step to `results`; throws
// PartialResults naming the step that failed.
void solveInLoadSteps(const Job& job, const DofLayout& layout, Vec external, NonlinearSystem& system,
                      const LoadSteppingOptions& options, RunLog& log, ResultSink& results);

}  // namespace tarvsolv
