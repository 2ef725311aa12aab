#include "physics/gas_discretisation.h"

#include <petscsys.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "base/agree_on_failure.h"
#include "physics/gas_flux.h"

namespace tarvsolv {
namespace {

void addTo(std::vector<double>& R, int vertex, const GasConserved& f, double sign) {
    for (int k = 0; k < kGasFields; ++k) R[static_cast<std::size_t>(vertex) * kGasFields + k] += sign * f[k];
}

// The cosine of the angle between two vertices' wall normals within which the wall is flat.
constexpr double kFlatWall = 1e-9;

// Takes the part along the wall's unit normal `m` out of both states' velocities. Turning them
// with their speeds kept instead blows up: a velocity nearly along m (near a stagnation point, or
// in the first steps) is turned to its full speed in whatever direction its small remainder has
// (measured: the 0.5 mm cylinder diverged at step 27).
void turnAlongWall(const Vec3& m, GasPrimitive& left, GasPrimitive& right) {
    left.u = left.u - dot(left.u, m) * m;
    right.u = right.u - dot(right.u, m) * m;
}

using Tensor = std::array<Vec3, 3>;  // t[a] = grad of velocity component a

// The viscous stress tau . n of a velocity gradient.
Vec3 stressOn(const Tensor& g, double mu, const Vec3& n) {
    const double div = g[0].x + g[1].y + g[2].z;
    Vec3 out;
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) out[a] += mu * (g[a][b] + g[b][a] - (a == b ? 2.0 / 3 * div : 0)) * n[b];
    return out;
}

}  // namespace

GasDiscretisation::GasDiscretisation(const DualMesh& dual, const GasSetup& setup, bool firstOrderOnly)
    : dual_(dual), setup_(setup), firstOrderOnly_(firstOrderOnly), reconstruction_(dual) {
    held_.assign(dual.vertexCount(), 0);
    for (const DualBoundaryPiece& piece : dual.boundary) {
        const auto it = setup.faces.find(piece.tag);
        const GasFaceCondition* c = it == setup.faces.end() ? nullptr : &it->second;
        conditions_.push_back(c);
        kinds_.push_back(c ? c->kind : GasBoundaryKind::FreeOutlet);
        if (kinds_.back() == GasBoundaryKind::NoSlipWall) held_[piece.vertex] = 1;
    }
    findWallEdges();
}

// A dual face between two vertices of one slip wall crosses the wall: on a curved wall their
// velocities, each along the wall at its own vertex, differ in direction by the wall's turn between
// them, and the flux would take that turn for a shear across the face and dissipate it. Where the
// wall does not turn there is nothing to take away, and the velocity across a flat wall is left
// to the fluxes that damp it.
void GasDiscretisation::findWallEdges() {
    std::vector<std::vector<std::pair<int, Vec3>>> walls(static_cast<std::size_t>(dual_.vertexCount()));
    for (std::size_t p = 0; p < dual_.boundary.size(); ++p)
        if (kinds_[p] == GasBoundaryKind::SlipWall) {
            const DualBoundaryPiece& b = dual_.boundary[p];
            walls[b.vertex].emplace_back(b.tag, (1 / norm(b.normal)) * b.normal);
        }
    for (std::size_t k = 0; k < dual_.edges.size(); ++k) {
        const DualEdge& e = dual_.edges[k];
        for (const auto& [tag, na] : walls[e.a])
            for (const auto& [other, nb] : walls[e.b])
                if (tag == other && dot(na, nb) < 1 - kFlatWall && norm(na + nb) > 0)
                    wallEdges_.push_back({k, (1 / norm(na + nb)) * (na + nb)});
    }
}

// Whether the rows are split is decided alike on every process: one that takes every row while
// another takes none must still join the others' gathers.
void GasDiscretisation::computeRowsOf(int first, int last) {
    const int n = dual_.vertexCount();
    first = std::clamp(first, 0, n), last = std::clamp(last, first, n);
    owned_ = {first, last};
    int processes = 1;
    MPI_Comm_size(PETSC_COMM_WORLD, &processes);
    std::vector<int> all(2 * static_cast<std::size_t>(processes), 0);
    const int own[2] = {kGasFields * first, kGasFields * (last - first)};
    if (processes > 1) MPI_Allgather(own, 2, MPI_INT, all.data(), 2, MPI_INT, PETSC_COMM_WORLD);
    rowStart_.clear(), rowCount_.clear();
    for (int r = 0; r < processes; ++r) rowStart_.push_back(all[2 * r]), rowCount_.push_back(all[2 * r + 1]);
    if (processes == 1 || std::find(rowCount_.begin(), rowCount_.end(), kGasFields * n) != rowCount_.end()) {
        rows_.clear(), rowStart_.clear(), rowCount_.clear();
        return reconstruction_.restrictTo({});
    }
    rows_.assign(static_cast<std::size_t>(dual_.vertexCount()), 0);
    std::fill(rows_.begin() + first, rows_.begin() + last, 1);
    // The fluxes of the faces of vertex i take the limited gradients at i and its neighbours.
    std::vector<char> needed = rows_;
    for (const DualEdge& e : dual_.edges)
        if (rows_[e.a] || rows_[e.b]) needed[e.a] = needed[e.b] = 1;
    reconstruction_.restrictTo(needed);
}

