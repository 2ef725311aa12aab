#include <cmath>
#include <numbers>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "fem/rigid_motion_check.h"
#include "fem/system_assembler.h"
#include "physics/analyses.h"
#include "physics/held_contact.h"
#include "physics/reactions.h"
#include "physics/structural_conditions.h"
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

namespace {

Vec3 centroid(const FeMesh& mesh, int e) {
    Vec3 c;
    const auto nodes = mesh.elementNodes(e);
    for (int k = 0; k < 4; ++k) c = c + mesh.node(nodes[k]);
    return 0.25 * c;
}

}  // namespace

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
            field.nodal = std::move(block.values);
        }
    return field;
}

ElasticMaterial elementMaterial(const Job& job, const TemperatureField& temperatures, int e) {
    return job.materials->forBody(job.geometry->bodyOfElement(e))
        .elasticAt(EvalPoint{centroid(job.mesh, e), 1.0, temperatures.atElement(job.mesh, e)});
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
    const auto acceleration = accelerationField(job, time);
    if (!acceleration && !(thermal && !temperatures.nodal.empty())) return;
    SystemAssembler assembler(layout, f);
    std::vector<double> fe;
    for (int e = 0; e < job.mesh.elementCount(); ++e) {
        if (!layout.assemblesElement(job.mesh, e)) continue;
        fe.assign(3 * static_cast<std::size_t>(job.mesh.nodesPerElement), 0.0);
        addElementLoads(job, e, elementMaterial(job, temperatures, e), acceleration, temperatures, thermal,
                        fe);
        assembler.addLoads(job.mesh.elementNodes(e), fe);
    }
    assembler.finish();
}

void assembleStiffness(const Job& job, const MatrixPattern& pattern, const TemperatureField& temperatures,
                       Mat k, const std::function<void(SystemAssembler&)>& extra) {
    const DofLayout& layout = pattern.layout();
    SystemAssembler assembler(pattern, k, nullptr);
    std::vector<double> ke;
    for (int e = 0; e < job.mesh.elementCount(); ++e) {
        if (!layout.assemblesElement(job.mesh, e)) continue;
        elasticStiffness(job.mesh, e, elementMaterial(job, temperatures, e), ke);
        assembler.addElement(job.mesh.elementNodes(e), ke, nullptr);
    }
    if (extra) extra(assembler);
    assembler.holdStrayNodes(job.mesh);
    assembler.finish();
}

