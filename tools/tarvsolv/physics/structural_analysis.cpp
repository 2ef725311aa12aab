#include <cmath>
#include <memory>
#include <numbers>
#include <numeric>
#include <optional>
#include <span>
#include <sstream>
#include <stdexcept>

#include "base/log_stage.h"
#include "fem/model_share.h"
#include "fem/node_pieces.h"
#include "fem/system_assembler.h"
#include "physics/analyses.h"
#include "physics/buckling_analysis.h"
#include "physics/elastic_assembly.h"
#include "physics/error_report.h"
#include "physics/reactions.h"
#include "physics/structural_setup.h"
#include "physics/structural_statics.h"
#include "physics/time_stepping.h"

namespace tarvsolv {

std::function<Vec3(const Vec3&)> accelerationField(const Job& job, double time) {
    std::vector<const Load*> loads;
    for (const Load& load : job.entries.loads)
        if (load.kind == LoadKind::Acceleration || load.kind == LoadKind::Spin) loads.push_back(&load);
    if (loads.empty()) return {};
    const UnitSystem units = job.units;
    return [loads, units, time](const Vec3& x) {
        Vec3 a;
        for (const Load* load : loads) {
            const EvalPoint at{x, time};
            if (load->kind == LoadKind::Acceleration) {
                for (int k = 0; k < 3; ++k) a[k] += units.accelerationScale * load->values[k](at);
            } else {
                const double w = load->values[0](at);
                const Vec3 r = x - load->axisPoint;
                const Vec3 radial = r - dot(r, load->axisDirection) * load->axisDirection;
                a = a + (w * w) * radial;
            }
        }
        return units.massScale * a;
    };
}

TemperatureField temperatureField(const Job& job, RunLog& log) {
    TemperatureField field;
    field.reference = job.initialTemperature();
    for (const Load& load : job.entries.loads)
        if (load.kind == LoadKind::Temperatures) {
            log.line("reading temperatures from " + load.path);
            TemperatureBlock block = readTemperatures(load.path, job.mesh.nodeCount());
            log.line("temperatures: TEMP " + std::to_string(block.step) + ", the last of the file's " +
                     std::to_string(block.blockCount) + " temperature block(s), against a stress-free " +
                     "temperature of " + number(field.reference));
            field.nodal = inMeshOrder(job.mesh, block.values, 1);  // the file lists them in its own order
        }
    return field;
}

TemperatureField heatedField(const Job& job, const std::vector<double>& temperatures, RunLog& log) {
    TemperatureField field{temperatures, job.initialTemperature()};
    log.line("temperatures: those solved above, against a stress-free temperature of " +
             number(field.reference));
    return field;
}

ElasticMaterial elementMaterial(const Job& job, const TemperatureField& temperatures, int e) {
    return job.materials->forElement(*job.geometry, e)
        .elasticAt(elementPoint(job.mesh, e, 1.0, temperatures.atElement(job.mesh, e)));
}

void addElementLoads(const Job& job, int e, const ElasticMaterial& m,
                     const std::function<Vec3(const Vec3&)>& acceleration,
                     const TemperatureField& temperatures, bool thermal, std::vector<double>& fe) {
    std::vector<double> part;
    if (acceleration) {
        const double rho = m.density;
        bodyForce(
            job.mesh, e, [&](const Vec3& x) { return rho * acceleration(x); }, part);
        for (std::size_t i = 0; i < fe.size(); ++i) fe[i] += part[i];
    }
    if (thermal && !temperatures.nodal.empty()) {
        thermalLoad(job.mesh, e, m, temperatures.changes(job.mesh, e), part);
        for (std::size_t i = 0; i < fe.size(); ++i) fe[i] += part[i];
    }
}

void assembleBodyLoads(const Job& job, const DofLayout& layout, const TemperatureField& temperatures,
                       bool thermal, Vec f, double time) {
    ElasticTargets targets;
    targets.acceleration = accelerationField(job, time);
    targets.thermal = thermal && !temperatures.nodal.empty();
    if (!targets.acceleration && !targets.thermal) return;
    SystemAssembler assembler(layout, f);
    targets.loads = &assembler;
    assembleElastic(job, layout, temperatures, targets);
    assembler.finish();
}

void assembleStiffness(const Job& job, const MatrixPattern& pattern, const TemperatureField& temperatures,
                       Mat k, const std::function<void(SystemAssembler&)>& extra) {
    SystemAssembler assembler(pattern, k, nullptr);
    ElasticTargets targets;
    targets.stiffness = &assembler;
    assembleElastic(job, pattern.layout(), temperatures, targets);
    if (extra) extra(assembler);
    assembler.holdStrayNodes(job.mesh);
    assembler.finish();
}

namespace {

void addFaceLoad(const Job& job, const Load& load, SystemAssembler& assembler, double time) {
    std::vector<double> fe;
    for (const Facet& facet : job.geometry->facetsOfFace(load.where.first)) {
        const std::vector<int> nodes = job.mesh.faceNodes(facet.element, facet.face);
        fe.assign(3 * nodes.size(), 0.0);
        for (const BoundaryPoint& p : facePoints(job.mesh, facet)) {
            const EvalPoint at{p.x, time};
            Vec3 t;
            if (load.kind == LoadKind::Pressure)
                t = (-load.values[0](at)) * p.normal;
            else
                t = {load.values[0](at), load.values[1](at), load.values[2](at)};
            for (std::size_t i = 0; i < nodes.size(); ++i)
                for (int a = 0; a < 3; ++a) fe[3 * i + a] += p.n[i] * t[a] * p.measure;
        }
        assembler.addLoads(nodes, fe);
    }
}

void addEdgeLoad(const Job& job, const Load& load, SystemAssembler& assembler, double time) {
    if (load.kind == LoadKind::Pressure)
        throw std::runtime_error("input line " + std::to_string(load.line) +
                                 ": a pressure on an edge has no direction; use a distributed load");
    std::vector<double> fe;
    for (const auto& s : job.geometry->edgeSegments(load.where)) {
        std::vector<int> nodes{s[0], s[1]};
        if (s[2] >= 0) nodes.push_back(s[2]);
        fe.assign(3 * nodes.size(), 0.0);
        for (const BoundaryPoint& p : edgePoints(job.mesh, s[0], s[1], s[2])) {
            const EvalPoint at{p.x, time};
            for (std::size_t i = 0; i < nodes.size(); ++i)
                for (int a = 0; a < 3; ++a) fe[3 * i + a] += p.n[i] * load.values[a](at) * p.measure;
        }
        assembler.addLoads(nodes, fe);
    }
}

}  // namespace

void assembleBoundaryLoads(const Job& job, const DofLayout& layout, Vec f, RunLog& log, double time,
                           bool pressures) {
    SystemAssembler assembler(layout, f);
    if (layout.onFirstProcess()) {
        for (const Load& load : job.entries.loads) {
            if (load.kind != LoadKind::Traction && load.kind != LoadKind::Pressure &&
                load.kind != LoadKind::Force)
                continue;
            if (load.kind == LoadKind::Pressure && !pressures) continue;
            if (load.where.kind == EntityRef::Kind::Face)
                addFaceLoad(job, load, assembler, time);
            else if (load.where.kind == EntityRef::Kind::Edge ||
                     load.where.kind == EntityRef::Kind::EdgeByFaces)
                addEdgeLoad(job, load, assembler, time);
            else {
                const int node = job.geometry->nearestNode(load.where.point);
                const EvalPoint at{job.mesh.node(node), time};
                std::vector<double> fe{load.values[0](at), load.values[1](at), load.values[2](at)};
                const int nodes[1] = {node};
                assembler.addLoads(nodes, fe);
            }
            log.line(std::string(load.kind == LoadKind::Pressure ? "pressure"
                                 : load.kind == LoadKind::Force  ? "force"
                                                                 : "distributed load") +
                     " on " + load.where.describe());
        }
    }
    assembler.finish();
}

namespace {

// The corner stresses of `elements`, four per element, in their order.
std::vector<Stress6> stressesOf(const Job& job, const TemperatureField& temperatures,
                                const std::vector<double>& u, std::span<const int> elements) {
    std::vector<Stress6> stresses;
    stresses.reserve(4 * elements.size());
    std::vector<double> ue;
    for (const int e : elements) {
        elementValues(job.mesh, e, u, 3, ue);
        const auto corners = cornerStresses(job.mesh, e, elementMaterial(job, temperatures, e), ue,
                                            temperatures.changes(job.mesh, e));
        stresses.insert(stresses.end(), corners.begin(), corners.end());
    }
    return stresses;
}

// The corners' 1-based node numbers of `elements`, four per element.
std::vector<std::int32_t> cornerNodes(const FeMesh& mesh, std::span<const int> elements) {
    std::vector<std::int32_t> nodes;
    nodes.reserve(4 * elements.size());
    for (const int e : elements)
        for (int c = 0; c < 4; ++c) nodes.push_back(mesh.elementNodes(e)[c] + 1);
    return nodes;
}

std::vector<int> allElements(const FeMesh& mesh) {
    std::vector<int> elements(static_cast<std::size_t>(mesh.elementCount()));
    std::iota(elements.begin(), elements.end(), 0);
    return elements;
}

}  // namespace

CornerResults elementStresses(const Job& job, const TemperatureField& temperatures,
                              const std::vector<double>& u) {
    return elementStresses(job, temperatures, u, allElements(job.mesh));
}

CornerResults elementStresses(const Job& job, const TemperatureField& temperatures,
                              const std::vector<double>& u, std::span<const int> elements) {
    return {cornerNodes(job.mesh, elements), stressesOf(job, temperatures, u, elements)};
}

CornerResults elementStressesOnFirst(const Job& job, const TemperatureField& temperatures,
                                     const std::vector<double>& u, MPI_Comm comm) {
    const ElementSplit split(job.mesh, comm);
    const std::vector<Stress6> mine = stressesOf(job, temperatures, u, split.elements());
    // Six values per corner, four corners per element.
    static_assert(sizeof(Stress6) == 6 * sizeof(double));
    const std::vector<double> all =
        split.gatheredOnFirst({reinterpret_cast<const double*>(mine.data()), 6 * mine.size()}, 4 * 6);
    CornerResults corners;
    if (all.empty()) return corners;
    corners.stresses.resize(all.size() / 6);
    std::copy(all.begin(), all.end(), reinterpret_cast<double*>(corners.stresses.data()));
    corners.nodes = cornerNodes(job.mesh, allElements(job.mesh));
    return corners;
}

namespace {

std::string formatSolveLine(const LinearSolveReport& r) {
    std::ostringstream out;
    out << "solved by " << r.method;
    if (r.iterations > 0) out << " in " << r.iterations << " iterations";
    return out.str();
}

}  // namespace

void assembleStaticSystem(const Job& job, const MatrixPattern& pattern, const TemperatureField& temperatures,
                          Mat k, Vec f, RunLog& log) {
    SystemAssembler assembler(pattern, k, f);
    ElasticTargets targets;
    targets.stiffness = &assembler;
    targets.acceleration = accelerationField(job);
    targets.thermal = true;
    assembleElastic(job, pattern.layout(), temperatures, targets);
    assembler.holdStrayNodes(job.mesh);
    assembler.finish();
    assembleBoundaryLoads(job, pattern.layout(), f, log);
}

void solveStatics(const Job& job, RunLog& log, ResultSink& results, const std::vector<double>* temperatures,
                  ResultShares shares) {
    if (!job.entries.contacts.empty()) return solveContactStatics(job, log, results, temperatures);
    StructuralOptions options;
    options.temperatures = temperatures;
    StructuralSetup setup(job, log, options);
    const DofLayout& layout = setup.layout();
    log.line("assembling " + std::to_string(layout.dofCount()) + " unknowns (" +
             std::to_string(layout.prescribedCount()) + " prescribed)");
    MatHandle k;
    VecHandle f = layout.createVector();
    VecHandle x = layout.createVector();
    {
        LogStage stage("assemble");
        k = setup.pattern().createMatrix();
        assembleStaticSystem(job, setup.pattern(), setup.temperatures(), k, f, log);
    }
    // The solve's preconditioner set-up is the peak of the run; the pattern is not needed there.
    setup.releasePattern();
    log.line("solving");
    const LinearSolveReport report = solveLinear(k, f, x, job.solver, job.tolerance, layout, job.mesh);
    log.line(formatSolveLine(report));
    // The stiffness is the largest thing held; the stresses, the estimate and the result fields
    // that follow take its memory instead of adding to the peak.
    k.reset();
    f.reset();
    std::vector<double> u = gatherOnAll(x);
    x.reset();
    layout.toGlobal(u);
    {
        LogStage stage("reactions");
        logReactions(computeReactions(job, layout, setup.temperatures(), u), log);
    }
    log.line("computing stresses");
    LogStage stage("stresses");
    // Shared, every process hands on the stresses of the elements it evaluated and the nodes it
    // owns, which it cuts from the displacements and the estimate every process holds.
    const bool each = shares == ResultShares::Each;
    auto share = std::make_shared<const ModelShare>(modelShare(job.mesh, layout.comm()));
    CornerResults corners = each ? elementStresses(job, setup.temperatures(), u, share->elements)
                                 : elementStressesOnFirst(job, setup.temperatures(), u, layout.comm());
    const std::optional<ErrorEstimate> estimate =
        sharedStressErrorEstimate(job, setup.temperatures(), u, log, layout.comm());
    if (!each) {
        if (!layout.onFirstProcess()) return;
        StepResult step = displacementResult(1, 0, std::move(u), std::move(corners));
        if (estimate) addErrorEstimate(job.mesh, *estimate, step, log);
        return results.step(step);
    }
    StepResult step = displacementResult(1, 0, shareOfNodes(job.mesh, u, 3, *share), std::move(corners));
    if (estimate) addErrorEstimate(job.mesh, *estimate, *share, step, log);
    step.share = std::move(share);
    results.step(step);
}

StepResult displacementResult(int number, double time, std::vector<double> u, CornerResults corners) {
    StepResult step;
    step.number = number;
    step.time = time;
    step.add(NodeQuantity::Displacement, std::move(u));
    step.corners.nodes = std::move(corners.nodes);
    step.corners.stresses = std::move(corners.stresses);
    return step;
}

void handModeShapes(const DofLayout& layout, std::vector<std::vector<double>>& shapes, ResultSink& results,
                    const std::function<void(StepResult&)>& annotate) {
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        std::vector<double>& shape = shapes[i];
        layout.toGlobal(shape);
        double largest = 0;
        for (double c : shape) largest = std::abs(c) > std::abs(largest) ? c : largest;
        if (largest != 0)
            for (double& c : shape) c /= largest;
        StepResult mode;
        mode.number = static_cast<int>(i + 1);
        mode.add(NodeQuantity::ModeShape, std::move(shape));
        if (annotate) annotate(mode);
        results.step(mode);
    }
}

