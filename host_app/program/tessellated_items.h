#pragma once
// Looking up the view's tessellation: an item by its number, a triangle's corners and normal.
#include <cstddef>
#include <vector>

#include "program/vector_math.h"
#include "program/view_tessellation.h"

namespace hostapp {

// The entry of `list` with this number over the part, or null.
template <class T>
const T* numbered(const std::vector<T>& list, int number) {
    for (const auto& e : list)
        if (e.number == number) return &e;
    return nullptr;
}

inline host::Point3 triangleNormal(const TessellatedFace& face, std::size_t t) {
    const float* n = &face.normals[9 * t];
    return vec::unit({n[0] + n[3] + n[6], n[1] + n[4] + n[7], n[2] + n[5] + n[8]});
}

inline host::Point3 corner(const TessellatedFace& face, std::size_t t, int k) {
    const float* p = &face.positions[9 * t + 3 * static_cast<std::size_t>(k)];
    return {p[0], p[1], p[2]};
}

}  // namespace hostapp
