#include "fem/matrix_pattern.h"

#include <algorithm>

namespace tarvsolv {

MatrixPattern::MatrixPattern(const FeMesh& mesh, const DofLayout& layout,
                             std::span<const std::vector<int>> couplings)
    : layout_(layout) {
    const int first = layout.firstNode(), owned = layout.endNode() - first;
    // The elements of each owned node (counted, then filled).
    std::vector<std::size_t> elementStart(static_cast<std::size_t>(owned) + 1, 0);
    for (int n : mesh.conn)
        if (layout.ownsNode(n)) ++elementStart[n - first + 1];
    for (int k = 0; k < owned; ++k) elementStart[k + 1] += elementStart[k];
    std::vector<int> elements(elementStart[owned]);
    std::vector<std::size_t> fill(elementStart.begin(), elementStart.end() - 1);
    for (int e = 0; e < mesh.elementCount(); ++e)
        for (int n : mesh.elementNodes(e))
            if (layout.ownsNode(n)) elements[fill[n - first]++] = e;
    std::vector<std::vector<int>> extra(couplings.empty() ? 0 : static_cast<std::size_t>(owned));
    for (const std::vector<int>& group : couplings)
        for (int n : group)
            if (layout.ownsNode(n))
                extra[n - first].insert(extra[n - first].end(), group.begin(), group.end());
    rowStart_.assign(static_cast<std::size_t>(owned) + 1, 0);
    std::vector<int> row;
    for (int k = 0; k < owned; ++k) {
        row.assign(1, first + k);  // a node no element uses still holds its diagonal
        for (std::size_t i = elementStart[k]; i < elementStart[k + 1]; ++i) {
            const auto nodes = mesh.elementNodes(elements[i]);
            row.insert(row.end(), nodes.begin(), nodes.end());
        }
        if (!extra.empty()) row.insert(row.end(), extra[k].begin(), extra[k].end());
        std::sort(row.begin(), row.end());
        row.erase(std::unique(row.begin(), row.end()), row.end());
        columns_.insert(columns_.end(), row.begin(), row.end());
        rowStart_[k + 1] = columns_.size();
    }
    columns_.shrink_to_fit();
}

std::size_t MatrixPattern::blockOf(int node, int neighbour) const {
    const auto list = neighbours(node);
    const auto it = std::lower_bound(list.begin(), list.end(), neighbour);
    return static_cast<std::size_t>(&*it - columns_.data());
}

MatHandle MatrixPattern::createMatrix(bool prescribedDiagonal) const {
    const int d = layout_.dofsPerNode(), first = layout_.firstNode();
    const PetscInt local = static_cast<PetscInt>(layout_.endNode() - first) * d;
    std::vector<PetscInt> diagonal(local, 0), offDiagonal(local, 0);
    for (int n = first; n < layout_.endNode(); ++n)
        for (int a = 0; a < d; ++a) {
            const int row = n * d + a;
            const std::size_t r = static_cast<std::size_t>(row - first * d);
            for (int m : neighbours(n))
                for (int b = 0; b < d; ++b)
                    if (holds(row, m * d + b, prescribedDiagonal))
                        (layout_.ownsNode(m) ? diagonal : offDiagonal)[r]++;
        }
    MatHandle m;
    TARV_PETSC(MatCreate(layout_.comm(), m.out()));
    TARV_PETSC(MatSetSizes(m, local, local, PETSC_DETERMINE, PETSC_DETERMINE));
    TARV_PETSC(MatSetType(m, MATAIJ));
    TARV_PETSC(MatSetBlockSize(m, d));
    TARV_PETSC(MatSeqAIJSetPreallocation(m, 0, diagonal.data()));
    TARV_PETSC(MatMPIAIJSetPreallocation(m, 0, diagonal.data(), 0, offDiagonal.data()));
    TARV_PETSC(MatSetOption(m, MAT_NEW_NONZERO_ALLOCATION_ERR, PETSC_TRUE));
    return m;
}

}  // namespace tarvsolv