namespace {

struct StiffnessAndMass {
    MatHandle k, m;
    ElasticScales scales;
};

// The stiffness (with the held contact's springs) and the consistent mass, in one pass.
StiffnessAndMass assembleStiffnessAndMass(const Job& job, StructuralSetup& setup) {
    const MatrixPattern& pattern = setup.pattern();
    StiffnessAndMass out{pattern.createMatrix(), pattern.createMatrix(false), {}};
    SystemAssembler stiffness(pattern, out.k, nullptr), mass(pattern, out.m, nullptr, false);
    ElasticTargets targets;
    targets.stiffness = &stiffness;
    targets.mass = &mass;
    targets.noDensity = "natural frequencies need a density above 0 in every material";
    out.scales = assembleElastic(job, setup.layout(), setup.temperatures(), targets);
    if (const HeldContact* held = setup.heldContact()) held->addSprings(setup.layout(), stiffness);
    stiffness.holdStrayNodes(job.mesh);
    stiffness.finish();
    mass.finish();
    return out;
}

// A model free to move has zero frequencies: the shift lies below zero so that the shifted
// stiffness stays positive definite.
double modeShift(const StructuralSetup& setup, const ElasticScales& scales, RunLog& log) {
    if (!setup.freeMotion()) return 0;
    double local[2] = {scales.stiffness, scales.mass}, global[2];
    MPI_Allreduce(local, global, 2, MPI_DOUBLE, MPI_MAX, setup.layout().comm());
    log.warning("the model is not fully restrained: its rigid-body modes appear with frequency 0");
    return -1e-6 * global[0] / global[1];
}

void handFrequencies(const DofLayout& layout, ModesReport& modes, RunLog& log, ResultSink& results,
                     const std::function<void(StepResult&)>& annotate) {
    std::vector<double> frequencies;
    for (std::size_t i = 0; i < modes.eigenvalues.size(); ++i) {
        const double lambda = std::max(0.0, modes.eigenvalues[i]);
        frequencies.push_back(std::sqrt(lambda) / (2 * std::numbers::pi));
        std::ostringstream text;
        text << "mode " << i + 1 << ": " << frequencies.back() << " Hz";
        log.line(text.str());
    }
    results.modeValues(frequencies);
    modes.vectors.resize(frequencies.size());
    handModeShapes(layout, modes.vectors, results, annotate);
}

}  // namespace

