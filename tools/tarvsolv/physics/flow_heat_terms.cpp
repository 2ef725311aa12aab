#include "physics/flow_heat_terms.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "fem/element_kernels.h"
#include "fem/flow_heat_element.h"
#include "fem/quadrature.h"
#include "physics/flow_system.h"
#include "physics/heat_flux.h"
#include "physics/time_stepping.h"

namespace tarvsolv {
namespace {

constexpr int kNodes = 10;
// A flow's discrete continuity holds against the linear pressures only, so the heat the velocity
// field carries is not conserved exactly: a share of the heat above this means a coarse mesh.
constexpr double kFlowImbalance = 1e-3;

std::string text(const char* format, double value) {
    char out[64];
    std::snprintf(out, sizeof out, format, value);
    return out;
}

// Area, area-weighted centroid and normal of a face.
struct FaceShape {
    double area = 0;
    Vec3 centroid, normal;
};

FaceShape shapeOf(const Job& job, int face) {
    FaceShape s;
    for (const Facet& facet : job.geometry->facetsOfFace(face))
        for (const BoundaryPoint& p : facePoints(job.mesh, facet)) {
            s.area += p.measure;
            s.centroid = s.centroid + p.measure * p.x;
            s.normal = s.normal + p.measure * p.normal;
        }
    if (s.area > 0) s.centroid = (1 / s.area) * s.centroid;
    s.normal = normalized(s.normal);
    return s;
}

}  // namespace

FlowHeatTerms::FlowHeatTerms(const Job& job, FlowLayout& layout, const FlowBodies& bodies, double time,
                             bool steady, RunLog& log)
    : job_(job), layout_(layout), bodies_(bodies), held_(job, &log), reference_(job.initialTemperature()) {
    const int elements = job.mesh.elementCount();
    density_.resize(elements);
    capacity_.resize(elements);
    conductivity_.resize(elements);
    expansion_.resize(elements);
    double viscosity = 0, conductivity = 0;
    for (int e = 0; e < elements; ++e) {
        const int body = job.geometry->bodyOfElement(e);
        const EvalPoint at = elementPoint(job.mesh, e, 0.0, reference_);
        const BodyMaterial& material = job.materials->forBody(body);
        if (bodies.solid(e)) {
            // No expansion: a solid drives no flow.
            const BodyMaterial::SolidHeat solid = material.solidHeatAt(at, body, !steady);
            density_[e] = solid.density * job.units.massScale;
            capacity_[e] = solid.density * solid.heatCapacity;
            conductivity_[e] = solid.conductivity;
            conductivity = std::max(conductivity, solid.conductivity);
            continue;
        }
        const BodyMaterial::Fluid fluid = material.fluidAt(at, body);
        const BodyMaterial::FluidHeat heat = material.fluidHeatAt(at, body);
        density_[e] = fluid.density * job.units.massScale;
        capacity_[e] = fluid.density * heat.heatCapacity;  // as transient heat takes rho c
        conductivity_[e] = heat.conductivity;
        expansion_[e] = heat.expansion;
        viscosity = std::max(viscosity, fluid.viscosity);
        conductivity = std::max(conductivity, heat.conductivity);
    }
    rowScale_ = conductivity > 0 ? viscosity / conductivity : 1;
    for (const Load& load : job.entries.loads) {
        if (load.kind == LoadKind::Acceleration) accelerations_.push_back(&load);
        if (load.kind == LoadKind::HeatGeneration) {
            sources_.push_back(&load);
            log.line("internal heat " + load.values[0].text());
        }
        if (load.kind != LoadKind::HeatFlux && load.kind != LoadKind::Convection) continue;
        if (load.where.kind != EntityRef::Kind::Face)
            throw std::runtime_error("input line " + std::to_string(load.line) +
                                     ": a flow that carries heat takes heat flux and convection on faces "
                                     "only, not on " +
                                     load.where.describe());
        faceLoads_.push_back(&load);
        log.line(load.kind == LoadKind::HeatFlux
                     ? "heat flux " + load.values[0].text() + " on " + load.where.describe()
                     : "convection " + load.values[0].text() + ", fluid " + load.values[1].text() + " on " +
                           load.where.describe());
    }
    const bool convection = std::any_of(faceLoads_.begin(), faceLoads_.end(),
                                        [](const Load* load) { return load->kind == LoadKind::Convection; });
    if (steady && held_.empty() && !convection)
        throw std::runtime_error(
            "a steady flow that carries heat needs a held temperature or a convection face: nothing "
            "fixes the temperature level");
    log.line("heat: initial and buoyancy reference temperature " + number(reference_) + ", " +
             std::to_string(held_.nodes().size()) + " temperatures held");
    holdAt(time);
}

void FlowHeatTerms::holdAt(double time) {
    const std::vector<double> values = held_.valuesAt(time);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int dof = layout_.temperatureDof(held_.nodes()[i]);
        layout_.hold(dof, values[i]);
        layout_.setHeldValue(dof, values[i]);
    }
}

