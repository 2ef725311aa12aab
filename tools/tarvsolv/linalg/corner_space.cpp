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

MatHandle CornerSpace::interpolation() const {
    const int owned = layout_.endNode() - layout_.firstNode();
    const PetscInt localRows = 3 * static_cast<PetscInt>(owned);
    const PetscInt localColumns = 3 * static_cast<PetscInt>(endCorner_ - firstCorner_);
    const auto ownsCorner = [&](int c) { return c >= firstCorner_ && c < endCorner_; };
    std::vector<PetscInt> diagonal(localRows, 0), offDiagonal(localRows, 0);
    for (int n = layout_.firstNode(); n < layout_.endNode(); ++n)
        for (int a = 0; a < 3; ++a) {
            const std::size_t row = 3 * static_cast<std::size_t>(n - layout_.firstNode()) + a;
            if (cornerOfNode_[n] >= 0) diagonal[row] = 1;  // owned node, owned corner
            for (int end : edgeEnds_[n])
                if (end >= 0) (ownsCorner(cornerOfNode_[end]) ? diagonal[row] : offDiagonal[row])++;
        }
    MatHandle p;
    TARV_PETSC(MatCreate(layout_.comm(), p.out()));
    TARV_PETSC(MatSetSizes(p, localRows, localColumns, PETSC_DETERMINE, PETSC_DETERMINE));
    TARV_PETSC(MatSetType(p, MATAIJ));
    TARV_PETSC(MatSetBlockSizes(p, 3, 3));
    TARV_PETSC(MatSeqAIJSetPreallocation(p, 0, diagonal.data()));
    TARV_PETSC(MatMPIAIJSetPreallocation(p, 0, diagonal.data(), 0, offDiagonal.data()));
    for (int n = layout_.firstNode(); n < layout_.endNode(); ++n)
        for (int a = 0; a < 3; ++a) {
            const PetscInt row = 3 * static_cast<PetscInt>(n) + a;
            if (cornerOfNode_[n] >= 0) {
                TARV_PETSC(MatSetValue(p, row, 3 * cornerOfNode_[n] + a, 1.0, INSERT_VALUES));
                continue;
            }
            if (edgeEnds_[n][0] < 0 || layout_.isPrescribed(static_cast<int>(row))) continue;
            for (int end : edgeEnds_[n])
                if (!layout_.isPrescribed(3 * end + a))
                    TARV_PETSC(MatSetValue(p, row, 3 * cornerOfNode_[end] + a, 0.5, INSERT_VALUES));
        }
    TARV_PETSC(MatAssemblyBegin(p, MAT_FINAL_ASSEMBLY));
    TARV_PETSC(MatAssemblyEnd(p, MAT_FINAL_ASSEMBLY));
    return p;
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
