#pragma once
// The element equations of incompressible flow on a quadratic (Taylor-Hood) tetrahedron, with
// the viscous term in gradient form, so that a face with nothing on it is an outlet at zero
// traction that fully developed flow satisfies exactly:
//   rho (du/dt + (u.grad)u).v + mu grad u : grad v - p div v - q div u - rho a.v
// The residual has 34 rows, the element's unknowns in order: velocities x, y, z of its 10 nodes,
// then the pressures of its 4 corners; the Jacobian is the full Newton derivative (both parts of
// the convective term), row-major 34 x 34. Integrated by the 14-point rule on the isoparametric
// (curved) element.
#include <functional>
#include <span>
#include <vector>

#include "fem/fe_mesh.h"

namespace tarvsolv {

inline constexpr int kFlowElementDofs = 34;

struct FlowCoefficients {
    double density = 0;    // in the mass unit of the model
    double viscosity = 0;  // dynamic
    // The share of the density the convective term carries: below 1 while a steady solve is
    // continued from Stokes flow (0) toward the full Reynolds number (1).
    double convection = 1;
    // du/dt = timeFactor u + (history at the point): the time derivative of a backward
    // differentiation step (0: steady).
    double timeFactor = 0;
};

// `state`: the element's unknowns (34); `history`: 30 nodal values of the time derivative's
// history part (empty: none); `acceleration` the body acceleration at a point (null: none).
// `jacobian` may be null.
void flowElement(const FeMesh& mesh, int element, const FlowCoefficients& c, std::span<const double> state,
                 std::span<const double> history, const std::function<Vec3(const Vec3&)>* acceleration,
                 std::vector<double>& residual, std::vector<double>* jacobian);

// The pressure mass matrix of the element's corner pressures (4 x 4) times `scale`, the Schur
// complement's preconditioner of the flow's iterative solver.
void pressureMass(const FeMesh& mesh, int element, double scale, std::vector<double>& me);

}  // namespace tarvsolv