std::vector<double> FlowHeatTerms::temperatures(const std::vector<double>& state) const {
    std::vector<double> t(job_.mesh.nodeCount());
    for (int n = 0; n < job_.mesh.nodeCount(); ++n) t[n] = state[layout_.temperatureDof(n)];
    return t;
}

void FlowHeatTerms::add(const std::vector<double>& state, const FlowInstant& at, Vec residual,
                        Mat jacobian) const {
    addElements(state, at, true, false, residual, jacobian, nullptr);
    if (layout_.onFirstProcess()) addBoundary(state, at.time, true, residual, jacobian, nullptr);
}

void FlowHeatTerms::addElements(const std::vector<double>& state, const FlowInstant& at, bool scaled,
                                bool allElements, Vec residual, Mat jacobian, std::vector<double>* nodal,
                                int body) const {
    const FeMesh& mesh = job_.mesh;
    const double scale = job_.units.accelerationScale;
    const double time = at.time, reference = reference_;
    const std::function<Vec3(const Vec3&)> acceleration = [&](const Vec3& x) {
        Vec3 sum;
        for (const Load* load : accelerations_)
            for (int a = 0; a < 3; ++a) sum[a] += scale * load->values[a](EvalPoint{x, time, reference});
        return sum;
    };
    const std::function<double(const Vec3&)> heat = [&](const Vec3& x) {
        double sum = 0;
        for (const Load* load : sources_) sum += load->values[0](EvalPoint{x, time, reference});
        return sum;
    };
    std::vector<PetscInt> dofs, heatDofs(kFlowHeatElementDofs), rows;
    std::vector<double> local(kFlowHeatElementDofs), history, re, ke;
    for (int e = 0; e < mesh.elementCount(); ++e) {
        if (!allElements && !layout_.assemblesElement(mesh, e)) continue;
        if (body != 0 && job_.geometry->bodyOfElement(e) != body) continue;
        layout_.elementDofs(mesh, e, dofs);
        // Velocities, then temperatures (after the 4 pressures in the layout's element order).
        for (int k = 0; k < 30; ++k) heatDofs[k] = dofs[k];
        for (int k = 0; k < kNodes; ++k) heatDofs[30 + k] = dofs[34 + k];
        for (int k = 0; k < kFlowHeatElementDofs; ++k) local[k] = state[heatDofs[k]];
        history.clear();
        if (at.temperatureHistory)
            for (int node : mesh.elementNodes(e)) history.push_back((*at.temperatureHistory)[node]);
        const FlowHeatCoefficients c{density_[e], capacity_[e],  conductivity_[e], expansion_[e],
                                     reference_,  at.convection, at.timeFactor};
        flowHeatElement(mesh, e, c, local, history, accelerations_.empty() ? nullptr : &acceleration,
                        sources_.empty() ? nullptr : &heat, re, jacobian ? &ke : nullptr);
        if (nodal) {
            for (int k = 0; k < kNodes; ++k) (*nodal)[mesh.elementNodes(e)[k]] += re[30 + k];
            continue;
        }
        if (scaled)
            for (int k = 30; k < kFlowHeatElementDofs; ++k) {
                re[k] *= rowScale_;
                if (jacobian)
                    for (int j = 0; j < kFlowHeatElementDofs; ++j)
                        ke[k * kFlowHeatElementDofs + j] *= rowScale_;
            }
        rows = heatDofs;
        for (int k = 0; k < kFlowHeatElementDofs; ++k)
            if (layout_.isHeld(static_cast<int>(rows[k]))) rows[k] = -1, re[k] = 0;
        if (residual)
            TARV_PETSC(VecSetValues(residual, kFlowHeatElementDofs, heatDofs.data(), re.data(), ADD_VALUES));
        if (jacobian)
            TARV_PETSC(MatSetValues(jacobian, kFlowHeatElementDofs, rows.data(), kFlowHeatElementDofs,
                                    heatDofs.data(), ke.data(), ADD_VALUES));
    }
}

