#pragma once
// Laminar flow in a straight duct of square section: the closed-form flow rate and centreline
// speed, and the same two figures measured on a solved velocity field, for the flow comparison.
#include <string>
#include <vector>

#include "fem/fe_mesh.h"

namespace tarvsolv {

struct DuctFlow {
    double flowRate = 0;     // through the section, along its outward normal
    double centreSpeed = 0;  // on the duct's axis
};

// Fully developed flow in a square duct of side `side` under the pressure gradient `gradient`
// (pressure drop over length) of a fluid of dynamic viscosity `viscosity`: the series solution of
// the Poisson equation on the section, summed until the terms no longer change the result.
DuctFlow squareDuctFlow(double side, double gradient, double viscosity);

// The values of the last block `name` of a result file, `per` values a node in node order; throws
// std::runtime_error when the file cannot be read, holds no such block or a bad line.
std::vector<double> lastNodeBlock(const std::string& resultPath, const std::string& name, int per);

// The velocities (x, y, z per node) of the last "VELO" block of a result file; throws
// std::runtime_error when the file cannot be read or holds no such block.
std::vector<double> lastVelocities(const std::string& resultPath);

// The flow through the facets tagged `face` (the velocity's quadratic interpolation integrated
// along the outward normal) and the speed at the face's node nearest to its centroid; throws
// std::runtime_error when no facet carries the tag or the field does not fit the mesh.
DuctFlow faceFlow(const FeMesh& mesh, const std::vector<double>& velocities, int face);

}  // namespace tarvsolv
