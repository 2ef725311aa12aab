#include "linalg/corner_space.h"

#include <algorithm>

namespace tarvsolv {
namespace {

// Corner pairs of the mid-side nodes 4 to 9 in the solver's local order.
constexpr int kEdgeCorners[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};

}  // namespace

CornerSpace::CornerSpace(const FeMesh& mesh, const DofLayout& layout)
    : mesh_(mesh),
      layout_(layout),
      cornerOfNode_(mesh.nodeCount(), -1),
      edgeEnds_(mesh.nodeCount(), {-1, -1}) {
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        for (int k = 0; k < 4; ++k) cornerOfNode_[nodes[k]] = 0;
        if (mesh.nodesPerElement != 10) continue;
        for (int k = 0; k < 6; ++k)
            edgeEnds_[nodes[4 + k]] = {nodes[kEdgeCorners[k][0]], nodes[kEdgeCorners[k][1]]};
    }
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        if (n == layout.firstNode()) firstCorner_ = cornerCount();
        if (n == layout.endNode()) endCorner_ = cornerCount();
        if (cornerOfNode_[n] < 0) continue;
        cornerOfNode_[n] = cornerCount();
        cornerNodes_.push_back(n);
        edgeEnds_[n] = {-1, -1};  // a node that is a corner anywhere is interpolated as a corner
    }
    if (layout.firstNode() >= mesh.nodeCount()) firstCorner_ = cornerCount();
    if (layout.endNode() >= mesh.nodeCount()) endCorner_ = cornerCount();
}

int CornerSpace::interpolationRow(int dof, std::array<std::pair<PetscInt, double>, 2>& entries) const {
    const int n = dof / 3, a = dof % 3;
    if (cornerOfNode_[n] >= 0) {
        entries[0] = {3 * static_cast<PetscInt>(cornerOfNode_[n]) + a, 1.0};
        return 1;
    }
    if (edgeEnds_[n][0] < 0 || layout_.isPrescribed(dof)) return 0;
    int count = 0;
    for (int end : edgeEnds_[n])
        if (!layout_.isPrescribed(3 * end + a))
            entries[count++] = {3 * static_cast<PetscInt>(cornerOfNode_[end]) + a, 0.5};
    return count;
}

MatHandle CornerSpace::interpolation() const {
    const int owned = layout_.endNode() - layout_.firstNode();
    const PetscInt localRows = 3 * static_cast<PetscInt>(owned);
    const PetscInt localColumns = 3 * static_cast<PetscInt>(endCorner_ - firstCorner_);
    const int firstRow = 3 * layout_.firstNode();
    std::array<std::pair<PetscInt, double>, 2> entries;
    std::vector<PetscInt> diagonal(localRows, 0), offDiagonal(localRows, 0);
    for (int row = firstRow; row < firstRow + localRows; ++row) {
        const int count = interpolationRow(row, entries);
        for (int k = 0; k < count; ++k)
            (ownsCorner(static_cast<int>(entries[k].first / 3)) ? diagonal : offDiagonal)[row - firstRow]++;
    }
    MatHandle p;
    TARV_PETSC(MatCreate(layout_.comm(), p.out()));
    TARV_PETSC(MatSetSizes(p, localRows, localColumns, PETSC_DETERMINE, PETSC_DETERMINE));
    TARV_PETSC(MatSetType(p, MATAIJ));
    TARV_PETSC(MatSetBlockSizes(p, 3, 3));
    TARV_PETSC(MatSeqAIJSetPreallocation(p, 0, diagonal.data()));
    TARV_PETSC(MatMPIAIJSetPreallocation(p, 0, diagonal.data(), 0, offDiagonal.data()));
    for (int row = firstRow; row < firstRow + localRows; ++row) {
        const int count = interpolationRow(row, entries);
        for (int k = 0; k < count; ++k)
            TARV_PETSC(MatSetValue(p, row, entries[k].first, entries[k].second, INSERT_VALUES));
    }
    TARV_PETSC(MatAssemblyBegin(p, MAT_FINAL_ASSEMBLY));
    TARV_PETSC(MatAssemblyEnd(p, MAT_FINAL_ASSEMBLY));
    return p;
}

