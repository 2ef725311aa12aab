#include "fem/system_assembler.h"

#include <algorithm>

namespace tarvsolv {

SystemAssembler::SystemAssembler(const MatrixPattern& pattern, Mat matrix, Vec rhs,
                                 bool keepPrescribedDiagonal)
    : layout_(pattern.layout()),
      pattern_(&pattern),
      matrix_(matrix),
      rhs_(rhs),
      keepDiagonal_(keepPrescribedDiagonal) {
    const std::size_t d = static_cast<std::size_t>(layout_.dofsPerNode());
    blockSize_ = d * d;
    if (!matrix_) return;
    const std::size_t blocks = pattern.blockCount();
    blockChunks_.resize((blocks + kChunkMask) >> kChunkShift);
    for (std::size_t c = 0; c < blockChunks_.size(); ++c)
        blockChunks_[c].assign(std::min(kChunkMask + 1, blocks - (c << kChunkShift)) * blockSize_, 0.0);
}

SystemAssembler::SystemAssembler(const DofLayout& layout, Vec rhs)
    : layout_(layout), rhs_(rhs), keepDiagonal_(true) {}

void SystemAssembler::indices(std::span<const int> nodes) {
    const int d = layout_.dofsPerNode();
    index_.resize(nodes.size() * d);
    dof_.resize(nodes.size() * d);
    for (std::size_t i = 0; i < nodes.size(); ++i)
        for (int a = 0; a < d; ++a) {
            const PetscInt dof = static_cast<PetscInt>(nodes[i]) * d + a;
            dof_[i * d + a] = dof;
            index_[i * d + a] = layout_.isPrescribed(static_cast<int>(dof)) ? -1 : dof;
        }
}

// ke := T^T ke T and fe := T^T fe with T block-diagonal of the nodes' frames (identity elsewhere).
void SystemAssembler::rotate(std::span<const int> nodes, std::vector<double>* ke,
                             std::vector<double>* fe) const {
    if (!layout_.hasFrames() || layout_.dofsPerNode() != 3) return;
    const std::size_t n = nodes.size() * 3;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const Frame* f = layout_.frameOf(nodes[i]);
        if (!f) continue;
        const std::size_t c = 3 * i;
        if (ke) {
            for (std::size_t r = 0; r < n; ++r) {  // columns: K_r,c.. times R
                double* row = &(*ke)[r * n + c];
                const double v[3] = {row[0], row[1], row[2]};
                for (int k = 0; k < 3; ++k)
                    row[k] = v[0] * (*f)[3 * k] + v[1] * (*f)[3 * k + 1] + v[2] * (*f)[3 * k + 2];
            }
            for (std::size_t col = 0; col < n; ++col) {  // rows: R^T times K_c..,col
                const double v[3] = {(*ke)[c * n + col], (*ke)[(c + 1) * n + col], (*ke)[(c + 2) * n + col]};
                for (int k = 0; k < 3; ++k)
                    (*ke)[(c + k) * n + col] =
                        v[0] * (*f)[3 * k] + v[1] * (*f)[3 * k + 1] + v[2] * (*f)[3 * k + 2];
            }
        }
        if (fe) {
            const double v[3] = {(*fe)[c], (*fe)[c + 1], (*fe)[c + 2]};
            for (int k = 0; k < 3; ++k)
                (*fe)[c + k] = v[0] * (*f)[3 * k] + v[1] * (*f)[3 * k + 1] + v[2] * (*f)[3 * k + 2];
        }
    }
}

void SystemAssembler::addElement(std::span<const int> nodes, std::vector<double>& ke,
                                 std::vector<double>* fe) {
    rotate(nodes, &ke, fe);
    indices(nodes);
    const std::size_t n = index_.size();
    for (std::size_t k = 0; k < n; ++k) {
        if (index_[k] >= 0) continue;
        const double value = layout_.prescribedValue(static_cast<int>(dof_[k]));
        if (fe && value != 0)
            for (std::size_t j = 0; j < n; ++j)
                if (index_[j] >= 0) (*fe)[j] -= ke[j * n + k] * value;
        if (keepDiagonal_ && matrix_ && rhs_)
            TARV_PETSC(VecSetValue(rhs_, dof_[k], ke[k * n + k] * value, ADD_VALUES));
    }
    if (matrix_) addToBlocks(nodes, ke);
    if (fe && rhs_)
        TARV_PETSC(VecSetValues(rhs_, static_cast<PetscInt>(n), index_.data(), fe->data(), ADD_VALUES));
}

// The block of the row of `node`, which another process owns, and column `neighbour`.
double* SystemAssembler::remoteBlock(int node, int neighbour) {
    const std::size_t d = static_cast<std::size_t>(layout_.dofsPerNode());
    const long long key = static_cast<long long>(node) * layout_.dofCount() + neighbour;
    const auto [it, added] = remoteIndex_.try_emplace(key, remoteNodes_.size());
    if (added) {
        remoteNodes_.emplace_back(node, neighbour);
        remoteBlocks_.resize(remoteBlocks_.size() + d * d, 0.0);
    }
    return &remoteBlocks_[it->second * d * d];
}