// - q w on a heat flux face (q into the fluid), + h (T - fluid) w on a convection face.
void FlowHeatTerms::addBoundary(const std::vector<double>& state, double time, bool scaled, Vec residual,
                                Mat jacobian, std::vector<double>* nodal, int body) const {
    std::vector<PetscInt> dofs, rows;
    std::vector<double> fe, ke;
    const double factor = scaled ? rowScale_ : 1;
    for (const Load* load : faceLoads_)
        for (const Facet& facet : job_.geometry->facetsOfFace(load->where.first)) {
            if (body != 0 && job_.geometry->bodyOfElement(facet.element) != body) continue;
            const std::vector<int> nodes = job_.mesh.faceNodes(facet.element, facet.face);
            const std::size_t n = nodes.size();
            dofs.resize(n);
            for (std::size_t i = 0; i < n; ++i) dofs[i] = layout_.temperatureDof(nodes[i]);
            fe.assign(n, 0.0);
            ke.assign(n * n, 0.0);
            for (const BoundaryPoint& p : facePoints(job_.mesh, facet)) {
                const EvalPoint at{p.x, time, reference_};
                if (load->kind == LoadKind::HeatFlux) {
                    const double q = load->values[0](at);
                    for (std::size_t i = 0; i < n; ++i) fe[i] -= factor * p.n[i] * q * p.measure;
                    continue;
                }
                const double h = load->values[0](at), fluid = load->values[1](at);
                double t = 0;
                for (std::size_t i = 0; i < n; ++i) t += p.n[i] * state[dofs[i]];
                for (std::size_t i = 0; i < n; ++i) {
                    fe[i] += factor * p.n[i] * h * (t - fluid) * p.measure;
                    for (std::size_t j = 0; j < n; ++j)
                        ke[i * n + j] += factor * h * p.n[i] * p.n[j] * p.measure;
                }
            }
            if (nodal) {
                for (std::size_t i = 0; i < n; ++i) (*nodal)[nodes[i]] += fe[i];
                continue;
            }
            rows = dofs;
            for (std::size_t i = 0; i < n; ++i)
                if (layout_.isHeld(static_cast<int>(rows[i]))) rows[i] = -1, fe[i] = 0;
            const auto count = static_cast<PetscInt>(n);
            if (residual) TARV_PETSC(VecSetValues(residual, count, dofs.data(), fe.data(), ADD_VALUES));
            if (jacobian && load->kind == LoadKind::Convection)
                TARV_PETSC(
                    MatSetValues(jacobian, count, rows.data(), count, dofs.data(), ke.data(), ADD_VALUES));
        }
}

std::vector<double> FlowHeatTerms::nodalHeat(const std::vector<double>& state, const FlowInstant& at,
                                             int body) const {
    std::vector<double> nodal(job_.mesh.nodeCount(), 0.0);
    FlowInstant full = at;
    full.convection = 1;
    addElements(state, full, false, true, nullptr, nullptr, &nodal, body);
    addBoundary(state, at.time, false, nullptr, nullptr, &nodal, body);
    return nodal;
}

