#include "physics/gas_jacobian_assembly.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <tuple>

#include "physics/gas_flux_jacobian.h"

namespace tarvsolv {
namespace {

constexpr std::size_t kBlock = kGasFields * kGasFields;

GasBlock product(const GasBlock& a, const GasBlock& b) {
    GasBlock c{};
    for (int i = 0; i < kGasFields; ++i)
        for (int k = 0; k < kGasFields; ++k)
            for (int j = 0; j < kGasFields; ++j)
                c[i * kGasFields + j] += a[i * kGasFields + k] * b[k * kGasFields + j];
    return c;
}

bool isWall(GasBoundaryKind kind) {
    return kind == GasBoundaryKind::SlipWall || kind == GasBoundaryKind::NoSlipWall;
}

}  // namespace

GasJacobianAssembler::GasJacobianAssembler(const GasProblem& problem) : problem_(problem) {
    const DualMesh& dual = problem.dual();
    if (problem.boundaryKinds().size() != dual.boundary.size())
        throw std::logic_error("the gas problem gives " + std::to_string(problem.boundaryKinds().size()) +
                               " boundary kinds for " + std::to_string(dual.boundary.size()) + " pieces");
    const auto n = static_cast<std::size_t>(dual.vertexCount());
    std::vector<std::vector<int>> rows(n);
    for (std::size_t v = 0; v < n; ++v) rows[v].push_back(static_cast<int>(v));
    for (const DualEdge& e : dual.edges) {
        rows[static_cast<std::size_t>(e.a)].push_back(e.b);
        rows[static_cast<std::size_t>(e.b)].push_back(e.a);
    }
    rowStart_.assign(n + 1, 0);
    for (std::size_t v = 0; v < n; ++v) {
        std::sort(rows[v].begin(), rows[v].end());
        rows[v].erase(std::unique(rows[v].begin(), rows[v].end()), rows[v].end());
        columns_.insert(columns_.end(), rows[v].begin(), rows[v].end());
        rowStart_[v + 1] = columns_.size();
    }
    const auto slot = [&](int row, int column) {
        const auto first =
            columns_.begin() + static_cast<std::ptrdiff_t>(rowStart_[static_cast<std::size_t>(row)]);
        const auto last =
            columns_.begin() + static_cast<std::ptrdiff_t>(rowStart_[static_cast<std::size_t>(row) + 1]);
        return static_cast<std::size_t>(std::lower_bound(first, last, column) - columns_.begin());
    };
    for (std::size_t v = 0; v < n; ++v) diagonal_.push_back(slot(static_cast<int>(v), static_cast<int>(v)));
    for (const DualEdge& e : dual.edges) edgeSlots_.push_back({slot(e.a, e.b), slot(e.b, e.a)});
    createMatrix();
}

// One process: SeqBAIJ over all vertices. Several: MPIBAIJ, each process the block rows of the
// problem's own vertex range, each row's blocks counted inside and outside the process's columns.
void GasJacobianAssembler::createMatrix() {
    const auto n = static_cast<PetscInt>(diagonal_.size());
    int size = 1;
    MPI_Comm_size(PETSC_COMM_WORLD, &size);
    if (size == 1) {
        std::vector<PetscInt> blocksPerRow(diagonal_.size());
        for (std::size_t v = 0; v < diagonal_.size(); ++v)
            blocksPerRow[v] = static_cast<PetscInt>(rowStart_[v + 1] - rowStart_[v]);
        last_ = static_cast<int>(n);
        TARV_PETSC(MatCreateSeqBAIJ(PETSC_COMM_SELF, kGasFields, kGasFields * n, kGasFields * n, 0,
                                    blocksPerRow.data(), matrix_.out()));
    } else {
        std::tie(first_, last_) = problem_.ownedVertices();
        PetscInt local = last_ - first_, end = 0, total = 0;
        MPI_Scan(&local, &end, 1, MPIU_INT, MPI_SUM, PETSC_COMM_WORLD);
        MPI_Allreduce(&local, &total, 1, MPIU_INT, MPI_SUM, PETSC_COMM_WORLD);
        int gap = end != last_ ? 1 : 0, anyGap = 0;
        MPI_Allreduce(&gap, &anyGap, 1, MPI_INT, MPI_MAX, PETSC_COMM_WORLD);
        if (anyGap || total != n)
            throw std::logic_error("the processes' vertex ranges do not cover the " + std::to_string(n) +
                                   " vertices one after the other");
        std::vector<PetscInt> inside(static_cast<std::size_t>(local), 0), outside(inside.size(), 0);
        for (int v = first_; v < last_; ++v)
            for (std::size_t s = rowStart_[static_cast<std::size_t>(v)];
                 s < rowStart_[static_cast<std::size_t>(v) + 1]; ++s)
                ++(columns_[s] >= first_ && columns_[s] < last_ ? inside : outside)[v - first_];
        TARV_PETSC(MatCreateBAIJ(PETSC_COMM_WORLD, kGasFields, kGasFields * local, kGasFields * local,
                                 PETSC_DETERMINE, PETSC_DETERMINE, 0, inside.data(), 0, outside.data(),
                                 matrix_.out()));
    }
    ownedSlots_ = rowStart_[static_cast<std::size_t>(first_)];
    TARV_PETSC(MatSetOption(matrix_, MAT_NEW_NONZERO_ALLOCATION_ERR, PETSC_TRUE));
    // Each process sets its own rows alone, so the assembly need not agree on values to send.
    TARV_PETSC(MatSetOption(matrix_, MAT_NO_OFF_PROC_ENTRIES, PETSC_TRUE));
}

void GasJacobianAssembler::assemble(const std::vector<double>& U, double t,
                                    const std::vector<double>& diagonal) {
    const DualMesh& dual = problem_.dual();
    if (U.size() != kGasFields * diagonal_.size() ||
        (!diagonal.empty() && diagonal.size() != diagonal_.size()))
        throw std::logic_error("a gas state of " + std::to_string(U.size()) + " values for " +
                               std::to_string(diagonal_.size()) + " vertices");
    const IdealGas& gas = problem_.gas();
    // One buffer for every assembly: a fresh one of this size is mapped anew by the allocator and
    // each of its pages faults on first touch, which cost more than the Jacobian's own arithmetic.
    blocks_.assign((rowStart_[static_cast<std::size_t>(last_)] - ownedSlots_) * kBlock, 0.0);
    // The flux from a to b leaves a's control volume and enters b's.
    for (std::size_t k = 0; k < dual.edges.size(); ++k) {
        const DualEdge& e = dual.edges[k];
        if (!owned(e.a) && !owned(e.b)) continue;
        const RusanovJacobians j = rusanovJacobians(gas, conservedAt(U, e.a), conservedAt(U, e.b), e.normal);
        addBlock(blocks_, e.a, diagonalSlot(e.a), j.a, 1);
        addBlock(blocks_, e.a, edgeSlots_[k].ab, j.b, 1);
        addBlock(blocks_, e.b, edgeSlots_[k].ba, j.a, -1);
        addBlock(blocks_, e.b, diagonalSlot(e.b), j.b, -1);
    }
    addBoundary(U, t, blocks_);
    for (auto v = static_cast<std::size_t>(first_); v < static_cast<std::size_t>(last_) && !diagonal.empty();
         ++v)
        for (int i = 0; i < kGasFields; ++i)
            blocks_[(diagonal_[v] - ownedSlots_) * kBlock + i * (kGasFields + 1)] += diagonal[v];
    holdVelocities(blocks_);

    TARV_PETSC(MatZeroEntries(matrix_));
    for (auto v = static_cast<std::size_t>(first_); v < static_cast<std::size_t>(last_); ++v) {
        const auto row = static_cast<PetscInt>(v);
        for (std::size_t s = rowStart_[v]; s < rowStart_[v + 1]; ++s) {
            const auto column = static_cast<PetscInt>(columns_[s]);
            TARV_PETSC(MatSetValuesBlocked(matrix_, 1, &row, 1, &column,
                                           blocks_.data() + (s - ownedSlots_) * kBlock, INSERT_VALUES));
        }
    }
    TARV_PETSC(MatAssemblyBegin(matrix_, MAT_FINAL_ASSEMBLY));
    TARV_PETSC(MatAssemblyEnd(matrix_, MAT_FINAL_ASSEMBLY));
}

void GasJacobianAssembler::addBoundary(const std::vector<double>& U, double t,
                                       std::vector<double>& blocks) const {
    const DualMesh& dual = problem_.dual();
    const IdealGas& gas = problem_.gas();
    const std::vector<GasBoundaryKind>& kinds = problem_.boundaryKinds();
    for (std::size_t k = 0; k < dual.boundary.size(); ++k) {
        const DualBoundaryPiece& piece = dual.boundary[k];
        if (!owned(piece.vertex)) continue;
        const GasConserved inside = conservedAt(U, piece.vertex);
        if (isWall(kinds[k])) {
            addBlock(blocks, piece.vertex, diagonalSlot(piece.vertex),
                     wallFluxJacobian(gas, inside, piece.normal), 1);
            continue;
        }
        const GasConserved ghost = ghostOf(k, inside, t);
        const RusanovJacobians j = rusanovJacobians(gas, inside, ghost, piece.normal);
        addBlock(blocks, piece.vertex, diagonalSlot(piece.vertex), j.a, 1);
        addBlock(blocks, piece.vertex, diagonalSlot(piece.vertex),
                 product(j.b, ghostJacobian(k, inside, ghost, t)), 1);
    }
}

// The blocks hold the owned rows only: a block of another process's row is not added.
void GasJacobianAssembler::addBlock(std::vector<double>& blocks, int row, std::size_t slot, const GasBlock& m,
                                    double sign) const {
    if (!owned(row)) return;
    double* to = blocks.data() + (slot - ownedSlots_) * kBlock;
    for (std::size_t k = 0; k < kBlock; ++k) to[k] += sign * m[k];
}

GasConserved GasJacobianAssembler::ghostOf(std::size_t piece, const GasConserved& inside, double t) const {
    const IdealGas& gas = problem_.gas();
    return gas.conserved(problem_.ghostState(piece, gas.primitive(inside), t));
}

// d ghost / d inside by one-sided differences: the ghost states are closed formulas of the inside
// state (a pressure taken from inside, an isentrope from it, the state itself), each smooth but
// for the switches of a reversing or supersonic flow, and a step of 1e-7 of each value's scale
// resolves them well enough for a preconditioning Jacobian.
GasBlock GasJacobianAssembler::ghostJacobian(std::size_t piece, const GasConserved& inside,
                                             const GasConserved& ghost, double t) const {
    const double speed = std::sqrt(std::max(problem_.gas().gamma * problem_.gas().primitive(inside).p, 0.0) /
                                   std::max(inside[0], 1e-300));
    // The scale of each conserved value: rho, rho c for each momentum, rho c^2 for the energy.
    const std::array<double, kGasFields> scale{inside[0], inside[0] * speed, inside[0] * speed,
                                               inside[0] * speed, inside[0] * speed * speed};
    GasBlock d{};
    for (int j = 0; j < kGasFields; ++j) {
        GasConserved moved = inside;
        const double h = 1e-7 * scale[j];
        moved[j] += h;
        const GasConserved g = ghostOf(piece, moved, t);
        for (int i = 0; i < kGasFields; ++i) d[i * kGasFields + j] = (g[i] - ghost[i]) / h;
    }
    return d;
}

// A held vertex's momentum rows are d(rho u)/dU: the identity there, nothing in its other blocks.
void GasJacobianAssembler::holdVelocities(std::vector<double>& blocks) const {
    const std::vector<char>& held = problem_.heldVelocity();
    for (auto v = static_cast<std::size_t>(first_); v < static_cast<std::size_t>(last_) && v < held.size();
         ++v) {
        if (!held[v]) continue;
        for (std::size_t s = rowStart_[v]; s < rowStart_[v + 1]; ++s)
            for (int i = 1; i <= 3; ++i) {
                double* row = blocks.data() + (s - ownedSlots_) * kBlock + i * kGasFields;
                std::fill_n(row, kGasFields, 0.0);
                if (s == diagonal_[v]) row[i] = 1;
            }
    }
}

}  // namespace tarvsolv
