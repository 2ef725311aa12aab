#pragma once
// The element sizes of a refined mesh from the estimated error of each element of the current one.
//
// The errors come as each element's share of the solution's energy, s_e = eta_e^2 / |u_h|^2. The
// error allowed each element, with the error spread evenly over the N elements of a mesh whose
// relative error is the target t, is e^2 = t^2 (1 + sum s_e) / N (|u|^2 ~ |u_h|^2 + eta^2). An
// element with xi_e = sqrt(s_e) / e gets the size h_e xi_e^(-2 / (2p + 3)) for elements of order p
// in 3-D: Li and Bettess's rule, which counts the change in N that the new sizes make. The change
// of a cycle is held between a quarter and twice the element's size, so that one estimate, which is
// sharp only where the mesh resolves the solution, does not move the mesh too far at once.
#include <span>
#include <vector>

#include "fem/fe_mesh.h"

namespace tarvsolv {

inline constexpr double kSmallestSizeChange = 0.25;
inline constexpr double kLargestSizeChange = 2.0;

// The relative error in the energy norm of the shares: sqrt(S / (1 + S)), S their sum.
double relativeErrorOfShares(std::span<const double> shares);

// The size of each element: the mean length of its six corner edges.
std::vector<double> elementSizes(const FeMesh& mesh);

// The new size of each element for the relative error `target` (0 < target < 1).
std::vector<double> refinedElementSizes(const FeMesh& mesh, std::span<const double> shares, double target);

// The size at each node: the smallest of the elements that hold it (0 at nodes no element holds).
std::vector<double> nodeSizes(const FeMesh& mesh, std::span<const double> sizes);

}  // namespace tarvsolv
