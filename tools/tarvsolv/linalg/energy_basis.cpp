#include "linalg/energy_basis.h"

#include <algorithm>
#include <cmath>

namespace tarvsolv {

EnergyBasis::EnergyBasis(Mat a, int capacity) : a_(a), capacity_(std::max(capacity, 1)) {
    TARV_PETSC(MatCreateVecs(a, product_.out(), nullptr));
}

std::vector<Vec> EnergyBasis::vectors() const {
    std::vector<Vec> out;
    out.reserve(basis_.size());
    for (const VecHandle& v : basis_) out.push_back(v);
    return out;
}

void EnergyBasis::project(Vec b, Vec x) {
    TARV_PETSC(VecZeroEntries(x));
    if (basis_.empty()) return;
    std::vector<Vec> all = vectors();
    coefficients_.resize(all.size());
    TARV_PETSC(VecMDot(b, static_cast<PetscInt>(all.size()), all.data(), coefficients_.data()));
    TARV_PETSC(VecMAXPY(x, static_cast<PetscInt>(all.size()), coefficients_.data(), all.data()));
}

void EnergyBasis::update(Vec start, Vec x) {
    VecHandle direction;
    TARV_PETSC(VecDuplicate(x, direction.out()));
    if (size() == capacity_) {
        basis_.clear();
        TARV_PETSC(VecCopy(x, direction));
    } else {
        TARV_PETSC(VecWAXPY(direction, -1.0, start, x));
    }
    add(std::move(direction));
}

double EnergyBasis::orthogonalise(Vec d, Vec product) {
    PetscScalar energy = 0;
    TARV_PETSC(VecDot(d, product, &energy));
    if (basis_.empty()) return energy;
    std::vector<Vec> all = vectors();
    coefficients_.resize(all.size());
    TARV_PETSC(VecMDot(product, static_cast<PetscInt>(all.size()), all.data(), coefficients_.data()));
    // With the basis orthonormal in energy, d - sum c_i x_i keeps d' A d - sum c_i^2 of it.
    double removed = 0;
    for (PetscScalar& c : coefficients_) {
        removed += c * c;
        c = -c;
    }
    TARV_PETSC(VecMAXPY(d, static_cast<PetscInt>(all.size()), coefficients_.data(), all.data()));
    return energy - removed;
}

void EnergyBasis::add(VecHandle d) {
    TARV_PETSC(MatMult(a_, d, product_));
    PetscScalar whole = 0;
    TARV_PETSC(VecDot(d, product_, &whole));
    if (!(whole > 0) || !std::isfinite(whole)) return;
    double left = orthogonalise(d, product_);
    if (left < 0.5 * whole) {
        TARV_PETSC(MatMult(a_, d, product_));
        left = orthogonalise(d, product_);
    }
    if (!(left > 1e-16 * whole)) return;
    TARV_PETSC(VecScale(d, 1 / std::sqrt(left)));
    basis_.push_back(std::move(d));
}

}  // namespace tarvsolv
