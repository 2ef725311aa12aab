#pragma once
// Second-order states at the dual faces: nodal gradients of the primitive variables (rho, u, v, w,
// p) by least squares over each vertex's edge neighbours, limited by Venkatakrishnan's smooth
// limiter, extrapolated to the edge midpoints (MUSCL). The limiter may be frozen at its last values
// so that a steady iteration, no longer disturbed by its switching, can converge.
#include <array>
#include <vector>

#include "fem/dual_mesh.h"
#include "physics/gas_state.h"

namespace tarvsolv {

using GasGradient = std::array<Vec3, kGasFields>;  // of rho, u, v, w, p

class GasReconstruction {
  public:
    // `k`: Venkatakrishnan's constant; larger limits less in smooth flow.
    explicit GasReconstruction(const DualMesh& dual, double k = 5);

    // Least-squares gradients of `width` values per vertex (any fields, as the viscous terms need).
    std::vector<Vec3> gradients(const std::vector<double>& values, int width) const;

    // The limited gradients of the primitive states `w` (one per vertex), the limiter computed
    // afresh unless frozen (a frozen limiter computed before is kept).
    std::vector<GasGradient> limitedGradients(const std::vector<GasPrimitive>& w) const;

    // The states on either side of the edge's midpoint from the limited gradients; the first-order
    // states (the vertices' own) where the extrapolation would make a density or pressure not
    // above 0.
    std::pair<GasPrimitive, GasPrimitive> edgeStates(const DualEdge& edge, const std::vector<GasPrimitive>& w,
                                                     const std::vector<GasGradient>& g) const;

    // Limits only near shocks, for steady flow: a steady shock stands only where the flow meets it
    // faster than sound, so the limiter acts at a vertex only where it or a neighbour moves faster
    // than kSmoothMach or their pressures differ by more than kSmoothPressureRatio; elsewhere the
    // gradients are taken as they are, and smooth extrema (a stagnation point, the fastest point
    // round a body) keep second order instead of being clipped to first. `gamma`: the gas's ratio
    // of specific heats. Transient flow limits everywhere: its waves steepen at any speed.
    void limitNearShocksOnly(double gamma) { shockSensorGamma_ = gamma; }
    static constexpr double kSmoothMach = 0.8;
    static constexpr double kSmoothPressureRatio = 1.2;

    // Gradients and limiter values only at the vertices marked in `needed` (the others' are left
    // 0): a process that computes the fluxes of its own control volumes needs them there and at
    // its neighbours only. Each marked vertex's values are the same as without the restriction;
    // an empty `needed` lifts it.
    void restrictTo(const std::vector<char>& needed);

    void freezeLimiter(bool frozen) { frozen_ = frozen; }
    bool limiterFrozen() const { return frozen_; }

  private:
    bool nearShock(int vertex, const std::vector<double>& values) const;

    const DualMesh& dual_;
    double k_;
    std::vector<std::array<double, 6>> inverse_;  // per vertex: the symmetric inverse of sum w dx dx^T
    std::vector<std::vector<int>> neighbours_;
    std::vector<char> needed_;        // empty: every vertex
    std::vector<std::size_t> edges_;  // the edges with a needed end (all when needed_ is empty)
    std::vector<double> epsilon2_;    // per vertex: (K h / L)^3, times the square of a field's range
    bool frozen_ = false;
    double shockSensorGamma_ = 0;  // 0: the limiter acts everywhere
    mutable std::vector<std::array<double, kGasFields>> limiter_;
};

// The primitive variables of a state as an array (rho, u, v, w, p), and back.
std::array<double, kGasFields> asArray(const GasPrimitive& w);
GasPrimitive fromArray(const std::array<double, kGasFields>& a);

}  // namespace tarvsolv
