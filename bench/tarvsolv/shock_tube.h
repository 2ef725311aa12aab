#pragma once
// A shock tube's solution along its axis, and its errors against the exact solution of the
// Riemann problem, for the gas comparison.
#include <string>
#include <vector>

#include "fem/fe_mesh.h"

namespace tarvsolv {

struct AxisPoint {
    double x = 0, rho = 0, u = 0, p = 0;
};

struct TubeStates {
    double diaphragm = 0;  // x of the initial discontinuity
    double time = 0;       // since the diaphragm burst
    double gamma = 1.4;
    double rhoLeft = 0, pLeft = 0, rhoRight = 0, pRight = 0;
};

// The density, axial velocity and pressure of the last DENS, VELO and PRES blocks, the mean over
// the nodes of each cross-section (nodes of one x), in order of x.
std::vector<AxisPoint> tubeAxis(const FeMesh& mesh, const std::string& resultPath);

// The L1 errors of density, velocity and pressure along the axis (the trapezoidal rule over the
// points), each over the tube's length and relative to its jump across the tube: the initial
// density and pressure differences and the exact star velocity.
struct TubeErrors {
    double rho = 0, u = 0, p = 0;
};
TubeErrors tubeErrors(const std::vector<AxisPoint>& points, const TubeStates& states);

}  // namespace tarvsolv
