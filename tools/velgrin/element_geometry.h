#pragma once
// Volumes, Jacobians and shape quality of the tetrahedra in the add-on's local node order.
#include <array>
#include <cstdint>

#include "tet_mesh.h"

namespace velgrin {

// Local positions (0-based) of the corners and of the mid-side nodes between corners (i, j).
inline constexpr std::array<int, 4> kQuadraticCorners{0, 2, 4, 9};
struct MidSide {
    int node, a, b;
};  // local positions: mid-side node between corners a and b
inline constexpr std::array<MidSide, 6> kQuadraticMidSides{
    {{1, 0, 2}, {3, 2, 4}, {5, 4, 0}, {6, 0, 9}, {7, 2, 9}, {8, 4, 9}}};

// Signed volume of the straight tetrahedron on the element's corners; positive in the add-on's order.
double cornerVolume(const TetMesh& mesh, int element);

// Volume of the element as its nodes make it (curved for quadratic elements).
double elementVolume(const TetMesh& mesh, int element);

// Smallest Jacobian determinant over the element's nodes and centroid, divided by that of its
// straight corner tetrahedron: 1 for straight elements, 0 or less for inverted ones. 1 for linear.
double jacobianRatio(const TetMesh& mesh, int element);

// Shape quality of the corner tetrahedron: 12 (3V)^(2/3) / (sum of squared edge lengths), 1 for the
// regular tetrahedron, 0 for a flat one, negative for an inverted one.
double shapeQuality(const TetMesh& mesh, int element);

// The element's quality: shape quality times the Jacobian ratio (quadratic elements).
double elementQuality(const TetMesh& mesh, int element);

}  // namespace velgrin
