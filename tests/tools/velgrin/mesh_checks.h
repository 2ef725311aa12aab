#pragma once
// Reference geometry for checking the mesher's output, written from the add-on's element
// convention (corners 1, 3, 5, 10; mid-side nodes 2, 4, 6, 7, 8, 9) independently of the mesher.
#include <array>
#include <vector>

#include <TopoDS_Shape.hxx>

#include "formats/mesh.h"

namespace velgrin_test {

// Volume of element `e` (from 1) as its nodes shape it, by a product Gauss rule on the collapsed cube.
double elementVolume(const mesh_solve::Mesh& mesh, int e);
// Smallest Jacobian determinant of element `e` over its nodes (quadratic) or its constant one (linear).
double smallestJacobian(const mesh_solve::Mesh& mesh, int e);

// The nodes of boundary facet `f` (from 0) in the face table's order.
std::vector<std::array<double, 3>> facetNodes(const mesh_solve::Mesh& mesh, int f);

// Distance from a point to a face or any other shape.
double distanceTo(const TopoDS_Shape& shape, const std::array<double, 3>& point);

double cadVolume(const TopoDS_Shape& shape);

// The host's faces: per solid in file order, continuing over the solids.
std::vector<TopoDS_Shape> hostFaces(const TopoDS_Shape& shape);

}  // namespace velgrin_test
