#pragma once
// Structured tetrahedral meshes of a box (each cell split into six tetrahedra along its main
// diagonal), for tests and benchmarks. Boundary facets carry the number of the box side they lie
// on: 1 x = min, 2 x = max, 3 y = min, 4 y = max, 5 z = min, 6 z = max. Node positions can be
// mapped afterwards (cylinders), mid-side nodes included, so curved sides stay exact.
// A box may be split by a plane of cells into two bodies meshed together, as the mesher meshes
// the solids of a part that share a face: the nodes on the plane are common, the elements are
// numbered body by body, the second body's sides are numbered 7 to 12 (as the add-on numbers the
// faces of a part's second body), and the plane has a facet on each side, each tagged with its own
// body's side (z split: face 6 of body 1 and face 11 of body 2).
#include <functional>

#include "fem/fe_mesh.h"
#include "formats/companion_file.h"

namespace tarvsolv {

struct BoxSpec {
    Vec3 origin;
    Vec3 size{1, 1, 1};
    int nx = 1, ny = 1, nz = 1;
    bool quadratic = true;
    // Cells below `splitCells` along `splitAxis` (0 x, 1 y, 2 z) are body 1, the others body 2;
    // 0: one body.
    int splitAxis = 2, splitCells = 0;
};

FeMesh makeBoxMesh(const BoxSpec& box);
// The mesher's companion of that mesh: its node and element counts and the element range of
// each body.
formats::MeshCompanion boxCompanion(const BoxSpec& box, const FeMesh& mesh);

// Numbers the nodes in a pseudo-random order drawn from `seed` (the same on every machine), as a
// mesher whose numbering does not follow the geometry might: the mesh is the same, only its node
// numbers change.
void scrambleNodes(FeMesh& mesh, unsigned seed);

// Moves every node through `map`.
void mapNodes(FeMesh& mesh, const std::function<Vec3(const Vec3&)>& map);

}  // namespace tarvsolv
