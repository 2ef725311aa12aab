#pragma once
// Which unknowns a finite-element matrix couples, for the rows this process owns: each owned node
// with every node it shares an element with (itself included), ascending. Matrices are created
// with exactly the entries they will hold, and element matrices are added as node blocks found by
// one search per node pair.
#include <span>
#include <vector>

#include "fem/dof_layout.h"

namespace tarvsolv {

class MatrixPattern {
  public:
    // `couplings`: further groups of nodes coupled with each other (contact across bodies).
    MatrixPattern(const FeMesh& mesh, const DofLayout& layout,
                  std::span<const std::vector<int>> couplings = {});

    // The nodes owned node `node` couples with, ascending.
    std::span<const int> neighbours(int node) const {
        const std::size_t row = static_cast<std::size_t>(node - layout_.firstNode());
        return {columns_.data() + rowStart_[row], rowStart_[row + 1] - rowStart_[row]};
    }
    // Position of the block (owned `node`, `neighbour`) among all blocks; the nodes must be coupled.
    std::size_t blockOf(int node, int neighbour) const;
    std::size_t blockCount() const { return columns_.size(); }
    const DofLayout& layout() const { return layout_; }

    // Whether the matrix holds the entry of unknowns `row` and `column` (global): a prescribed
    // unknown couples only with itself, on its diagonal, and only when `prescribedDiagonal`.
    bool holds(int row, int column, bool prescribedDiagonal) const {
        if (!layout_.isPrescribed(row) && !layout_.isPrescribed(column)) return true;
        return row == column && prescribedDiagonal;
    }
    // A matrix (block size = unknowns per node) preallocated with exactly the held entries.
    MatHandle createMatrix(bool prescribedDiagonal = true) const;

  private:
    const DofLayout& layout_;
    std::vector<std::size_t> rowStart_;  // per owned node, into columns_
    std::vector<int> columns_;
};

}  // namespace tarvsolv
