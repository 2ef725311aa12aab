// Compressible flow of an ideal gas (header code 9): the Euler or Navier-Stokes equations in
// conservative form, vertex-centred finite volumes on the median dual of the corner nodes (results
// live at the mesh's nodes and boundaries are the host faces, as the other analyses have them).
// Transient runs step explicitly (gas_transient); steady runs take implicit pseudo-time steps.
// Results per printed step: VELO, PRES, TEMP (typed degrees), DENS (typed density unit), MACH and
// VORT at every node, mid-side nodes the mean of their edge's corners.
#include <petscsys.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "fem/dual_mesh.h"
#include "physics/analyses.h"
#include "physics/flow_report.h"
#include "physics/gas_discretisation.h"
#include "physics/gas_pseudo_time.h"
#include "physics/gas_report.h"
#include "physics/gas_transient.h"
#include "physics/partial_results.h"
#include "physics/time_stepping.h"

namespace tarvsolv {
namespace {

constexpr const char* kAnalysis = "compressible flow";
// Solve row 6 of 0: about half the CFL number at which the explicit steps were measured to become
// unstable (6 to 7, see stableTimeStep).
constexpr double kTransientCfl = 3;

// The mid-side nodes of the local edges of a quadratic tetrahedron and the corners they join.
constexpr int kMidSide[6][3] = {{4, 0, 1}, {5, 1, 2}, {6, 0, 2}, {7, 0, 3}, {8, 1, 3}, {9, 2, 3}};

// `width` values per vertex spread to every mesh node; mid-side nodes the mean of their corners.
std::vector<double> atNodes(const FeMesh& mesh, const DualMesh& dual, const std::vector<double>& perVertex,
                            int width) {
    std::vector<double> out(static_cast<std::size_t>(mesh.nodeCount()) * width, 0.0);
    for (int v = 0; v < dual.vertexCount(); ++v)
        for (int k = 0; k < width; ++k)
            out[static_cast<std::size_t>(dual.meshNode[v]) * width + k] =
                perVertex[static_cast<std::size_t>(v) * width + k];
    if (mesh.nodesPerElement != 10) return out;
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        for (const auto& m : kMidSide)
            for (int k = 0; k < width; ++k)
                out[static_cast<std::size_t>(nodes[m[0]]) * width + k] =
                    0.5 * (out[static_cast<std::size_t>(nodes[m[1]]) * width + k] +
                           out[static_cast<std::size_t>(nodes[m[2]]) * width + k]);
    }
    return out;
}

// The end of each process's range of vertices: the pieces the mesh was numbered by (METIS's), or
// an even split of the file's order when it could not be split.
std::vector<int> rangeEnds(const DualMesh& dual, int size) {
    if (dual.pieceStarts.size() == static_cast<std::size_t>(size) + 1)
        return {dual.pieceStarts.begin() + 1, dual.pieceStarts.end()};
    const int n = dual.vertexCount();
    std::vector<int> end(static_cast<std::size_t>(size));
    for (int r = 0, at = 0; r < size; ++r) end[r] = at += n / size + (r < n % size ? 1 : 0);
    return end;
}

// Each process computes the residual rows of its range (and, steady, its Jacobian rows and part of
// each linear solve); the state is kept whole on every process and the first writes.
std::string gasWorkSplit(const DualMesh& dual, int size, bool steady) {
    const std::vector<int> end = rangeEnds(dual, size);
    const auto owner = [&](int v) { return std::upper_bound(end.begin(), end.end(), v) - end.begin(); };
    std::size_t across = 0;
    for (const DualEdge& e : dual.edges) across += owner(e.a) != owner(e.b) ? 1 : 0;
    std::string shares;
    for (int r = 0; r < size; ++r) shares += (r ? " + " : "") + std::to_string(end[r] - (r ? end[r - 1] : 0));
    const double percent = dual.edges.empty() ? 0.0 : 100.0 * static_cast<double>(across) / dual.edges.size();
    char share[32];
    std::snprintf(share, sizeof share, "%.1f", percent);
    return "work split over " + std::to_string(size) + " processes: " +
           (steady ? "the pseudo-time steps' residual, Jacobian and linear solves"
                   : "the explicit steps' residual and TS vectors") +
           " by control volumes " + shares + " (dual faces across processes " + share +
           " %, computed on both sides); the state is gathered to every process each " +
           (steady ? "step" : "stage") + " and the first writes";
}

StepResult results(const Job& job, const GasDiscretisation& problem, const std::vector<double>& U) {
    const DualMesh& dual = problem.dual();
    const IdealGas& gas = problem.gas();
    const std::vector<GasPrimitive> w = problem.primitives(U);
    const std::size_t n = w.size();
    std::vector<double> u(3 * n), p(n), T(n), rho(n), mach(n);
    for (std::size_t i = 0; i < n; ++i) {
        u[3 * i] = w[i].u.x, u[3 * i + 1] = w[i].u.y, u[3 * i + 2] = w[i].u.z;
        p[i] = w[i].p;
        T[i] = gas.temperature(w[i]) - problem.setup().absoluteZero;
        rho[i] = w[i].rho / problem.setup().massScale;
        mach[i] = gas.mach(w[i]);
    }
    StepResult step;
    std::vector<double> velocity = atNodes(job.mesh, dual, u, 3);
    step.add(NodeQuantity::Velocity, velocity);
    step.add(NodeQuantity::Pressure, atNodes(job.mesh, dual, p, 1));
    step.add(NodeQuantity::Temperature, atNodes(job.mesh, dual, T, 1));
    step.add(NodeQuantity::Density, atNodes(job.mesh, dual, rho, 1));
    step.add(NodeQuantity::MachNumber, atNodes(job.mesh, dual, mach, 1));
    step.add(NodeQuantity::Vorticity, nodalVorticity(job.mesh, velocity));
    return step;
}

// Every process holds the whole state; the first hands the step on, as the analyses that gather
// their results on it do (a sink that every process writes to would take the others' copies too).
void handOn(const StepResult& step, ResultSink& sink) {
    int rank = 0;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    if (rank == 0) sink.step(step);
}

std::vector<double> initialState(const GasDiscretisation& problem) {
    const DualMesh& dual = problem.dual();
    std::vector<double> U(static_cast<std::size_t>(dual.vertexCount()) * kGasFields);
    for (int i = 0; i < dual.vertexCount(); ++i) {
        GasPrimitive w = problem.setup().initialState(dual.position[i]);
        if (problem.heldVelocity()[i]) w.u = {};
        const GasConserved q = problem.gas().conserved(w);
        std::copy(q.begin(), q.end(), U.begin() + static_cast<std::ptrdiff_t>(i) * kGasFields);
    }
    const std::string why = inadmissibility(problem, U);
    if (!why.empty())
        throw std::runtime_error(std::string(kAnalysis) + ": the initial state has " + why +
                                 " (an absolute pressure and a temperature above absolute zero are needed)");
    return U;
}

void logReport(const Job& job, const GasDiscretisation& problem, const std::vector<double>& U, double t,
               RunLog& log) {
    for (const std::string& line : gasReportTable(gasFaceReport(problem, U, t), job.units)) log.line(line);
}

// Steady flow by implicit pseudo-time steps, the limiter frozen once the residual has fallen far
// enough; the state reached is step 1 whether it converged or not, and a run that did not exits 1.
void solveSteady(const Job& job, GasDiscretisation& problem, std::vector<double>& U, RunLog& log,
                 ResultSink& sink) {
    SteadyGasOptions options = steadyGasOptions(job.input);
    options.freezeLimiter = [&problem] { problem.freezeLimiter(true); };
    problem.limitNearShocksOnly();
    problem.alignWallStates();
    const SteadyGasOutcome out = solveSteadyGas(problem, U, options, log);
    problem.computeRowsOf(0, problem.dual().vertexCount());  // the wall report takes every vertex
    StepResult step = results(job, problem, U);
    step.number = 1;
    step.time = options.time;
    handOn(step, sink);
    if (out.status != SteadyGasStatus::Converged)
        throw PartialResults(std::string(kAnalysis) + ": " + out.message +
                             "; the result file holds the state it reached as step 1");
    logReport(job, problem, U, options.time, log);
}

}  // namespace

