#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "fem/element_loop.h"
#include "fem/rigid_motion_check.h"
#include "fem/system_assembler.h"
#include "physics/analyses.h"
#include "physics/error_report.h"
#include "physics/heat_assembly.h"
#include "physics/heat_balance.h"
#include "physics/heat_flux.h"
#include "physics/heat_solutions.h"
#include "physics/held_temperatures.h"

namespace tarvsolv {

void assembleConduction(const Job& job, const DofLayout& layout, SystemAssembler& assembler, double time,
                        const std::vector<double>* nodal) {
    std::vector<const Load*> sources;
    for (const Load& load : job.entries.loads)
        if (load.kind == LoadKind::HeatGeneration) sources.push_back(&load);
    std::vector<double> ke, fe, part;
    const double reference = job.initialTemperature();
    forEachAssembledElement(job.mesh, layout, [&](int e) {
        const auto nodes = job.mesh.elementNodes(e);
        double temperature = reference;
        if (nodal)
            temperature =
                0.25 * ((*nodal)[nodes[0]] + (*nodal)[nodes[1]] + (*nodal)[nodes[2]] + (*nodal)[nodes[3]]);
        const Vec3 k = job.materials->forElement(*job.geometry, e)
                           .conductivityAt(elementPoint(job.mesh, e, time, temperature));
        conductivityMatrix(job.mesh, e, k, ke);
        fe.assign(nodes.size(), 0.0);
        for (const Load* source : sources) {
            heatSource(
                job.mesh, e,
                [source, time, reference](const Vec3& x) {
                    return source->values[0](EvalPoint{x, time, reference});
                },
                part);
            for (std::size_t i = 0; i < fe.size(); ++i) fe[i] += part[i];
        }
        assembler.addElement(nodes, ke, &fe);
    });
}

namespace {

// Nodes on faces with a convection coefficient above 0: the temperature level is fixed through them.
std::vector<char> convectingNodes(const Job& job) {
    std::vector<char> convecting(job.mesh.nodeCount(), 0);
    for (const Load& load : job.entries.loads) {
        if (load.kind != LoadKind::Convection || load.where.kind != EntityRef::Kind::Face) continue;
        for (int node : job.geometry->nodesOf(load.where))
            if (load.values[0](EvalPoint{job.mesh.node(node)}) > 0) convecting[node] = 1;
    }
    return convecting;
}

}  // namespace

void assembleBoundary(const Job& job, SystemAssembler& assembler, double time, RunLog* log) {
    std::vector<double> ke, fe;
    const double reference = job.initialTemperature();
    for (const Load& load : job.entries.loads) {
        if (load.kind != LoadKind::HeatFlux && load.kind != LoadKind::Convection) continue;
        if (log)
            log->line(std::string(load.kind == LoadKind::HeatFlux ? "heat flux" : "convection") + " on " +
                      load.where.describe());
        if (load.where.kind == EntityRef::Kind::Point) {
            const int node = job.geometry->nearestNode(load.where.point);
            if (load.kind != LoadKind::HeatFlux)
                throw std::runtime_error("input line " + std::to_string(load.line) +
                                         ": convection needs a face");
            std::vector<double> q{load.values[0](EvalPoint{job.mesh.node(node), time, reference})};
            const int nodes[1] = {node};
            assembler.addLoads(nodes, q);
            continue;
        }
        if (load.where.kind != EntityRef::Kind::Face)
            throw std::runtime_error("input line " + std::to_string(load.line) +
                                     ": heat flux and convection act on faces");
        for (const Facet& facet : job.geometry->facetsOfFace(load.where.first)) {
            const std::vector<int> nodes = job.mesh.faceNodes(facet.element, facet.face);
            const std::size_t n = nodes.size();
            ke.assign(n * n, 0.0);
            fe.assign(n, 0.0);
            for (const BoundaryPoint& p : facePoints(job.mesh, facet)) {
                const EvalPoint at{p.x, time, reference};
                if (load.kind == LoadKind::HeatFlux) {
                    const double q = load.values[0](at);
                    for (std::size_t i = 0; i < n; ++i) fe[i] += p.n[i] * q * p.measure;
                } else {
                    const double h = load.values[0](at), fluid = load.values[1](at);
                    for (std::size_t i = 0; i < n; ++i) {
                        fe[i] += p.n[i] * h * fluid * p.measure;
                        for (std::size_t j = 0; j < n; ++j) ke[i * n + j] += h * p.n[i] * p.n[j] * p.measure;
                    }
                }
            }
            if (load.kind == LoadKind::Convection) {
                assembler.addElement(nodes, ke, &fe);
            } else {
                assembler.addLoads(nodes, fe);
            }
        }
    }
}

void assembleSteadyHeat(const Job& job, const MatrixPattern& pattern, Mat k, Vec f, double time,
                        const std::vector<double>* nodal, RunLog* log) {
    SystemAssembler assembler(pattern, k, f);
    assembleConduction(job, pattern.layout(), assembler, time, nodal);
    if (pattern.layout().onFirstProcess()) assembleBoundary(job, assembler, time, log);
    assembler.holdStrayNodes(job.mesh);
    assembler.finish();
}

void checkThermalEntries(const Job& job, RunLog& log) {
    if (!job.entries.restraints.empty())
        log.warning(
            "fixed directions have no meaning in a thermal loadcase and are passed over (a thermal "
            "loadcase's "
            "reactions hold temperatures)");
    if (!job.entries.constraints.empty() || !job.entries.contacts.empty())
        log.warning("interactions have no meaning in a thermal loadcase and are passed over");
    for (const Load& load : job.entries.loads)
        if (load.where.kind == EntityRef::Kind::Edge || load.where.kind == EntityRef::Kind::EdgeByFaces)
            throw std::runtime_error("input line " + std::to_string(load.line) +
                                     ": thermal loads act on faces, points or the whole body");
}

namespace {

// Solves the conduction into `x` with the conductivities at `previous` (empty: the initial
// temperature); the first pass logs the loads and the solver.
void solveConductionPass(const Job& job, const MatrixPattern& pattern, const std::vector<double>& previous,
                         bool first, Vec x, RunLog& log) {
    const DofLayout& layout = pattern.layout();
    MatHandle k = pattern.createMatrix();
    VecHandle f = layout.createVector();
    assembleSteadyHeat(job, pattern, k, f, 1.0, previous.empty() ? nullptr : &previous,
                       first ? &log : nullptr);
    if (first) log.line("solving");
    const LinearSolveReport report = solveLinear(k, f, x, job.solver, job.tolerance, layout, job.mesh);
    if (first)
        log.line("solved by " + report.method +
                 (report.iterations ? " in " + std::to_string(report.iterations) + " iterations" : ""));
}

// Conductivities that follow temperature make the problem nonlinear: fixed-point (Picard)
// iteration, each pass assembling the conductivities at the last pass's temperatures, until no
// temperature moves by more than 1e-8 of the range (at least 1e-8 degrees).
void solveConduction(const Job& job, const MatrixPattern& pattern, Vec x, RunLog& log) {
    const bool nonlinear = job.materials->conductivityMayVary();
    constexpr int kMaxPasses = 100;
    std::vector<double> previous;
    for (int pass = 1;; ++pass) {
        solveConductionPass(job, pattern, previous, pass == 1, x, log);
        if (!nonlinear) return;
        std::vector<double> current = gatherOnAll(x);
        double change = 0, low = current.empty() ? 0 : current[0], high = low;
        for (std::size_t i = 0; i < current.size(); ++i) {
            if (!previous.empty()) change = std::max(change, std::abs(current[i] - previous[i]));
            low = std::min(low, current[i]);
            high = std::max(high, current[i]);
        }
        previous = std::move(current);
        if (pass > 1) {
            log.line("conductivity pass " + std::to_string(pass) + ": largest change " +
                     std::to_string(change));
            if (change <= 1e-8 * std::max(1.0, high - low)) return;
        }
        if (pass == kMaxPasses)
            throw std::runtime_error("the temperature-dependent conductivities did not settle within " +
                                     std::to_string(kMaxPasses) + " passes (largest change " +
                                     std::to_string(change) + ")");
    }
}

}  // namespace

std::vector<double> steadyTemperatures(const Job& job, RunLog& log) {
    checkThermalEntries(job, log);
    const HeldTemperatures held(job, &log);
    std::vector<char> fixing = convectingNodes(job);
    held.mark(fixing);
    if (!everyPartTouched(job.mesh, fixing))
        throw std::runtime_error(
            "nothing fixes the temperature level: every body needs a face held at a temperature or a "
            "convection face with a heat transfer coefficient above 0");
    DofLayout layout(job.mesh, 1, PETSC_COMM_WORLD);
    held.prescribe(layout, 1.0);
    log.line("assembling " + std::to_string(layout.dofCount()) + " temperatures");
    const MatrixPattern pattern(job.mesh, layout);
    VecHandle x = layout.createVector();
    solveConduction(job, pattern, x, log);
    const std::vector<double> temperatures = gatherOnAll(x);
    std::vector<double> heldHeat;
    if (!held.empty()) heldHeat = steadyNodalHeat(job, temperatures, 1.0, layout.comm());
    if (!layout.onFirstProcess()) return temperatures;
    HeatBalance balance = heatBalance(job, temperatures);
    if (!held.empty()) {
        balance.held = held.flows(heldHeat);
        settle(balance);
    }
    logHeatBalance(balance, log, job.solver == SolverChoice::Direct ? 0.0 : job.tolerance);
    return temperatures;
}

void solveSteadyHeat(const Job& job, RunLog& log, ResultSink& results) {
    std::vector<double> temperatures = steadyTemperatures(job, log);
    int rank = 0;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    if (rank != 0) return;
    StepResult step = withHeat(job, StepResult{}, std::move(temperatures), 1.0);
    addHeatErrorEstimate(job, step.nodeFields.front().values, 1.0, step, log);
    results.step(step);
}

}  // namespace tarvsolv
