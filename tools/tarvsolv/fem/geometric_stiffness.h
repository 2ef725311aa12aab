#pragma once
// The geometric (initial-stress) stiffness of a tetrahedron: the second variation of the work of a
// prestress on the nonlinear part of the strains, sum over points of w * dN_i . S . dN_j on every
// displacement component. A compressive prestress makes it negative: it softens the element.
#include <span>
#include <vector>

#include "fem/element_kernels.h"

namespace tarvsolv {

// Geometric stiffness (3P x 3P) of the prestress that the element's displacements `ue` (3P) and the
// temperature change per element node `dT` (empty: none) give in material `m`. The stress is taken
// at each point of the stiffness rule, where it is linear (quadratic elements) or constant.
void geometricStiffness(const FeMesh& mesh, int element, const IsotropicElastic& m,
                        std::span<const double> ue, std::span<const double> dT, std::vector<double>& kg);

}  // namespace tarvsolv
