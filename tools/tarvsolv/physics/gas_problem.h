#pragma once
// What the drivers of the gas solver (explicit time steps, implicit pseudo-time steps) need of its
// finite-volume discretisation on the median dual: the residual, the boundary each dual boundary
// piece lies on and the state outside it, and the vertices whose velocity is held.
#include <cstddef>
#include <utility>
#include <vector>

#include "fem/dual_mesh.h"
#include "physics/gas_state.h"

namespace tarvsolv {

// How the gas meets each boundary piece.
enum class GasBoundaryKind {
    SlipWall,        // no flow through it: the flux is the pressure's alone
    NoSlipWall,      // a viscous gas sticks to it: the velocity is held at 0 at its vertices
    TotalInlet,      // subsonic inlet at a total pressure and total temperature
    VelocityInlet,   // inlet at a velocity and a temperature
    FarField,        // the free stream: the Riemann flux against its state
    PressureOutlet,  // outlet at a static pressure (supersonic outflow passes it over)
    FreeOutlet,      // the gas leaves with its own state
};

class GasProblem {
  public:
    virtual ~GasProblem() = default;

    virtual const DualMesh& dual() const = 0;
    virtual const IdealGas& gas() const = 0;

    // The net flux out of every control volume at the conserved state `U` (five values a vertex,
    // interleaved) and time `t`, so that V dU/dt = -R. `firstOrder`: without the reconstruction,
    // the scheme whose Jacobian the implicit steps take.
    virtual void residual(const std::vector<double>& U, double t, std::vector<double>& R,
                          bool firstOrder) const = 0;

    // The kind of each piece of dual().boundary, in its order.
    virtual const std::vector<GasBoundaryKind>& boundaryKinds() const = 0;
    // The state outside boundary piece `piece` that its flux is taken against, for the state
    // `inside` at its vertex, at time `t`.
    virtual GasPrimitive ghostState(std::size_t piece, const GasPrimitive& inside, double t) const = 0;

    // 1 for every vertex whose velocity is held at 0 (no-slip walls): the residual's momentum
    // rows there are the vertex's own momentum, so a step sets it to 0.
    virtual const std::vector<char>& heldVelocity() const = 0;

    // The vertices [first, last) whose residual and Jacobian rows this process computes: every
    // vertex unless the problem is split over processes, each process then giving its own range.
    virtual std::pair<int, int> ownedVertices() const { return {0, dual().vertexCount()}; }
    // The residual's rows of ownedVertices() alone, for a driver whose vectors are split the same
    // way (the other rows are not to be read); collective when the problem is split.
    virtual void ownResidual(const std::vector<double>& U, double t, std::vector<double>& R,
                             bool firstOrder) const {
        residual(U, t, R, firstOrder);
    }
};

}  // namespace tarvsolv