std::vector<double> FlowHeatTerms::heatFlux(const std::vector<double>& temperatures) const {
    const FeMesh& mesh = job_.mesh;
    std::vector<Vec3> conductivity(conductivity_.size());
    for (std::size_t e = 0; e < conductivity.size(); ++e)
        conductivity[e] = {conductivity_[e], conductivity_[e], conductivity_[e]};
    return nodalHeatFlux(mesh, temperatures, conductivity);
}

double FlowHeatTerms::sharedHeat(const std::vector<double>& state, const FlowInstant& at,
                                 const SharedFaces& pair) const {
    // The measured body's equation at a shared node: what its own elements and faces need there
    // is what the other body gives it.
    const std::vector<double> nodal = nodalHeat(state, at, pair.measuredFrom);
    double into = 0;
    for (int node : pair.nodes) into += nodal[node];
    return pair.measuredFrom == pair.second ? into : -into;
}

HeatBalance FlowHeatTerms::balance(const std::vector<double>& state, const FlowInstant& instant,
                                   const std::vector<int>& openings) const {
    HeatBalance b;
    const FeMesh& mesh = job_.mesh;
    const double time = instant.time;
    b.held = held_.flows(nodalHeat(state, instant));
    for (const Load* load : sources_) {
        double q = 0;
        for (int e = 0; e < mesh.elementCount(); ++e)
            for (const QuadPoint& qp : tetRule(5)) {
                const VolumePoint g = volumePoint(mesh, e, qp.xi, qp.weight);
                q += g.weight * load->values[0](EvalPoint{g.x, time, reference_});
            }
        b.inflows.push_back({"internal heat", q});
    }
    for (const Load* load : faceLoads_) {
        double q = 0;
        for (const Facet& facet : job_.geometry->facetsOfFace(load->where.first)) {
            const std::vector<int> nodes = mesh.faceNodes(facet.element, facet.face);
            for (const BoundaryPoint& p : facePoints(mesh, facet)) {
                const EvalPoint at{p.x, time, reference_};
                double t = 0;
                for (std::size_t i = 0; i < nodes.size(); ++i)
                    t += p.n[i] * state[layout_.temperatureDof(nodes[i])];
                q += p.measure * (load->kind == LoadKind::HeatFlux
                                      ? load->values[0](at)
                                      : load->values[0](at) * (t - load->values[1](at)));
            }
        }
        if (load->kind == LoadKind::HeatFlux)
            b.inflows.push_back({"heat flux on " + load->where.describe(), q});
        else
            b.outflows.push_back({"convection on " + load->where.describe(), q});
    }
    // rho c T u.n through the openings: out where positive, in where negative.
    for (int face : openings) {
        double q = 0;
        for (const Facet& facet : job_.geometry->facetsOfFace(face)) {
            const std::vector<int> nodes = mesh.faceNodes(facet.element, facet.face);
            for (const BoundaryPoint& p : facePoints(mesh, facet)) {
                double t = 0, un = 0;
                for (std::size_t i = 0; i < nodes.size(); ++i) {
                    t += p.n[i] * state[layout_.temperatureDof(nodes[i])];
                    for (int a = 0; a < 3; ++a)
                        un += p.n[i] * state[layout_.velocityDof(nodes[i], a)] * p.normal[a];
                }
                q += p.measure * capacity_[facet.element] * t * un;
            }
        }
        const std::string where = "face " + std::to_string(face);
        if (q >= 0)
            b.outflows.push_back({"carried out by the flow through " + where, q});
        else
            b.inflows.push_back({"carried in by the flow through " + where, -q});
    }
    // The energy rows sum to the integral of rho c (dT/dt + u.grad T); over the elements, rho c
    // u.grad T is what the openings carry less rho c T div u, which the P2/P1 flow's continuity
    // (held against linear pressures) leaves small but not zero.
    double continuity = 0, stored = 0;
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        for (const QuadPoint& qp : tetRule(5)) {
            const VolumePoint g = volumePoint(mesh, e, qp.xi, qp.weight);
            double t = 0, divergence = 0, history = 0;
            for (int i = 0; i < kNodes; ++i) {
                const double ti = state[layout_.temperatureDof(nodes[i])];
                t += g.n[i] * ti;
                for (int a = 0; a < 3; ++a)
                    divergence += g.dx[i][a] * state[layout_.velocityDof(nodes[i], a)];
                if (instant.temperatureHistory) history += g.n[i] * (*instant.temperatureHistory)[nodes[i]];
            }
            if (!bodies_.solid(e)) continuity += g.weight * capacity_[e] * t * divergence;
            stored += g.weight * capacity_[e] * (instant.timeFactor * t + history);
        }
    }
    b.signedFlows.push_back({"added by the discrete continuity of the flow (rho c T div u)", continuity});
    if (instant.timeFactor != 0) b.signedFlows.push_back({"rate of heat stored (rho c dT/dt)", -stored});
    settle(b);
    return b;
}

