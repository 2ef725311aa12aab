#include "fem/flow_layout.h"

#include <algorithm>

namespace tarvsolv {

FlowLayout::FlowLayout(const FeMesh& mesh, MPI_Comm comm, bool withTemperature)
    : nodes_(mesh, 1, comm),
      pattern_(mesh, nodes_),
      velocity_(mesh.nodeCount()),
      pressure_(mesh.nodeCount(), -1),
      pressureIndex_(mesh.nodeCount(), -1),
      withTemperature_(withTemperature),
      nodeStride_(withTemperature ? 4 : 3) {
    std::vector<char> corner(mesh.nodeCount(), 0);
    for (int e = 0; e < mesh.elementCount(); ++e)
        for (int k = 0; k < 4; ++k) corner[mesh.elementNodes(e)[k]] = 1;
    int size = 1, rank = 0;
    MPI_Comm_size(comm, &size);
    MPI_Comm_rank(comm, &rank);
    // Every process numbers every node the same way: process by process, over each one's node range.
    int next = 0, nextPressure = 0;
    for (int p = 0; p < size; ++p) {
        const int first = nodes_.firstNodeOf(p), end = nodes_.firstNodeOf(p + 1);
        if (p == rank) firstUnknown_ = next, firstPressure_ = nextPressure;
        for (int node = first; node < end; ++node) velocity_[node] = next, next += nodeStride_;
        for (int node = first; node < end; ++node)
            if (corner[node]) pressure_[node] = next++, pressureIndex_[node] = nextPressure++;
        if (p == rank) ownedUnknowns_ = next - firstUnknown_, ownedPressures_ = nextPressure - firstPressure_;
    }
    unknownCount_ = next;
    cornerCount_ = nextPressure;
    held_.assign(static_cast<std::size_t>(next), 0);
    values_.assign(static_cast<std::size_t>(next), 0.0);
}

void FlowLayout::elementDofs(const FeMesh& mesh, int e, std::vector<PetscInt>& dofs) const {
    const auto nodes = mesh.elementNodes(e);
    dofs.resize(3 * nodes.size() + 4 + (withTemperature_ ? nodes.size() : 0));
    for (std::size_t i = 0; i < nodes.size(); ++i)
        for (int a = 0; a < 3; ++a) dofs[3 * i + a] = velocityDof(nodes[i], a);
    for (int k = 0; k < 4; ++k) dofs[3 * nodes.size() + k] = pressureDof(nodes[k]);
    if (withTemperature_)
        for (std::size_t i = 0; i < nodes.size(); ++i)
            dofs[3 * nodes.size() + 4 + i] = temperatureDof(nodes[i]);
}

bool FlowLayout::hold(int dof, double value) {
    if (held_[dof]) return values_[dof] == value;
    held_[dof] = 1;
    values_[dof] = value;
    return true;
}

std::size_t FlowLayout::heldCount() const {
    return static_cast<std::size_t>(std::count(held_.begin(), held_.end(), 1));
}

VecHandle FlowLayout::createVector() const {
    VecHandle v;
    TARV_PETSC(VecCreateMPI(comm(), ownedUnknowns_, unknownCount_, v.out()));
    return v;
}

MatHandle FlowLayout::createMatrix() const {
    // A row couples with the velocities of every neighbouring node and the pressures of the
    // neighbouring corners (the element matrices carry their zero pressure block too), and the
    // temperatures of every neighbouring node.
    std::vector<PetscInt> diagonal(ownedUnknowns_, 0), offDiagonal(ownedUnknowns_, 0);
    for (int node = nodes_.firstNode(); node < nodes_.endNode(); ++node) {
        int ownV = 0, otherV = 0, ownP = 0, otherP = 0;
        for (int m : pattern_.neighbours(node)) {
            (ownsNode(m) ? ownV : otherV) += nodeStride_;
            if (isCorner(m)) (ownsNode(m) ? ownP : otherP) += 1;
        }
        for (int a = 0; a < nodeStride_; ++a) {
            diagonal[velocityDof(node, a) - firstUnknown_] = ownV + ownP;
            offDiagonal[velocityDof(node, a) - firstUnknown_] = otherV + otherP;
        }
        if (isCorner(node)) {
            diagonal[pressureDof(node) - firstUnknown_] = ownV + ownP;
            offDiagonal[pressureDof(node) - firstUnknown_] = otherV + otherP;
        }
    }
    MatHandle m;
    TARV_PETSC(MatCreate(comm(), m.out()));
    TARV_PETSC(MatSetSizes(m, ownedUnknowns_, ownedUnknowns_, unknownCount_, unknownCount_));
    TARV_PETSC(MatSetType(m, MATAIJ));
    TARV_PETSC(MatSeqAIJSetPreallocation(m, 0, diagonal.data()));
    TARV_PETSC(MatMPIAIJSetPreallocation(m, 0, diagonal.data(), 0, offDiagonal.data()));
    TARV_PETSC(MatSetOption(m, MAT_NEW_NONZERO_ALLOCATION_ERR, PETSC_TRUE));
    return m;
}

MatHandle FlowLayout::createPressureMatrix() const {
    std::vector<PetscInt> diagonal, offDiagonal;
    for (int node = nodes_.firstNode(); node < nodes_.endNode(); ++node) {
        if (!isCorner(node)) continue;
        PetscInt own = 0, other = 0;
        for (int m : pattern_.neighbours(node))
            if (isCorner(m)) (ownsNode(m) ? own : other) += 1;
        diagonal.push_back(own);
        offDiagonal.push_back(other);
    }
    MatHandle m;
    TARV_PETSC(MatCreate(comm(), m.out()));
    TARV_PETSC(MatSetSizes(m, ownedPressures_, ownedPressures_, cornerCount_, cornerCount_));
    TARV_PETSC(MatSetType(m, MATAIJ));
    TARV_PETSC(MatSeqAIJSetPreallocation(m, 0, diagonal.data()));
    TARV_PETSC(MatMPIAIJSetPreallocation(m, 0, diagonal.data(), 0, offDiagonal.data()));
    TARV_PETSC(MatSetOption(m, MAT_NEW_NONZERO_ALLOCATION_ERR, PETSC_TRUE));
    return m;
}

IsHandle FlowLayout::velocitySet() const {
    IsHandle set;
    const PetscInt count = nodeStride_ * (nodes_.endNode() - nodes_.firstNode());
    TARV_PETSC(ISCreateStride(comm(), count, firstUnknown_, 1, set.out()));
    TARV_PETSC(ISSetBlockSize(set, nodeStride_));
    return set;
}

IsHandle FlowLayout::pressureSet() const {
    IsHandle set;
    const PetscInt velocities = nodeStride_ * (nodes_.endNode() - nodes_.firstNode());
    TARV_PETSC(ISCreateStride(comm(), ownedPressures_, firstUnknown_ + velocities, 1, set.out()));
    return set;
}

}  // namespace tarvsolv
