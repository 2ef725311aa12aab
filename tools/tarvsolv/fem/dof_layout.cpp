#include "fem/dof_layout.h"

#include <algorithm>
#include <array>

namespace tarvsolv {

DofLayout::DofLayout(const FeMesh& mesh, int dofsPerNode, MPI_Comm comm)
    : nodeCount_(mesh.nodeCount()),
      dofsPerNode_(dofsPerNode),
      comm_(comm),
      prescribed_(static_cast<std::size_t>(mesh.nodeCount()) * dofsPerNode, 0) {
    MPI_Comm_rank(comm, &rank_);
    MPI_Comm_size(comm, &processes_);
    // The mesh's pieces when it was numbered by them for this many processes, else equal ranges.
    if (mesh.pieceStarts.size() == static_cast<std::size_t>(processes_) + 1 &&
        mesh.pieceStarts.back() == nodeCount_) {
        starts_ = mesh.pieceStarts;
    } else {
        const long long n = nodeCount_;
        for (long long p = 0; p <= processes_; ++p) starts_.push_back(static_cast<int>(n * p / processes_));
    }
    firstNode_ = starts_[rank_];
    endNode_ = starts_[rank_ + 1];
}

int DofLayout::ownerOf(int n) const {
    const auto after = std::upper_bound(starts_.begin() + 1, starts_.end() - 1, n);
    return static_cast<int>(after - (starts_.begin() + 1));
}

bool DofLayout::assemblesElement(const FeMesh& mesh, int e) const {
    if (processes_ == 1) return true;
    // Each node's owner once: this runs for every element of every assembly pass.
    const auto nodes = mesh.elementNodes(e);
    std::array<int, 10> owners{};
    const std::size_t count = std::min(nodes.size(), owners.size());
    for (std::size_t i = 0; i < count; ++i) owners[i] = ownerOf(nodes[i]);
    const auto first = owners.begin(), last = owners.begin() + static_cast<std::ptrdiff_t>(count);
    int best = 0, bestOwner = processes_;
    for (auto it = first; it != last; ++it) {
        const int share = static_cast<int>(std::count(first, last, *it));
        if (share > best || (share == best && *it < bestOwner)) best = share, bestOwner = *it;
    }
    return bestOwner == rank_;
}

bool DofLayout::prescribe(int dof, double value) {
    if (prescribed_[dof]) return prescribedValue(dof) == value;
    prescribed_[dof] = 1;
    if (value != 0) nonzero_[dof] = value;
    return true;
}

void DofLayout::setPrescribedValues(const DofLayout& source, double factor) {
    nonzero_.clear();
    if (factor == 0) return;
    for (const auto& [dof, value] : source.nonzero_) nonzero_[dof] = factor * value;
}

DofLayout DofLayout::withPrescribedValues(const std::vector<double>& values) const {
    DofLayout other = *this;
    other.nonzero_.clear();
    for (std::size_t d = 0; d < prescribed_.size(); ++d)
        if (prescribed_[d] && values[d] != 0) other.nonzero_[static_cast<int>(d)] = values[d];
    return other;
}

std::size_t DofLayout::prescribedCount() const {
    return static_cast<std::size_t>(std::count(prescribed_.begin(), prescribed_.end(), 1));
}

void DofLayout::toGlobal(std::vector<double>& u) const {
    for (const auto& [node, f] : frames_) {
        const double* l = &u[3 * static_cast<std::size_t>(node)];
        double g[3];
        for (int a = 0; a < 3; ++a) g[a] = f[a] * l[0] + f[3 + a] * l[1] + f[6 + a] * l[2];
        std::copy(g, g + 3, &u[3 * static_cast<std::size_t>(node)]);
    }
}

VecHandle DofLayout::createVector() const {
    VecHandle v;
    const PetscInt local = static_cast<PetscInt>(endNode_ - firstNode_) * dofsPerNode_;
    TARV_PETSC(VecCreateMPI(comm_, local, PETSC_DETERMINE, v.out()));
    TARV_PETSC(VecSetBlockSize(v, dofsPerNode_));
    // Prescribed unknowns are passed as -1 and must be skipped, as the matrix skips them.
    TARV_PETSC(VecSetOption(v, VEC_IGNORE_NEGATIVE_INDICES, PETSC_TRUE));
    return v;
}

bool DofLayout::onFirstProcess() const {
    int rank = 0;
    MPI_Comm_rank(comm_, &rank);
    return rank == 0;
}

}  // namespace tarvsolv
