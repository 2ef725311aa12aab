#pragma once
// Local faces of the tetrahedra, shared by the mesher, the solver and the results views.
// Element nodes are numbered from 1. Linear: corners 1, 2, 3, 4. Quadratic: corners 1, 3, 5, 10
// and mid-side nodes 2 (1-3), 4 (3-5), 6 (5-1), 7 (1-10), 8 (3-10), 9 (5-10).
// A boundary facet names its element and a face 1 to 4; the face's row lists its local nodes in
// order (quadratic faces alternate corner and mid-side node).
#include <array>
#include <cstdint>
#include <span>

namespace mesh_solve {

inline constexpr int kFacesPerElement = 4;

inline constexpr std::array<std::array<std::int32_t, 3>, kFacesPerElement> kLinearFaceNodes{{
    {1, 3, 2},
    {1, 2, 4},
    {2, 3, 4},
    {3, 1, 4},
}};

inline constexpr std::array<std::array<std::int32_t, 6>, kFacesPerElement> kQuadraticFaceNodes{{
    {1, 6, 5, 4, 3, 2},
    {1, 2, 3, 8, 10, 7},
    {3, 4, 5, 9, 10, 8},
    {5, 6, 1, 7, 10, 9},
}};

// The local node numbers of face `face` (1 to 4) of an element with `nodesPerElement` nodes: the
// linear table for 4 nodes, the quadratic one otherwise; empty for a face number outside 1..4.
constexpr std::span<const std::int32_t> localFaceNodes(std::int32_t nodesPerElement, std::int32_t face) {
    if (face < 1 || face > kFacesPerElement) return {};
    if (nodesPerElement == 4) return kLinearFaceNodes[face - 1];
    return kQuadraticFaceNodes[face - 1];
}

}  // namespace mesh_solve
