#pragma once
// Frequency of a recorded swing, shared by the solver's vibration tests and the end-to-end checker.
#include <cmath>
#include <vector>

// The angular frequency w of the sine c + a cos(w t) + b sin(w t) that fits (t, z) best in least
// squares (the mesh's higher modes ride on it as ripples), searched within 30 % of `guess`.
inline double fittedFrequency(const std::vector<double>& t, const std::vector<double>& z, double guess) {
    const auto misfit = [&](double w) {
        double m[3][4] = {};
        for (std::size_t i = 0; i < t.size(); ++i) {
            const double f[3] = {1, std::cos(w * t[i]), std::sin(w * t[i])};
            for (int p = 0; p < 3; ++p) {
                m[p][3] += f[p] * z[i];
                for (int q = 0; q < 3; ++q) m[p][q] += f[p] * f[q];
            }
        }
        for (int p = 0; p < 3; ++p)  // Gauss-Jordan on the normal equations
            for (int q = 0; q < 3; ++q) {
                if (q == p) continue;
                const double l = m[q][p] / m[p][p];
                for (int k = 0; k < 4; ++k) m[q][k] -= l * m[p][k];
            }
        double sum = 0;
        for (std::size_t i = 0; i < t.size(); ++i) {
            const double e = z[i] - m[0][3] / m[0][0] - m[1][3] / m[1][1] * std::cos(w * t[i]) -
                             m[2][3] / m[2][2] * std::sin(w * t[i]);
            sum += e * e;
        }
        return sum;
    };
    double best = guess, lowest = misfit(guess);
    for (double w = 0.7 * guess; w < 1.3 * guess; w += 1e-4 * guess)
        if (const double m = misfit(w); m < lowest) lowest = m, best = w;
    return best;
}
