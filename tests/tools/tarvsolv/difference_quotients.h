#pragma once
// The kernels' tangents against central difference quotients of the values they differentiate.
#include <gtest/gtest.h>

#include <iterator>
#include <vector>

namespace tarvsolv::testing {

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
