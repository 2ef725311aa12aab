#include "system_assembler.h"

namespace tarvsolv {

SystemAssembler::SystemAssembler(const DofLayout& layout, Mat matrix, Vec rhs, bool keepPrescribedDiagonal)
    : layout_(layout), matrix_(matrix), rhs_(rhs), keepDiagonal_(keepPrescribedDiagonal) {}

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
        if (keepDiagonal_ && matrix_) {
            const double diagonal = ke[k * n + k];
            petscCheck(MatSetValue(matrix_, dof_[k], dof_[k], diagonal, ADD_VALUES), "MatSetValue");
            if (rhs_) petscCheck(VecSetValue(rhs_, dof_[k], diagonal * value, ADD_VALUES), "VecSetValue");
        }
    }
    if (matrix_)
        petscCheck(MatSetValues(matrix_, static_cast<PetscInt>(n), index_.data(), static_cast<PetscInt>(n),
                                index_.data(), ke.data(), ADD_VALUES),
                   "MatSetValues");
    if (fe && rhs_)
        petscCheck(VecSetValues(rhs_, static_cast<PetscInt>(n), index_.data(), fe->data(), ADD_VALUES),
                   "VecSetValues");
}

void SystemAssembler::addLoads(std::span<const int> nodes, std::vector<double>& fe) {
    rotate(nodes, nullptr, &fe);
    indices(nodes);
    petscCheck(VecSetValues(rhs_, static_cast<PetscInt>(index_.size()), index_.data(), fe.data(), ADD_VALUES),
               "VecSetValues");
}

void SystemAssembler::holdStrayNodes(const FeMesh& mesh) {
    if (!matrix_) return;
    std::vector<char> used(mesh.nodeCount(), 0);
    for (int n : mesh.conn) used[n] = 1;
    const int d = layout_.dofsPerNode();
    for (int n = layout_.firstNode(); n < layout_.endNode(); ++n)
        if (!used[n])
            for (int a = 0; a < d; ++a)
                petscCheck(MatSetValue(matrix_, n * d + a, n * d + a, 1.0, ADD_VALUES), "MatSetValue");
}

void SystemAssembler::finish() {
    if (matrix_) {
        petscCheck(MatAssemblyBegin(matrix_, MAT_FINAL_ASSEMBLY), "MatAssemblyBegin");
        petscCheck(MatAssemblyEnd(matrix_, MAT_FINAL_ASSEMBLY), "MatAssemblyEnd");
    }
    if (rhs_) {
        petscCheck(VecAssemblyBegin(rhs_), "VecAssemblyBegin");
        petscCheck(VecAssemblyEnd(rhs_), "VecAssemblyEnd");
    }
}

}  // namespace tarvsolv