std::vector<GasPrimitive> GasDiscretisation::primitives(const std::vector<double>& U) const {
    std::vector<GasPrimitive> w(dual_.vertexCount());
    for (int i = 0; i < dual_.vertexCount(); ++i) w[i] = setup_.gas.primitive(conservedAt(U, i));
    return w;
}

GasPrimitive GasDiscretisation::ghostState(std::size_t piece, const GasPrimitive& inside, double t) const {
    const GasFaceCondition* c = conditions_[piece];
    const DualBoundaryPiece& b = dual_.boundary[piece];
    const Vec3 x = dual_.position[b.vertex];
    const Vec3 e = (1 / norm(b.normal)) * b.normal;  // outward
    const IdealGas& gas = setup_.gas;
    GasPrimitive ghost = inside;
    switch (kinds_[piece]) {
        case GasBoundaryKind::SlipWall:
            ghost.u = inside.u - (2 * dot(inside.u, e)) * e;
            break;
        case GasBoundaryKind::NoSlipWall:
            ghost.u = -1 * inside.u;
            break;
        case GasBoundaryKind::TotalInlet: {
            // Isentropic from the total state to the static pressure inside (never above p0: no
            // reverse flow through an inlet), flowing in along the inward normal.
            const double p0 = setup_.value(*c->totalPressure, x, t),
                         T0 = setup_.temperature(*c->totalTemperature, x, t);
            const double p = std::min(inside.p, p0);
            const double T = T0 * std::pow(p / p0, (gas.gamma - 1) / gas.gamma);
            const double speed = std::sqrt(std::max(2 * gas.cp() * (T0 - T), 0.0));
            ghost = gas.fromPressureTemperature(p, T, (-speed) * e);
            break;
        }
        case GasBoundaryKind::VelocityInlet: {
            Vec3 u;
            for (int a = 0; a < 3; ++a) u[a] = setup_.value(*c->velocity[a], x, t);
            ghost = gas.fromPressureTemperature(inside.p, setup_.temperature(*c->temperature, x, t), u);
            break;
        }
        case GasBoundaryKind::FarField: {
            Vec3 u;
            for (int a = 0; a < 3; ++a) u[a] = setup_.value(*c->velocity[a], x, t);
            ghost = gas.fromPressureTemperature(setup_.value(*c->pressure, x, t),
                                                setup_.temperature(*c->temperature, x, t), u);
            break;
        }
        case GasBoundaryKind::PressureOutlet:
            // A supersonic outflow takes nothing from outside.
            if (dot(inside.u, e) < gas.soundSpeed(inside)) ghost.p = setup_.value(*c->pressure, x, t);
            break;
        case GasBoundaryKind::FreeOutlet:
            break;
    }
    return ghost;
}

GasConserved GasDiscretisation::boundaryFlux(std::size_t piece, const GasPrimitive& inside, double t) const {
    const DualBoundaryPiece& b = dual_.boundary[piece];
    const GasBoundaryKind kind = kinds_[piece];
    if (kind == GasBoundaryKind::SlipWall || kind == GasBoundaryKind::NoSlipWall)
        return wallFlux(inside, b.normal);
    return hllcFlux(setup_.gas, inside, ghostState(piece, inside, t), b.normal);
}

std::vector<Vec3> GasDiscretisation::velocityGradients(const std::vector<GasPrimitive>& w) const {
    std::vector<double> u(3 * w.size());
    for (std::size_t i = 0; i < w.size(); ++i)
        u[3 * i] = w[i].u.x, u[3 * i + 1] = w[i].u.y, u[3 * i + 2] = w[i].u.z;
    return reconstruction_.gradients(u, 3);
}