void solveNaturalFrequencies(const Job& job, RunLog& log, ResultSink& results,
                             const std::vector<double>* temperatures) {
    const int count = std::max(1, static_cast<int>(job.input.row2()));
    // The stiffness and the density are those of the loaded temperatures, else of the initial
    // temperature; a held contact state takes the prescribed values, the modes hold them at 0.
    StructuralOptions options;
    options.values = StructuralOptions::Values::Zero;
    options.contact = StructuralOptions::Contact::Held;
    options.allowFreeMotion = true;
    options.temperatures = temperatures;
    StructuralSetup setup(job, log, options);
    const DofLayout& layout = setup.layout();
    log.line("assembling stiffness and mass, " + std::to_string(layout.dofCount()) + " unknowns");
    StiffnessAndMass system = assembleStiffnessAndMass(job, setup);
    // About a heated state the prestress of its temperatures and loads stiffens or softens the model.
    const bool prestressed = temperatures && addPrestressStiffness(job, setup, *temperatures, system.k, log);
    const double shift = modeShift(setup, system.scales, log);
    log.line("solving for " + std::to_string(count) + " modes (shift-invert, multifrontal Cholesky)");
    ModesReport modes = solveModes(system.k, system.m, count, shift, layout, prestressed);
    log.line("modes converged after " + std::to_string(modes.iterations) + " iterations");
    if (prestressed && !modes.eigenvalues.empty() && modes.eigenvalues.front() < 0)
        throw std::runtime_error(
            "the heated state lies beyond its buckling point (with its prestress the stiffness has a mode of "
            "negative stiffness), so it has no natural frequencies; solve buckling about the heated state");
    if (!layout.onFirstProcess()) return;
    // Each mode's estimate is relative to its own energy, so the shape's scale drops out.
    handFrequencies(layout, modes, log, results, [&](StepResult& mode) {
        addStressErrorEstimate(job, setup.temperatures(), false, mode.nodeFields.front().values, mode, log,
                               "mode " + std::to_string(mode.number) + ": ");
    });
}

}  // namespace tarvsolv
