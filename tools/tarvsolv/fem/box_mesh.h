#pragma once
// Structured tetrahedral meshes of a box (each cell split into six tetrahedra along its main
// diagonal), for tests and benchmarks. Boundary facets carry the number of the box side they lie
// on: 1 x = min, 2 x = max, 3 y = min, 4 y = max, 5 z = min, 6 z = max. Node positions can be
// mapped afterwards (cylinders), mid-side nodes included, so curved sides stay exact.
#include <functional>

#include "fem/fe_mesh.h"

namespace tarvsolv {

struct BoxSpec {
    Vec3 origin;
    Vec3 size{1, 1, 1};
    int nx = 1, ny = 1, nz = 1;
    bool quadratic = true;
};

FeMesh makeBoxMesh(const BoxSpec& box);

// Moves every node through `map`.
void mapNodes(FeMesh& mesh, const std::function<Vec3(const Vec3&)>& map);

}  // namespace tarvsolv
