#pragma once
// The linear space on the corner nodes of a quadratic tetrahedral mesh, the coarse level under the
// quadratic one in the iterative solver's multigrid. Its interpolation keeps a corner's value on
// the corner and gives each mid-side node the mean of its edge's two corners. Building the coarse
// operator from it is cheap (two entries per row at most), and algebraic multigrid then works on a
// matrix about eight times smaller and far sparser than the quadratic one.
#include <array>
#include <utility>
#include <vector>

#include "fem/dof_layout.h"

namespace tarvsolv {

class CornerSpace {
  public:
    // Numbers the corner nodes (ascending node order, so each process's corners are the corners of
    // its node range) and builds the interpolation for 3 unknowns per node.
    CornerSpace(const FeMesh& mesh, const DofLayout& layout);

    int cornerCount() const { return static_cast<int>(cornerNodes_.size()); }
    // The corner number of node `n`, or -1 for a mid-side or unused node.
    int cornerOf(int n) const { return cornerOfNode_[n]; }

    // Fine x coarse, block size 3. A corner's unknown maps to itself; a mid-side node's free
    // unknown takes half of each end's, skipping ends where that unknown is prescribed (the
    // correction there is zero); a prescribed mid-side unknown takes nothing. A prescribed corner
    // unknown keeps its coarse twin, which then couples to nothing, as its fine row does.
    MatHandle interpolation() const;
    // P^T A P for the fine matrix `a`, P the interpolation, formed from a's rows one at a time:
    // each fine row is spread over its at most two coarse rows. PETSc's distributed PtAP holds the
    // whole product A P while it forms it, which on several processes was most of the solver's
    // set-up memory. Couplings outside the mesh's elements (contact, constraints) still go in,
    // where the corners' element neighbours did not foresee them.
    MatHandle coarseOperator(Mat a) const;
    // The corner coordinates of this process's corners (block size 3), for the rigid-body modes.
    VecHandle coordinates() const;

  private:
    // The interpolation's row of fine unknown `dof`: at most two (coarse unknown, weight) pairs.
    int interpolationRow(int dof, std::array<std::pair<PetscInt, double>, 2>& entries) const;
    bool ownsCorner(int c) const { return c >= firstCorner_ && c < endCorner_; }
    // Per unknown of this process's corners: the coarse operator's columns on this process's
    // corners and on the others', the free unknowns of the corners that share an element with it
    // (a prescribed unknown: its diagonal alone).
    std::pair<std::vector<PetscInt>, std::vector<PetscInt>> coarseRowCounts() const;

    const FeMesh& mesh_;
    const DofLayout& layout_;
    std::vector<int> cornerNodes_;  // node of each corner, ascending
    std::vector<int> cornerOfNode_;
    std::vector<std::array<int, 2>> edgeEnds_;  // per node: the two corners of a mid-side node, else -1
    int firstCorner_ = 0, endCorner_ = 0;       // this process's corner numbers
};

}  // namespace tarvsolv
