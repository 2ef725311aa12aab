#pragma once
// Directions of earlier solves with one symmetric positive definite matrix A, kept orthonormal in
// its energy (x_i' A x_j = delta_ij), so that a new solve can start from the best approximation of
// its solution they span: x0 = sum_i (x_i' b) x_i minimises the energy norm of the error over the
// span, and its residual b - A x0 is orthogonal to every x_i.
#include <petscmat.h>

#include <vector>

#include "base/petsc_handles.h"

namespace tarvsolv {

class EnergyBasis {
  public:
    // `a` must outlive the basis; at most `capacity` directions are kept.
    EnergyBasis(Mat a, int capacity);

    // x = the projection of A^-1 b on the span (0 while it is empty).
    void project(Vec b, Vec x);
    // After a solve that started from `start` (project's x) and ended at `x`: adds the part of
    // x - start that the span lacks, scaled to energy 1. A full basis starts again from x alone:
    // replacing one direction at a time was tried, and the projections then fell behind step by
    // step (a solution needs nearly all its directions, and the new ones carry the solve's error).
    void update(Vec start, Vec x);

    int size() const { return static_cast<int>(basis_.size()); }

  private:
    // Adds `d` (overwritten) orthogonalised against the basis; one product with A, two when more
    // than half of d's energy lay in the span (a second Gram-Schmidt pass then restores the
    // orthogonality the first one loses). A direction whose new part is below 1e-8 of it in
    // energy adds nothing.
    void add(VecHandle d);
    // The energy left of `d` after removing its components along the basis once, `product` being
    // A d on entry.
    double orthogonalise(Vec d, Vec product);
    std::vector<Vec> vectors() const;

    Mat a_;
    int capacity_;
    std::vector<VecHandle> basis_;
    std::vector<PetscScalar> coefficients_;
    VecHandle product_;
};

}  // namespace tarvsolv
