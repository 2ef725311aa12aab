#pragma once
// Superconvergent patch recovery (Zienkiewicz and Zhu): a smoothed nodal field from a flux that
// the finite-element solution gives element by element and that jumps between elements. Around
// each corner node a polynomial of the elements' order is fitted by least squares to the flux at
// the sampling points of the elements that share the node (its patch); the fit's value at the node
// is the node's recovered value. A mid-side node takes the mean of the fits of its edge's two
// corners. Where a patch has too few points for the fit (corners and edges of the boundary), it
// grows by the elements around its elements' corners until the fit is determined.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <vector>

#include "fem/fe_mesh.h"
#include "fem/quadrature.h"

namespace tarvsolv {

// The points at which an element's flux is sampled for the fits: the centroid of a linear
// tetrahedron, the four points of the degree-2 rule of a quadratic one, where the flux of the
// element's order is most accurate.
const std::vector<QuadPoint>& samplingRule(const FeMesh& mesh);

// The flux of every element at its sampling points: `positions` holds each point's position (the
// elements' points one after another, in element and rule order), `values` its `components`
// values.
struct SampledFlux {
    int components = 0;
    std::vector<Vec3> positions;
    std::vector<double> values;
};

// The recovered field, `components` values per node of `mesh` (0 at nodes no element names).
// Collective over `comm`: each process fits the patches of the corners in its equal range of the
// node numbers, and every process answers the whole field, bit for bit one process's (a node's
// value is one fit, or the sum of its edge's two fits, whichever process made them).
std::vector<double> recoverPatchwise(const FeMesh& mesh, const SampledFlux& samples,
                                     MPI_Comm comm = MPI_COMM_SELF);

}  // namespace tarvsolv