void FlowHeatTerms::report(const std::vector<double>& state, const FlowInstant& at,
                           const std::vector<int>& openings, RunLog& log) const {
    const double time = at.time;
    const HeatBalance b = balance(state, at, openings);
    logHeatBalance(b, log);
    const double continuity = std::abs(b.signedFlows.front().flow) / std::max({b.in, b.out, 1e-300});
    if (continuity > kFlowImbalance)
        log.warning(
            "the discrete continuity adds " + text("%.3g", continuity) +
            " of the heat put in or given off: the mesh is too coarse for this flow's heat transport");
    for (const SharedFaces& pair : bodies_.shared())
        log.line("heat through the faces shared by body " + std::to_string(pair.first) + " and body " +
                 std::to_string(pair.second) + " (" + FlowBodies::describe(pair) +
                 "): " + text("%.6g", sharedHeat(state, at, pair)) + " from body " +
                 std::to_string(pair.first) + " into body " + std::to_string(pair.second));
    // Mean Nusselt numbers: the heat through a held face over what conduction alone would carry
    // across the fluid to the held face of the most different temperature.
    const auto& entries = job_.entries.heldTemperatures;
    std::vector<FaceShape> shapes(entries.size());
    std::vector<double> values(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].where.kind != EntityRef::Kind::Face) continue;
        shapes[i] = shapeOf(job_, entries[i].where.first);
        values[i] = entries[i].value(EvalPoint{shapes[i].centroid, time, reference_});
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].where.kind != EntityRef::Kind::Face) continue;
        std::size_t other = i;
        for (std::size_t j = 0; j < entries.size(); ++j)
            if (entries[j].where.kind == EntityRef::Kind::Face &&
                std::abs(values[j] - values[i]) > std::abs(values[other] - values[i]))
                other = j;
        const std::string face = entries[i].where.describe();
        const double difference = values[i] - values[other];
        const double distance = std::abs(dot(shapes[other].centroid - shapes[i].centroid, shapes[i].normal));
        if (other == i || difference == 0 || distance == 0) {
            log.line("Nusselt number of " + face + ": no other face held at another temperature to refer to");
            continue;
        }
        double k = 0;
        for (const Facet& facet : job_.geometry->facetsOfFace(entries[i].where.first))
            k = conductivity_[facet.element];
        const double nusselt = b.held[i].flow * distance / (k * shapes[i].area * difference);
        log.line("mean Nusselt number of " + face + ": " + text("%.4f", nusselt) + " (heat " +
                 text("%.6g", b.held[i].flow) + " through " + text("%.6g", shapes[i].area) +
                 ", against conduction over " + text("%.6g", distance) + " to " +
                 entries[other].where.describe() + " at a difference of " + text("%.6g", difference) + ")");
    }
}

}  // namespace tarvsolv
