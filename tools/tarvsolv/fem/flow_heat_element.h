#pragma once
// The energy equation of a flow that carries heat, and the buoyancy it drives, on a quadratic
// tetrahedron (temperature on all 10 nodes, as the velocity):
//   energy:   rho c (dT/dt + u.grad T) w + k grad T.grad w - Q w
//             + tau (u.grad w) (rho c (dT/dt + u.grad T) - Q)          (SUPG)
//   momentum: + rho beta (T - T0) a.v                                  (Boussinesq)
// The momentum part is what the buoyancy adds to the flow element's - rho a.v, so that the two
// together make the body force rho a (1 - beta (T - T0)). The streamline term acts only where the
// element Peclet number |u| h / (2 alpha) (h half the element's size, alpha = k / (rho c)) exceeds
// 1: tau = h / (2 |u|) (1 - 1/Pe), zero below, so conduction-dominated flow keeps the plain
// Galerkin form. The element's unknowns: the 30 velocities (x, y, z per node), then the 10
// temperatures; the Jacobian (40 x 40, row-major) is the full Newton derivative, tau's included.
#include <functional>
#include <span>
#include <vector>

#include "fem/fe_mesh.h"

namespace tarvsolv {

inline constexpr int kFlowHeatElementDofs = 40;

struct FlowHeatCoefficients {
    double density = 0;       // the momentum equation's, in the model's mass unit
    double heatCapacity = 0;  // rho c per volume, as transient heat takes it
    double conductivity = 0;
    double expansion = 0;   // beta
    double reference = 0;   // T0, at which the buoyancy vanishes
    double convection = 1;  // the share of the advection term (continued from 0 as the flow's)
    double timeFactor = 0;  // dT/dt = timeFactor T + history (0: steady)
};

// `state`: 40 unknowns; `history`: 10 nodal values of dT/dt's history part (empty: none);
// `acceleration` and `heat` (internal heat per volume) at a point, either may be null.
void flowHeatElement(const FeMesh& mesh, int element, const FlowHeatCoefficients& c,
                     std::span<const double> state, std::span<const double> history,
                     const std::function<Vec3(const Vec3&)>* acceleration,
                     const std::function<double(const Vec3&)>* heat, std::vector<double>& residual,
                     std::vector<double>* jacobian);

}  // namespace tarvsolv