// Adds every entry of `ke` to the node blocks of its rows (which entries the matrix holds is
// decided when the blocks move to it).
void SystemAssembler::addToBlocks(std::span<const int> nodes, const std::vector<double>& ke) {
    const std::size_t d = static_cast<std::size_t>(layout_.dofsPerNode()), n = nodes.size() * d;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const bool owned = layout_.ownsNode(nodes[i]);
        for (std::size_t j = 0; j < nodes.size(); ++j) {
            double* block =
                owned ? ownedBlock(pattern_->blockOf(nodes[i], nodes[j])) : remoteBlock(nodes[i], nodes[j]);
            for (std::size_t a = 0; a < d; ++a)
                for (std::size_t b = 0; b < d; ++b) block[a * d + b] += ke[(i * d + a) * n + j * d + b];
        }
    }
}

void SystemAssembler::addLoads(std::span<const int> nodes, std::vector<double>& fe) {
    rotate(nodes, nullptr, &fe);
    indices(nodes);
    TARV_PETSC(
        VecSetValues(rhs_, static_cast<PetscInt>(index_.size()), index_.data(), fe.data(), ADD_VALUES));
}

void SystemAssembler::holdStrayNodes(const FeMesh& mesh) {
    if (!matrix_) return;
    std::vector<char> used(mesh.nodeCount(), 0);
    for (int n : mesh.conn) used[n] = 1;
    const std::size_t d = static_cast<std::size_t>(layout_.dofsPerNode());
    for (int n = layout_.firstNode(); n < layout_.endNode(); ++n)
        if (!used[n])
            for (std::size_t a = 0; a < d; ++a) ownedBlock(pattern_->blockOf(n, n))[a * d + a] += 1.0;
}

// Hands the owned rows to the matrix one row at a time, in ascending columns, with exactly the
// entries it was preallocated with, freeing each chunk of blocks once its rows are handed over;
// then the entries of other processes' rows.
void SystemAssembler::moveBlocksToMatrix() {
    const int d = layout_.dofsPerNode();
    std::vector<PetscInt> columns;
    std::vector<double> values;
    std::size_t freed = 0;  // chunks freed
    for (int node = layout_.firstNode(); node < layout_.endNode(); ++node) {
        const auto neighbours = pattern_->neighbours(node);
        const std::size_t firstBlock = pattern_->blockOf(node, neighbours.front());
        for (int a = 0; a < d; ++a) {
            const PetscInt row = static_cast<PetscInt>(node) * d + a;
            columns.clear();
            values.clear();
            for (std::size_t k = 0; k < neighbours.size(); ++k)
                for (int b = 0; b < d; ++b) {
                    const PetscInt column = static_cast<PetscInt>(neighbours[k]) * d + b;
                    if (!pattern_->holds(static_cast<int>(row), static_cast<int>(column), keepDiagonal_))
                        continue;
                    columns.push_back(column);
                    values.push_back(ownedBlock(firstBlock + k)[a * d + b]);
                }
            TARV_PETSC(MatSetValues(matrix_, 1, &row, static_cast<PetscInt>(columns.size()), columns.data(),
                                    values.data(), ADD_VALUES));
        }
        const std::size_t handed = (firstBlock + neighbours.size()) >> kChunkShift;
        for (; freed < handed; ++freed) std::vector<double>().swap(blockChunks_[freed]);
    }
    blockChunks_.clear();
    moveRemoteBlocksToMatrix();
}

// The blocks of other processes' rows, row by row in ascending columns, only the held entries.
void SystemAssembler::moveRemoteBlocksToMatrix() {
    const int d = layout_.dofsPerNode();
    std::vector<std::size_t> order(remoteNodes_.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return remoteNodes_[a] < remoteNodes_[b]; });
    std::vector<PetscInt> columns;
    std::vector<double> values;
    for (std::size_t first = 0, end = 0; first < order.size(); first = end) {
        const int node = remoteNodes_[order[first]].first;
        for (end = first; end < order.size() && remoteNodes_[order[end]].first == node;) ++end;
        for (int a = 0; a < d; ++a) {
            const PetscInt row = static_cast<PetscInt>(node) * d + a;
            columns.clear();
            values.clear();
            for (std::size_t k = first; k < end; ++k)
                for (int b = 0; b < d; ++b) {
                    const PetscInt column = static_cast<PetscInt>(remoteNodes_[order[k]].second) * d + b;
                    if (!pattern_->holds(static_cast<int>(row), static_cast<int>(column), keepDiagonal_))
                        continue;
                    columns.push_back(column);
                    values.push_back(remoteBlocks_[(order[k] * d + a) * d + b]);
                }
            if (!columns.empty())
                TARV_PETSC(MatSetValues(matrix_, 1, &row, static_cast<PetscInt>(columns.size()),
                                        columns.data(), values.data(), ADD_VALUES));
        }
    }
    remoteIndex_ = {};
    std::vector<std::pair<int, int>>().swap(remoteNodes_);
    std::vector<double>().swap(remoteBlocks_);
}

void SystemAssembler::finish() {
    if (matrix_) {
        moveBlocksToMatrix();
        TARV_PETSC(MatAssemblyBegin(matrix_, MAT_FINAL_ASSEMBLY));
        TARV_PETSC(MatAssemblyEnd(matrix_, MAT_FINAL_ASSEMBLY));
    }
    if (rhs_) {
        TARV_PETSC(VecAssemblyBegin(rhs_));
        TARV_PETSC(VecAssemblyEnd(rhs_));
    }
}

}  // namespace tarvsolv
