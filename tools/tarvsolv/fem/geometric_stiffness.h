#pragma once
// The geometric (initial-stress) stiffness of a tetrahedron: the second variation of the work of a
// prestress on the nonlinear part of the strains, sum over points of w * dN_i . S . dN_j on every
// displacement component. A compressive prestress makes it negative: it softens the element.
#include <span>
#include <vector>

#include "fem/element_kernels.h"

namespace tarvsolv {

// The extremes of the prestress over an element's points: the largest compression (minus the
// smallest principal stress, 0 when none is negative) and the largest principal stress magnitude.
struct PrestressExtremes {
    double compression = 0, magnitude = 0;
};

// Geometric stiffness (3P x 3P) of the prestress that the element's displacements `ue` (3P) and the
// temperature change per element node `dT` (empty: none) give in material `m`. The stress is taken
// at each point of the stiffness rule, where it is linear (quadratic elements) or constant.
// Answers the prestress extremes: Kg is positive semidefinite where no point is in compression, so
// only compression can buckle.
PrestressExtremes geometricStiffness(const FeMesh& mesh, int element, const ElasticMaterial& m,
                                     std::span<const double> ue, std::span<const double> dT,
                                     std::vector<double>& kg);

}  // namespace tarvsolv
