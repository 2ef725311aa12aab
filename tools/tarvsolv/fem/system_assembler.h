#pragma once
// Adds element matrices and vectors into a global matrix and right-hand side. Prescribed unknowns
// are taken out of the coupled system: their rows and columns are dropped, their values move to the
// right-hand side of the other rows, and each keeps only its own diagonal (scaled like the
// neighbouring equations) with the matching right-hand side, so the system stays symmetric
// positive definite and the solution carries the prescribed values exactly. Nodes with a frame
// have their element blocks rotated into it first.
//
// Rows of owned nodes are summed in node blocks laid out by the matrix pattern and handed to the
// matrix row by row at the end, which is many times faster than adding each element's entries to
// the matrix one by one; rows of other processes' nodes are summed in node blocks of their own
// and go through the matrix's own exchange row by row, each entry once. The owned blocks are held
// in chunks of consecutive blocks, each freed as soon as its rows are in the matrix, so that the
// blocks and the matrix are never held whole at the same time.
#include <span>
#include <unordered_map>
#include <vector>

#include "fem/matrix_pattern.h"

namespace tarvsolv {

class SystemAssembler {
  public:
    // `matrix` comes from `pattern.createMatrix(keepPrescribedDiagonal)`; `rhs` may be null.
    // `keepPrescribedDiagonal` is false for a mass matrix, whose prescribed rows stay empty.
    SystemAssembler(const MatrixPattern& pattern, Mat matrix, Vec rhs, bool keepPrescribedDiagonal = true);
    // Builds the right-hand side only.
    SystemAssembler(const DofLayout& layout, Vec rhs);

    // `ke` is n x n and `fe` n long (n = nodes x unknowns per node); `fe` may be null.
    // Both are changed (rotated, lifted) in place.
    void addElement(std::span<const int> nodes, std::vector<double>& ke, std::vector<double>* fe);
    // Adds loads on nodes (unknowns per node each); prescribed unknowns ignore them.
    void addLoads(std::span<const int> nodes, std::vector<double>& fe);
    // Puts a unit diagonal on the unknowns of nodes that no element uses (a mesh with stray
    // nodes), so they solve to 0 instead of making the matrix singular. Call once, on every process.
    void holdStrayNodes(const FeMesh& mesh);
    // Whether element vectors reach a right-hand side (without one they are only rotated and lifted).
    bool hasRightHandSide() const { return rhs_ != nullptr; }
    const DofLayout& layout() const { return layout_; }
    // Ends the assembly of whatever was given.
    void finish();

  private:
    void rotate(std::span<const int> nodes, std::vector<double>* ke, std::vector<double>* fe) const;
    void indices(std::span<const int> nodes);
    void addToBlocks(std::span<const int> nodes, const std::vector<double>& ke);
    double* ownedBlock(std::size_t position) {
        return &blockChunks_[position >> kChunkShift][(position & kChunkMask) * blockSize_];
    }
    double* remoteBlock(int node, int neighbour);
    void moveBlocksToMatrix();
    void moveRemoteBlocksToMatrix();

    const DofLayout& layout_;
    const MatrixPattern* pattern_ = nullptr;
    Mat matrix_ = nullptr;
    Vec rhs_;
    bool keepDiagonal_;
    std::vector<PetscInt> index_;
    std::vector<PetscInt> dof_;
    // The pattern's blocks, d x d each, row-major, 2^kChunkShift blocks a chunk (about 1 MB of
    // elasticity's, so that each is a mapping of its own that goes back to the system when freed).
    static constexpr int kChunkShift = 14;
    static constexpr std::size_t kChunkMask = (std::size_t{1} << kChunkShift) - 1;
    std::size_t blockSize_ = 0;
    std::vector<std::vector<double>> blockChunks_;
    // Blocks of rows other processes own, d x d each, found by (node, neighbour).
    std::unordered_map<long long, std::size_t> remoteIndex_;
    std::vector<std::pair<int, int>> remoteNodes_;
    std::vector<double> remoteBlocks_;
};

}  // namespace tarvsolv