namespace {

void assembleElements(const Job& job, const MatrixPattern& pattern, const TemperatureField& temperatures,
                      Mat k, Vec f) {
    const DofLayout& layout = pattern.layout();
    SystemAssembler assembler(pattern, k, f);
    const auto acceleration = accelerationField(job);
    std::vector<double> ke, fe;
    for (int e = 0; e < job.mesh.elementCount(); ++e) {
        if (!layout.assemblesElement(job.mesh, e)) continue;
        const ElasticMaterial m = elementMaterial(job, temperatures, e);
        elasticStiffness(job.mesh, e, m, ke);
        fe.assign(ke.size() ? 3 * job.mesh.nodesPerElement : 0, 0.0);
        addElementLoads(job, e, m, acceleration, temperatures, true, fe);
        assembler.addElement(job.mesh.elementNodes(e), ke, &fe);
    }
    assembler.holdStrayNodes(job.mesh);
    assembler.finish();
}

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

CornerResults elementStresses(const Job& job, const TemperatureField& temperatures,
                              const std::vector<double>& u) {
    CornerResults corners;
    corners.nodes.reserve(4 * static_cast<std::size_t>(job.mesh.elementCount()));
    corners.stresses.reserve(4 * static_cast<std::size_t>(job.mesh.elementCount()));
    std::vector<double> ue(3 * job.mesh.nodesPerElement);
    for (int e = 0; e < job.mesh.elementCount(); ++e) {
        const auto nodes = job.mesh.elementNodes(e);
        for (std::size_t i = 0; i < nodes.size(); ++i)
            for (int a = 0; a < 3; ++a) ue[3 * i + a] = u[3 * static_cast<std::size_t>(nodes[i]) + a];
        const auto stresses = cornerStresses(job.mesh, e, elementMaterial(job, temperatures, e), ue,
                                             temperatures.changes(job.mesh, e));
        for (int c = 0; c < 4; ++c) {
            corners.nodes.push_back(nodes[c] + 1);
            corners.stresses.push_back(stresses[c]);
        }
    }
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

TemperatureField assembleStaticSystem(const Job& job, const MatrixPattern& pattern, Mat k, Vec f,
                                      RunLog& log) {
    TemperatureField temperatures = temperatureField(job, log);
    assembleElements(job, pattern, temperatures, k, f);
    assembleBoundaryLoads(job, pattern.layout(), f, log);
    return temperatures;
}

void solveStatics(const Job& job, RunLog& log, ResultSink& results) {
    if (!job.entries.contacts.empty()) return solveContactStatics(job, log, results);
    DofLayout layout(job.mesh, 3, PETSC_COMM_WORLD);
    applyDisplacementConditions(job, layout, false, log);
    if (const auto free = findFreeRigidMotion(job.mesh, layout)) throw std::runtime_error(*free);
    const TemperatureField temperatures = temperatureField(job, log);
    log.line("assembling " + std::to_string(layout.dofCount()) + " unknowns (" +
             std::to_string(layout.prescribedCount()) + " prescribed)");
    const MatrixPattern pattern(job.mesh, layout);
    MatHandle k = pattern.createMatrix();
    VecHandle f = layout.createVector();
    VecHandle x = layout.createVector();
    assembleElements(job, pattern, temperatures, k, f);
    assembleBoundaryLoads(job, layout, f, log);
    log.line("solving");
    const LinearSolveReport report = solveLinear(k, f, x, job.solver, job.tolerance, layout, job.mesh);
    log.line(formatSolveLine(report));
    logReactions(computeReactions(job, layout, x), log);
    std::vector<double> u = gatherOnFirst(x);
    if (!layout.onFirstProcess()) return;
    layout.toGlobal(u);
    log.line("computing stresses");
    CornerResults corners = elementStresses(job, temperatures, u);
    results.step(displacementResult(1, 0, std::move(u), std::move(corners)));
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

void handModeShapes(const DofLayout& layout, std::vector<std::vector<double>>& shapes, ResultSink& results) {
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
        results.step(mode);
    }
}

void solveNaturalFrequencies(const Job& job, RunLog& log, ResultSink& results) {
    const int count = std::max(1, static_cast<int>(job.input.row2()));
    DofLayout layout(job.mesh, 3, PETSC_COMM_WORLD);
    // The stiffness and the density are those of the loaded temperatures, else of the initial
    // temperature.
    const TemperatureField temperatures = temperatureField(job, log);
    std::optional<HeldContact> contact;
    if (job.entries.contacts.empty()) {
        applyDisplacementConditions(job, layout, true, log);
    } else {
        // The contact state takes the prescribed values; the modes hold the same unknowns at 0.
        applyDisplacementConditions(job, layout, false, log);
        contact.emplace(job, layout, temperatures, log);
        layout = layout.withoutPrescribedValues();
    }
    const bool free = contact ? contact->freeMotion(job, layout).has_value()
                              : findFreeRigidMotion(job.mesh, layout).has_value();
    log.line("assembling stiffness and mass, " + std::to_string(layout.dofCount()) + " unknowns");
    const MatrixPattern pattern(job.mesh, layout,
                                contact ? contact->couplings() : std::vector<std::vector<int>>{});
    MatHandle k = pattern.createMatrix();
    MatHandle m = pattern.createMatrix(false);
    SystemAssembler stiffness(pattern, k, nullptr), mass(pattern, m, nullptr, false);
    std::vector<double> ke, me;
    double stiffnessScale = 0, massScale = 0;
    for (int e = 0; e < job.mesh.elementCount(); ++e) {
        if (!layout.assemblesElement(job.mesh, e)) continue;
        const ElasticMaterial mat = elementMaterial(job, temperatures, e);
        if (!(mat.density > 0))
            throw std::runtime_error("natural frequencies need a density above 0 in every material");
        elasticStiffness(job.mesh, e, mat, ke);
        consistentMass(job.mesh, e, mat.density * job.units.massScale, me);
        stiffnessScale = std::max(stiffnessScale, ke[0]);
        massScale = std::max(massScale, me[0]);
        stiffness.addElement(job.mesh.elementNodes(e), ke, nullptr);
        mass.addElement(job.mesh.elementNodes(e), me, nullptr);
    }
    if (contact) contact->addSprings(layout, stiffness);
    stiffness.holdStrayNodes(job.mesh);
    stiffness.finish();
    mass.finish();
    // A model free to move has zero frequencies: shift below zero so the shifted stiffness stays
    // positive definite.
    double shift = 0;
    if (free) {
        double scales[2] = {stiffnessScale, massScale}, global[2];
        MPI_Allreduce(scales, global, 2, MPI_DOUBLE, MPI_MAX, layout.comm());
        shift = -1e-6 * global[0] / global[1];
        log.warning("the model is not fully restrained: its rigid-body modes appear with frequency 0");
    }
    log.line("solving for " + std::to_string(count) + " modes (shift-invert, multifrontal Cholesky)");
    ModesReport modes = solveModes(k, m, count, shift, layout);
    log.line("modes converged after " + std::to_string(modes.iterations) + " iterations");
    if (!layout.onFirstProcess()) return;
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
    handModeShapes(layout, modes.vectors, results);
}

}  // namespace tarvsolv
