#pragma once
// Cholesky factor and solve of a small dense symmetric positive definite matrix (row-major, n x n):
// the normal equations of the patch fits and the inverse of a material matrix.
#include <cmath>
#include <vector>

namespace tarvsolv {

// Overwrites the lower triangle of `a` with its factor L (a = L L^T). False when a pivot falls to
// `relativePivot` of its diagonal entry or below: the matrix is singular or nearly so.
inline bool choleskyFactor(std::vector<double>& a, int n, double relativePivot = 1e-12) {
    for (int j = 0; j < n; ++j) {
        double d = a[j * n + j];
        const double scale = std::abs(d);
        for (int k = 0; k < j; ++k) d -= a[j * n + k] * a[j * n + k];
        if (!(d > relativePivot * scale)) return false;
        const double l = std::sqrt(d);
        a[j * n + j] = l;
        for (int i = j + 1; i < n; ++i) {
            double s = a[i * n + j];
            for (int k = 0; k < j; ++k) s -= a[i * n + k] * a[j * n + k];
            a[i * n + j] = s / l;
        }
    }
    return true;
}

// Solves L L^T x = b in place for `columns` right-hand sides stored row by row (b[i * columns + c]).
inline void choleskySolve(const std::vector<double>& l, int n, double* b, int columns) {
    for (int c = 0; c < columns; ++c) {
        for (int i = 0; i < n; ++i) {
            double s = b[i * columns + c];
            for (int k = 0; k < i; ++k) s -= l[i * n + k] * b[k * columns + c];
            b[i * columns + c] = s / l[i * n + i];
        }
        for (int i = n - 1; i >= 0; --i) {
            double s = b[i * columns + c];
            for (int k = i + 1; k < n; ++k) s -= l[k * n + i] * b[k * columns + c];
            b[i * columns + c] = s / l[i * n + i];
        }
    }
}

}  // namespace tarvsolv
