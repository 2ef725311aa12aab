#include "physics/flow_system.h"

#include <algorithm>
#include <cmath>

#include "fem/element_kernels.h"
#include "linalg/linear_solvers.h"
#include "physics/flow_heat_terms.h"

namespace tarvsolv {
namespace {

// The corners of the mid-side nodes 4 to 9 of a quadratic tetrahedron.
constexpr int kEdgeCorners[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};

}  // namespace

FlowSystem::FlowSystem(const Job& job, const FlowLayout& layout, const FlowBodies& bodies,
                       const FlowConditions& conditions, const FlowHeatTerms* heat)
    : job_(job), layout_(layout), bodies_(bodies), conditions_(conditions), heat_(heat) {
    const int elements = job.mesh.elementCount();
    density_.resize(elements);
    viscosity_.resize(elements);
    // A flow that carries heat takes its constants at the initial temperature, as the heat does.
    const double temperature = heat ? job.initialTemperature() : kFluidTemperature;
    for (int e = 0; e < elements; ++e) {
        if (bodies.solid(e)) continue;
        const int body = job.geometry->bodyOfElement(e);
        const BodyMaterial::Fluid fluid =
            job.materials->forBody(body).fluidAt(elementPoint(job.mesh, e, 0.0, temperature), body);
        density_[e] = fluid.density * job.units.massScale;
        viscosity_[e] = fluid.viscosity;
    }
    for (const Load& load : job.entries.loads)
        if (load.kind == LoadKind::Acceleration) accelerations_.push_back(&load);
    // A typical element size: the bounding box's diagonal over the cube root of the element count.
    Vec3 low = job.mesh.node(0), high = low;
    for (int n = 0; n < job.mesh.nodeCount(); ++n)
        for (int a = 0; a < 3; ++a) {
            low[a] = std::min(low[a], job.mesh.node(n)[a]);
            high[a] = std::max(high[a], job.mesh.node(n)[a]);
        }
    elementSize_ = norm(high - low) / std::cbrt(std::max(1, elements));
    continuityScale_ = largestViscosity() / elementSize_;
    heldScale_ = largestViscosity() * elementSize_;
}

double FlowSystem::largestViscosity() const {
    return viscosity_.empty() ? 0 : *std::max_element(viscosity_.begin(), viscosity_.end());
}

double FlowSystem::smallestDensity() const {
    double smallest = 0;
    for (std::size_t e = 0; e < density_.size(); ++e)
        if (!bodies_.solid(static_cast<int>(e)) && (smallest == 0 || density_[e] < smallest))
            smallest = density_[e];
    return smallest;
}

void FlowSystem::evaluate(Vec x, const FlowInstant& at, Vec residual, Mat jacobian) const {
    const std::vector<double> state = gatherOnAll(x);
    if (jacobian) TARV_PETSC(MatZeroEntries(jacobian));
    addElements(state, at, residual, jacobian);
    if (heat_) heat_->add(state, at, residual, jacobian);
    if (jacobian) {
        TARV_PETSC(MatAssemblyBegin(jacobian, MAT_FINAL_ASSEMBLY));
        TARV_PETSC(MatAssemblyEnd(jacobian, MAT_FINAL_ASSEMBLY));
    }
    if (!residual) return;
    if (layout_.onFirstProcess()) addPressureFaces(at.time, residual);
    TARV_PETSC(VecAssemblyBegin(residual));
    TARV_PETSC(VecAssemblyEnd(residual));
    // Held rows: u - g.
    PetscInt first = 0, end = 0;
    TARV_PETSC(VecGetOwnershipRange(residual, &first, &end));
    for (PetscInt dof = first; dof < end; ++dof)
        if (layout_.isHeld(static_cast<int>(dof)))
            TARV_PETSC(VecSetValue(residual, dof,
                                   heldScale_ * (state[dof] - layout_.heldValue(static_cast<int>(dof))),
                                   INSERT_VALUES));
    TARV_PETSC(VecAssemblyBegin(residual));
    TARV_PETSC(VecAssemblyEnd(residual));
}

void FlowSystem::addElements(const std::vector<double>& state, const FlowInstant& at, Vec residual,
                             Mat jacobian) const {
    const FeMesh& mesh = job_.mesh;
    const double scale = job_.units.accelerationScale;
    const std::function<Vec3(const Vec3&)> acceleration = [&](const Vec3& x) {
        Vec3 sum;
        for (const Load* load : accelerations_)
            for (int a = 0; a < 3; ++a)
                sum[a] += scale * load->values[a](EvalPoint{x, at.time, kFluidTemperature});
        return sum;
    };
    if (residual) TARV_PETSC(VecZeroEntries(residual));
    std::vector<PetscInt> dofs, rows;
    std::vector<double> local(kFlowElementDofs), history, re, ke;
    for (int e = 0; e < mesh.elementCount(); ++e) {
        if (!layout_.assemblesElement(mesh, e) || bodies_.solid(e)) continue;
        layout_.elementDofs(mesh, e, dofs);
        for (int k = 0; k < kFlowElementDofs; ++k) local[k] = state[dofs[k]];
        history.clear();
        if (at.history) {
            const auto nodes = mesh.elementNodes(e);
            for (int node : nodes)
                for (int a = 0; a < 3; ++a) history.push_back((*at.history)[3 * node + a]);
        }
        const FlowCoefficients c{density_[e], viscosity_[e], at.convection, at.timeFactor};
        flowElement(mesh, e, c, local, history, accelerations_.empty() ? nullptr : &acceleration, re,
                    jacobian ? &ke : nullptr);
        for (int k = 30; k < kFlowElementDofs; ++k) {
            re[k] *= continuityScale_;
            if (jacobian)
                for (int j = 0; j < kFlowElementDofs; ++j) ke[k * kFlowElementDofs + j] *= continuityScale_;
        }
        // Held rows take u - g afterwards: the residual's element parts go to the others only (a
        // vector, unlike a matrix, does not pass over negative rows unless told so).
        rows = dofs;
        for (int k = 0; k < kFlowElementDofs; ++k)
            if (layout_.isHeld(static_cast<int>(rows[k]))) rows[k] = -1, re[k] = 0;
        if (residual)
            TARV_PETSC(VecSetValues(residual, kFlowElementDofs, dofs.data(), re.data(), ADD_VALUES));
        if (jacobian)
            TARV_PETSC(MatSetValues(jacobian, kFlowElementDofs, rows.data(), kFlowElementDofs, dofs.data(),
                                    ke.data(), ADD_VALUES));
    }
    if (!jacobian) return;
    PetscInt first = 0, end = 0;
    TARV_PETSC(MatGetOwnershipRange(jacobian, &first, &end));
    for (PetscInt dof = first; dof < end; ++dof)
        if (layout_.isHeld(static_cast<int>(dof)))
            TARV_PETSC(MatSetValue(jacobian, dof, dof, heldScale_, ADD_VALUES));
}

// + P n.v on every pressure face.
void FlowSystem::addPressureFaces(double time, Vec residual) const {
    std::vector<PetscInt> rows;
    std::vector<double> fe;
    for (const Load* load : conditions_.pressureFaces())
        for (const Facet& facet : job_.geometry->facetsOfFace(load->where.first)) {
            const std::vector<int> nodes = job_.mesh.faceNodes(facet.element, facet.face);
            fe.assign(3 * nodes.size(), 0.0);
            for (const BoundaryPoint& p : facePoints(job_.mesh, facet)) {
                const double pressure = load->values[0](EvalPoint{p.x, time, kFluidTemperature});
                for (std::size_t i = 0; i < nodes.size(); ++i)
                    for (int a = 0; a < 3; ++a) fe[3 * i + a] += pressure * p.normal[a] * p.n[i] * p.measure;
            }
            rows.resize(fe.size());
            for (std::size_t i = 0; i < nodes.size(); ++i)
                for (int a = 0; a < 3; ++a) {
                    const int dof = layout_.velocityDof(nodes[i], a);
                    rows[3 * i + a] = dof;
                    if (layout_.isHeld(dof)) fe[3 * i + a] = 0;
                }
            TARV_PETSC(VecSetValues(residual, static_cast<PetscInt>(rows.size()), rows.data(), fe.data(),
                                    ADD_VALUES));
        }
}

MatHandle FlowSystem::schurPreconditioner() const {
    MatHandle m = layout_.createPressureMatrix();
    const FeMesh& mesh = job_.mesh;
    std::vector<double> me;
    PetscInt rows[4];
    for (int e = 0; e < mesh.elementCount(); ++e) {
        if (!layout_.assemblesElement(mesh, e) || bodies_.solid(e)) continue;
        pressureMass(mesh, e, -continuityScale_ / viscosity_[e], me);
        for (int k = 0; k < 4; ++k) {
            const int node = mesh.elementNodes(e)[k];
            rows[k] = layout_.isHeld(layout_.pressureDof(node)) ? -1 : layout_.pressureIndex(node);
        }
        PetscInt columns[4];
        for (int k = 0; k < 4; ++k) columns[k] = layout_.pressureIndex(mesh.elementNodes(e)[k]);
        TARV_PETSC(MatSetValues(m, 4, rows, 4, columns, me.data(), ADD_VALUES));
    }
    // Held pressures (the pressure level, the corners inside a solid) keep their held rows.
    for (int node = layout_.nodes().firstNode(); node < layout_.nodes().endNode(); ++node)
        if (layout_.isCorner(node) && layout_.isHeld(layout_.pressureDof(node)))
            TARV_PETSC(MatSetValue(m, layout_.pressureIndex(node), layout_.pressureIndex(node), heldScale_,
                                   ADD_VALUES));
    TARV_PETSC(MatAssemblyBegin(m, MAT_FINAL_ASSEMBLY));
    TARV_PETSC(MatAssemblyEnd(m, MAT_FINAL_ASSEMBLY));
    return m;
}

std::vector<double> FlowSystem::velocities(const std::vector<double>& state) const {
    const int nodes = job_.mesh.nodeCount();
    std::vector<double> u(3 * static_cast<std::size_t>(nodes));
    for (int n = 0; n < nodes; ++n)
        for (int a = 0; a < 3; ++a) u[3 * n + a] = state[layout_.velocityDof(n, a)];
    return u;
}

std::vector<double> FlowSystem::pressures(const std::vector<double>& state) const {
    const FeMesh& mesh = job_.mesh;
    std::vector<double> p(mesh.nodeCount(), 0.0);
    for (int n = 0; n < mesh.nodeCount(); ++n)
        if (layout_.isCorner(n)) p[n] = state[layout_.pressureDof(n)];
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        for (int k = 0; k < 6; ++k)
            p[nodes[4 + k]] = 0.5 * (p[nodes[kEdgeCorners[k][0]]] + p[nodes[kEdgeCorners[k][1]]]);
    }
    return p;
}

}  // namespace tarvsolv