std::pair<std::vector<PetscInt>, std::vector<PetscInt>> CornerSpace::coarseRowCounts() const {
    std::vector<std::vector<int>> neighbours(endCorner_ - firstCorner_);
    for (int e = 0; e < mesh_.elementCount(); ++e) {
        const auto nodes = mesh_.elementNodes(e);
        for (int i = 0; i < 4; ++i) {
            const int c = cornerOfNode_[nodes[i]];
            if (!ownsCorner(c)) continue;
            for (int j = 0; j < 4; ++j) neighbours[c - firstCorner_].push_back(cornerOfNode_[nodes[j]]);
        }
    }
    // A prescribed corner unknown's row and column hold its diagonal only (its fine row holds only
    // its diagonal and no free mid-side unknown interpolates from it), so a row holds the free
    // unknowns of its neighbours; counting whole corners would leave the held faces' share of the
    // matrix allocated and unused.
    const auto freeUnknowns = [&](int c) {
        int count = 0;
        for (int b = 0; b < 3; ++b) count += layout_.isPrescribed(3 * cornerNodes_[c] + b) ? 0 : 1;
        return count;
    };
    std::vector<PetscInt> diagonal(3 * neighbours.size()), offDiagonal(3 * neighbours.size());
    for (std::size_t k = 0; k < neighbours.size(); ++k) {
        std::vector<int>& list = neighbours[k];
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
        PetscInt own = 0, other = 0;
        for (const int c : list) (ownsCorner(c) ? own : other) += freeUnknowns(c);
        const int node = cornerNodes_[firstCorner_ + static_cast<int>(k)];
        for (int a = 0; a < 3; ++a) {
            const bool held = layout_.isPrescribed(3 * node + a);
            diagonal[3 * k + a] = held ? 1 : std::max<PetscInt>(own, 1);
            offDiagonal[3 * k + a] = held ? 0 : other;
        }
        std::vector<int>().swap(list);
    }
    return {std::move(diagonal), std::move(offDiagonal)};
}

MatHandle CornerSpace::coarseOperator(Mat a) const {
    const auto [diagonal, offDiagonal] = coarseRowCounts();
    MatHandle c;
    TARV_PETSC(MatCreate(layout_.comm(), c.out()));
    const PetscInt localRows = static_cast<PetscInt>(diagonal.size());
    TARV_PETSC(MatSetSizes(c, localRows, localRows, PETSC_DETERMINE, PETSC_DETERMINE));
    TARV_PETSC(MatSetType(c, MATAIJ));
    TARV_PETSC(MatSetBlockSizes(c, 3, 3));
    TARV_PETSC(MatSeqAIJSetPreallocation(c, 0, diagonal.data()));
    TARV_PETSC(MatMPIAIJSetPreallocation(c, 0, diagonal.data(), 0, offDiagonal.data()));
    TARV_PETSC(MatSetOption(c, MAT_NEW_NONZERO_ALLOCATION_ERR, PETSC_FALSE));
    PetscInt begin = 0, end = 0;
    TARV_PETSC(MatGetOwnershipRange(a, &begin, &end));
    std::array<std::pair<PetscInt, double>, 2> entries, rowEntries;
    std::vector<std::pair<PetscInt, double>> spread;  // the fine row times P, before merging
    std::vector<PetscInt> columns;
    std::vector<PetscScalar> values, scaled;
    for (PetscInt row = begin; row < end; ++row) {
        const int targets = interpolationRow(static_cast<int>(row), rowEntries);
        if (targets == 0) continue;
        PetscInt count = 0;
        const PetscInt* fineColumns = nullptr;
        const PetscScalar* fineValues = nullptr;
        spread.clear();
        TARV_PETSC(MatGetRow(a, row, &count, &fineColumns, &fineValues));
        for (PetscInt k = 0; k < count; ++k) {
            const int n = interpolationRow(static_cast<int>(fineColumns[k]), entries);
            for (int m = 0; m < n; ++m)
                spread.emplace_back(entries[m].first, entries[m].second * fineValues[k]);
        }
        TARV_PETSC(MatRestoreRow(a, row, &count, &fineColumns, &fineValues));
        std::sort(spread.begin(), spread.end(),
                  [](const auto& x, const auto& y) { return x.first < y.first; });
        columns.clear();
        values.clear();
        for (const auto& [column, value] : spread) {
            if (!columns.empty() && columns.back() == column) {
                values.back() += value;
                continue;
            }
            columns.push_back(column);
            values.push_back(value);
        }
        for (int t = 0; t < targets; ++t) {
            scaled.resize(values.size());
            for (std::size_t k = 0; k < values.size(); ++k) scaled[k] = rowEntries[t].second * values[k];
            TARV_PETSC(MatSetValues(c, 1, &rowEntries[t].first, static_cast<PetscInt>(columns.size()),
                                    columns.data(), scaled.data(), ADD_VALUES));
        }
    }
    TARV_PETSC(MatAssemblyBegin(c, MAT_FINAL_ASSEMBLY));
    TARV_PETSC(MatAssemblyEnd(c, MAT_FINAL_ASSEMBLY));
    return c;
}

VecHandle CornerSpace::coordinates() const {
    VecHandle v;
    TARV_PETSC(VecCreateMPI(layout_.comm(), 3 * static_cast<PetscInt>(endCorner_ - firstCorner_),
                            PETSC_DETERMINE, v.out()));
    TARV_PETSC(VecSetBlockSize(v, 3));
    PetscScalar* c = nullptr;
    TARV_PETSC(VecGetArray(v, &c));
    for (int k = firstCorner_; k < endCorner_; ++k)
        for (int d = 0; d < 3; ++d)
            c[3 * (k - firstCorner_) + d] = mesh_.xyz[3 * static_cast<std::size_t>(cornerNodes_[k]) + d];
    TARV_PETSC(VecRestoreArray(v, &c));
    return v;
}

}  // namespace tarvsolv
