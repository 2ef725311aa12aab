#pragma once
// The Jacobian of a gas problem's first-order residual in conserved variables: a matrix of 5 x 5
// blocks (PETSc BAIJ) on the edge graph of the median dual, each dual face adding Rusanov's two
// flux derivatives to the blocks of its two vertices, each boundary piece its own: a wall's exact
// pressure derivative, every other kind Rusanov's flux against its ghost state, with the ghost's own
// dependence on the inside state (an inlet's pressure, an outlet's density and velocity) by the chain rule.
// The implicit pseudo-time steps add V/dtau on the diagonal; the momentum rows of a vertex whose
// velocity is held are identity rows (its residual there is the momentum itself).
#include <cstddef>
#include <vector>

#include "base/petsc_handles.h"
#include "physics/gas_flux_jacobian.h"
#include "physics/gas_problem.h"

namespace tarvsolv {

class GasJacobianAssembler {
  public:
    // Creates the matrix, preallocated with one block per vertex and per dual edge each way. On
    // several processes the matrix is MPIBAIJ and each process owns the block rows of a contiguous
    // range of vertices and computes only the blocks of its own rows.
    explicit GasJacobianAssembler(const GasProblem& problem);

    // Fills the matrix with the Jacobian at `U` and time `t`, plus `diagonal[v]` times the identity
    // in the rows of vertex v (empty: nothing added; held momentum rows take none).
    void assemble(const std::vector<double>& U, double t, const std::vector<double>& diagonal);
    Mat matrix() const { return matrix_; }
    // The vertices [first, last) whose rows this process owns (all of them on one process).
    int firstOwned() const { return first_; }
    int lastOwned() const { return last_; }

  private:
    struct EdgeSlots {
        std::size_t ab, ba;  // the blocks (a, b) and (b, a) among all blocks
    };
    bool owned(int v) const { return v >= first_ && v < last_; }
    std::size_t diagonalSlot(int v) const { return diagonal_[static_cast<std::size_t>(v)]; }
    void addBlock(std::vector<double>& blocks, int row, std::size_t slot, const GasBlock& m,
                  double sign) const;
    void createMatrix();
    void addBoundary(const std::vector<double>& U, double t, std::vector<double>& blocks) const;
    void holdVelocities(std::vector<double>& blocks) const;
    GasConserved ghostOf(std::size_t piece, const GasConserved& inside, double t) const;
    GasBlock ghostJacobian(std::size_t piece, const GasConserved& inside, const GasConserved& ghost,
                           double t) const;

    const GasProblem& problem_;
    std::vector<std::size_t> rowStart_;  // per vertex, into columns_
    std::vector<int> columns_;           // the vertices each row couples with, ascending
    std::vector<std::size_t> diagonal_;  // per vertex, its own block
    std::vector<EdgeSlots> edgeSlots_;   // per dual edge
    int first_ = 0, last_ = 0;           // the vertices whose rows this process owns
    std::size_t ownedSlots_ = 0;         // the first owned row's first block among all blocks
    std::vector<double> blocks_;         // the owned rows' blocks, kept between assemblies
    MatHandle matrix_;
};

}  // namespace tarvsolv
