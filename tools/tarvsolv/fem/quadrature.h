#pragma once
// Integration rules on the reference tetrahedron (volume 1/6) and triangle (area 1/2), in
// volume / area coordinates. Weights include the reference measure.
#include <array>
#include <vector>

namespace tarvsolv {

struct QuadPoint {
    std::array<double, 3> xi;  // xi, eta, zeta (triangle: xi, eta, 0)
    double weight;
};

// Exact for polynomials of the given degree: tetrahedra up to degree 5, triangles up to degree 5.
const std::vector<QuadPoint>& tetRule(int degree);
const std::vector<QuadPoint>& triangleRule(int degree);
// Gauss-Legendre on [0, 1] with three points (lines of quadratic edges).
const std::vector<QuadPoint>& lineRule();

}  // namespace tarvsolv