void solveCompressibleFlow(const Job& job, RunLog& log, ResultSink& sink) {
    const GasSetup setup = readGasSetup(job, log);
    const DualMesh dual = buildDualMesh(job.mesh);
    int size = 1;
    MPI_Comm_size(PETSC_COMM_WORLD, &size);
    log.line(std::string(kAnalysis) + ": " + std::to_string(dual.vertexCount()) + " control volumes (" +
             std::to_string(kGasFields * dual.vertexCount()) + " unknowns), " +
             std::to_string(dual.edgeCount()) + " dual faces, " + std::to_string(dual.boundary.size()) +
             " boundary pieces; HLLC fluxes, MUSCL with Venkatakrishnan's limiter");
    if (size > 1) log.line(gasWorkSplit(dual, size, job.input.solve[1] == 0));
    GasDiscretisation problem(dual, setup);
    if (size > 1) {
        int rank = 0;
        MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
        const std::vector<int> end = rangeEnds(dual, size);
        problem.computeRowsOf(rank ? end[rank - 1] : 0, end[rank]);
    }
    std::vector<double> U = initialState(problem);
    if (job.input.solve[1] == 0) return solveSteady(job, problem, U, log, sink);
    const StepPlan plan = stepPlan(job.input, kAnalysis);
    const double cfl = job.input.solve[4] > 0 ? job.input.solve[4] : kTransientCfl;
    const auto write = [&](int number, double time, const std::vector<double>& state) {
        StepResult step = results(job, problem, state);
        step.number = number;
        step.time = time;
        handOn(step, sink);
    };
    const GasTransientOutcome out = runGasTransient(problem, U, plan, cfl, write, log);
    problem.computeRowsOf(0, dual.vertexCount());  // the wall report takes every vertex
    if (out.diverged) {
        if (!out.keptWritten) write(out.step, out.time, U);
        throw PartialResults(std::string(kAnalysis) + ": " + out.reason +
                             "; the result file holds the last admissible state (t = " + number(out.time) +
                             " s) as its last step, step " +
                             std::to_string(out.keptWritten ? out.step - 1 : out.step));
    }
    logReport(job, problem, U, plan.steps * plan.size, log);
}

}  // namespace tarvsolv
