#include "linalg/symmetric_copy.h"

#include <algorithm>
#include <vector>

namespace tarvsolv {
namespace {

// The block columns at or above block row `row` that any of its `bs` scalar rows touches, sorted,
// and their values row by row (bs x bs per block, row-oriented as MatSetValuesBlocked takes them).
struct BlockRow {
    std::vector<PetscInt> columns;
    std::vector<PetscScalar> values;
};

void readBlockRow(Mat a, PetscInt row, PetscInt bs, BlockRow& out) {
    out.columns.clear();
    for (PetscInt r = 0; r < bs; ++r) {
        PetscInt count = 0;
        const PetscInt* columns = nullptr;
        TARV_PETSC(MatGetRow(a, row * bs + r, &count, &columns, nullptr));
        for (PetscInt k = 0; k < count; ++k)
            if (columns[k] / bs >= row) out.columns.push_back(columns[k] / bs);
        TARV_PETSC(MatRestoreRow(a, row * bs + r, &count, &columns, nullptr));
    }
    std::sort(out.columns.begin(), out.columns.end());
    out.columns.erase(std::unique(out.columns.begin(), out.columns.end()), out.columns.end());
    const std::size_t width = out.columns.size() * bs;
    out.values.assign(width * bs, 0.0);
    for (PetscInt r = 0; r < bs; ++r) {
        PetscInt count = 0;
        const PetscInt* columns = nullptr;
        const PetscScalar* values = nullptr;
        TARV_PETSC(MatGetRow(a, row * bs + r, &count, &columns, &values));
        for (PetscInt k = 0; k < count; ++k) {
            const PetscInt block = columns[k] / bs;
            if (block < row) continue;
            const auto at =
                std::lower_bound(out.columns.begin(), out.columns.end(), block) - out.columns.begin();
            out.values[r * width + at * bs + columns[k] % bs] = values[k];
        }
        TARV_PETSC(MatRestoreRow(a, row * bs + r, &count, &columns, &values));
    }
}

}  // namespace

MatHandle symmetricBlockCopy(Mat a) {
    PetscInt bs = 1, begin = 0, end = 0, rows = 0;
    TARV_PETSC(MatGetBlockSize(a, &bs));
    TARV_PETSC(MatGetOwnershipRange(a, &begin, &end));
    TARV_PETSC(MatGetSize(a, &rows, nullptr));
    const PetscInt first = begin / bs, last = end / bs;
    // Each block row's upper blocks, owned (diagonal part) and not, for the preallocation; the rows
    // are read again to fill the copy rather than held, which would add half the matrix's size to
    // the set-up's peak memory.
    std::vector<PetscInt> owned, other;
    BlockRow blockRow;
    for (PetscInt row = first; row < last; ++row) {
        readBlockRow(a, row, bs, blockRow);
        const auto inside = std::count_if(blockRow.columns.begin(), blockRow.columns.end(),
                                          [&](PetscInt c) { return c < last; });
        owned.push_back(static_cast<PetscInt>(inside));
        other.push_back(static_cast<PetscInt>(blockRow.columns.size()) - owned.back());
    }
    MatHandle s;
    TARV_PETSC(MatCreate(PetscObjectComm(reinterpret_cast<PetscObject>(a)), s.out()));
    TARV_PETSC(MatSetSizes(s, end - begin, end - begin, rows, rows));
    TARV_PETSC(MatSetType(s, MATSBAIJ));
    TARV_PETSC(MatSetBlockSize(s, bs));
    TARV_PETSC(MatXAIJSetPreallocation(s, bs, nullptr, nullptr, owned.data(), other.data()));
    for (PetscInt row = first; row < last; ++row) {
        readBlockRow(a, row, bs, blockRow);
        TARV_PETSC(MatSetValuesBlocked(s, 1, &row, static_cast<PetscInt>(blockRow.columns.size()),
                                       blockRow.columns.data(), blockRow.values.data(), INSERT_VALUES));
    }
    TARV_PETSC(MatAssemblyBegin(s, MAT_FINAL_ASSEMBLY));
    TARV_PETSC(MatAssemblyEnd(s, MAT_FINAL_ASSEMBLY));
    TARV_PETSC(MatSetOption(s, MAT_SYMMETRIC, PETSC_TRUE));
    TARV_PETSC(MatSetOption(s, MAT_SPD, PETSC_TRUE));
    return s;
}

}  // namespace tarvsolv