void GasDiscretisation::addViscousTerms(const std::vector<GasPrimitive>& w, std::vector<double>& R) const {
    const IdealGas& gas = setup_.gas;
    const std::size_t n = w.size();
    std::vector<double> values(4 * n);
    for (std::size_t i = 0; i < n; ++i) {
        values[4 * i] = w[i].u.x, values[4 * i + 1] = w[i].u.y, values[4 * i + 2] = w[i].u.z;
        values[4 * i + 3] = gas.temperature(w[i]);
    }
    const std::vector<Vec3> g = reconstruction_.gradients(values, 4);
    for (const DualEdge& edge : dual_.edges) {
        if (!computes(edge)) continue;
        const Vec3 d = dual_.position[edge.b] - dual_.position[edge.a];
        const double length = norm(d);
        const Vec3 t = (1 / length) * d;
        // The mean of the two nodal gradients, its part along the edge replaced by the edge's own
        // difference: compact, and free of the odd-even decoupling of the mean alone.
        std::array<Vec3, 4> ge;
        for (int k = 0; k < 4; ++k) {
            const Vec3 mean = 0.5 * (g[4 * edge.a + k] + g[4 * edge.b + k]);
            const double along = (values[4 * edge.b + k] - values[4 * edge.a + k]) / length;
            ge[k] = mean + (along - dot(mean, t)) * t;
        }
        const Vec3 tau = stressOn({ge[0], ge[1], ge[2]}, gas.mu, edge.normal);
        const Vec3 u = 0.5 * (w[edge.a].u + w[edge.b].u);
        const double heat = gas.k * dot(ge[3], edge.normal);
        const GasConserved f{0, tau.x, tau.y, tau.z, dot(u, tau) + heat};
        addTo(R, edge.a, f, -1);
        addTo(R, edge.b, f, 1);
    }
    // Isothermal walls: the heat through the wall's piece across half the control volume's depth.
    for (std::size_t p = 0; p < dual_.boundary.size(); ++p) {
        const GasFaceCondition* c = conditions_[p];
        if (kinds_[p] != GasBoundaryKind::NoSlipWall || !c->temperature ||
            !computes(dual_.boundary[p].vertex))
            continue;
        const DualBoundaryPiece& b = dual_.boundary[p];
        const double area = norm(b.normal);
        const double depth = dual_.volume[b.vertex] / area;
        const double wall = setup_.temperature(*c->temperature, dual_.position[b.vertex], 0);
        R[static_cast<std::size_t>(b.vertex) * kGasFields + 4] +=
            gas.k * (gas.temperature(w[b.vertex]) - wall) / depth * area;
    }
}

void GasDiscretisation::residual(const std::vector<double>& U, double t, std::vector<double>& R,
                                 bool firstOrder) const {
    ownResidual(U, t, R, firstOrder);
    if (!rowCount_.empty())
        MPI_Allgatherv(MPI_IN_PLACE, 0, MPI_DATATYPE_NULL, R.data(), rowCount_.data(), rowStart_.data(),
                       MPI_DOUBLE, PETSC_COMM_WORLD);
}

// Split over processes, a value that cannot be evaluated may stop one process only: all agree
// first whether each computed its rows, so that none goes on to a collective step the others left.
void GasDiscretisation::ownResidual(const std::vector<double>& U, double t, std::vector<double>& R,
                                    bool firstOrder) const {
    if (rowCount_.empty()) return ownRows(U, t, R, firstOrder);
    agreeOnFailure(PETSC_COMM_WORLD, [&] { ownRows(U, t, R, firstOrder); });
}

void GasDiscretisation::ownRows(const std::vector<double>& U, double t, std::vector<double>& R,
                                bool firstOrder) const {
    const std::vector<GasPrimitive> w = primitives(U);
    R.assign(U.size(), 0.0);
    const IdealGas& gas = setup_.gas;
    if (firstOrder || firstOrderOnly_) {
        for (const DualEdge& e : dual_.edges) {
            if (!computes(e)) continue;
            const GasConserved f = hllcFlux(gas, w[e.a], w[e.b], e.normal);
            addTo(R, e.a, f, 1), addTo(R, e.b, f, -1);
        }
    } else {
        const std::vector<GasGradient> g = reconstruction_.limitedGradients(w);
        std::size_t nextWall = 0;
        for (std::size_t k = 0; k < dual_.edges.size(); ++k) {
            const DualEdge& e = dual_.edges[k];
            if (!computes(e)) continue;
            auto [left, right] = reconstruction_.edgeStates(e, w, g);
            // The wall edges ascend: pass over those of the faces skipped, turn this face's states.
            for (; alignWallStates_ && nextWall < wallEdges_.size() && wallEdges_[nextWall].edge <= k;
                 ++nextWall)
                if (wallEdges_[nextWall].edge == k) turnAlongWall(wallEdges_[nextWall].normal, left, right);
            const GasConserved f = hllcFlux(gas, left, right, e.normal);
            addTo(R, e.a, f, 1), addTo(R, e.b, f, -1);
        }
    }
    for (std::size_t p = 0; p < dual_.boundary.size(); ++p)
        if (computes(dual_.boundary[p].vertex))
            addTo(R, dual_.boundary[p].vertex, boundaryFlux(p, w[dual_.boundary[p].vertex], t), 1);
    if (gas.viscous()) addViscousTerms(w, R);
    if (!setup_.accelerations.empty())
        for (int i = 0; i < dual_.vertexCount(); ++i) {
            const Vec3 a = setup_.acceleration(dual_.position[i], t);
            const double m = w[i].rho * dual_.volume[i];
            addTo(R, i, {0, m * a.x, m * a.y, m * a.z, m * dot(w[i].u, a)}, -1);
        }
    for (int i = 0; i < dual_.vertexCount(); ++i)
        if (held_[i])
            for (int k = 1; k <= 3; ++k)
                R[static_cast<std::size_t>(i) * kGasFields + k] =
                    U[static_cast<std::size_t>(i) * kGasFields + k];
}

}  // namespace tarvsolv
