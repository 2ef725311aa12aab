#pragma once
// Positions on the (possibly curved) triangular facets of the contact faces, on the undeformed
// mesh or moved by a displacement field.
#include <array>
#include <vector>

#include "fem/fe_mesh.h"
#include "fem/shape_functions.h"

namespace tarvsolv {

// Node positions: the mesh's, moved by the displacements `u` (3 per node, global axes) when given.
struct Placement {
    const FeMesh& mesh;
    const std::vector<double>* u = nullptr;
    Vec3 operator()(int node) const;
};

// The position and the two tangents of a facet at a reference point, with the shape functions.
struct SurfacePoint {
    Vec3 x, dr, ds;
    TriShape shape;
};

SurfacePoint surfaceAt(const Placement& at, const std::vector<int>& nodes, double xi, double eta);
// The reference point of the facet nearest to `x`: Gauss-Newton steps from its centre, kept inside
// the triangle.
std::array<double, 2> nearestOnFacet(const Placement& at, const std::vector<int>& nodes, const Vec3& x);

}  // namespace tarvsolv
