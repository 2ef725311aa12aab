#pragma once
// The kernels' tangents against central difference quotients of the values they differentiate.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <vector>

#include "fem/box_mesh.h"

namespace tarvsolv::testing {

// One bent quadratic element, so that the isoparametric map is not affine.
inline FeMesh bentQuadraticTetrahedron() {
    const FeMesh box = makeBoxMesh({{}, {1, 1, 1}, 1, 1, 1, true});
    FeMesh one;
    for (int n : box.elementNodes(3)) {
        one.conn.push_back(one.nodeCount());
        const Vec3 p = box.node(n);
        for (double v : {p.x + 0.1 * p.y * p.y, p.y - 0.05 * p.z * p.x, p.z + 0.08 * p.x * p.x})
            one.xyz.push_back(v);
    }
    return one;
}

// A flow element's state of `dofs` unknowns (larger values after the first 30), a history of
// `historySize` values and a gravity that varies in space: away from any symmetry that could hide
// a wrong derivative.
struct FlowElementPoint {
    std::vector<double> state, history;
    std::function<Vec3(const Vec3&)> gravity = [](const Vec3& x) { return Vec3{x.y, -9.81, x.x * x.z}; };
};
inline FlowElementPoint flowElementPoint(int dofs, int historySize) {
    FlowElementPoint p;
    for (int k = 0; k < dofs; ++k) p.state.push_back(std::sin(1.3 * k + 0.4) * (k < 30 ? 2.0 : 5.0));
    for (int k = 0; k < historySize; ++k) p.history.push_back(std::cos(0.7 * k));
    return p;
}

// Expects `jacobian` (row-major, a row per value of `f`) to be the derivative of `f` at `x`: entry
// (i, j) within `tolerance` of (f(x + h e_j)[i] - f(x - h e_j)[i]) / (2 h).
template <typename Jacobian, typename F>
void expectDerivativeOf(const Jacobian& jacobian, F f, const std::vector<double>& x, double h,
                        double tolerance) {
    const std::size_t n = x.size();
    for (std::size_t j = 0; j < n; ++j) {
        std::vector<double> up = x, down = x;
        up[j] += h;
        down[j] -= h;
        const std::vector<double> fu = f(up), fd = f(down);
        ASSERT_EQ(std::size(jacobian), fu.size() * n);
        for (std::size_t i = 0; i < fu.size(); ++i)
            EXPECT_NEAR(jacobian[i * n + j], (fu[i] - fd[i]) / (2 * h), tolerance)
                << "d " << i << " / d " << j;
    }
}

}  // namespace tarvsolv::testing
