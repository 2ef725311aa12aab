#pragma once
// The elastic stiffness of a whole mesh put through the assembler, for the tests of the assembly,
// the linear solvers and the load stepping.
#include <vector>

#include "fem/element_kernels.h"
#include "fem/system_assembler.h"

namespace tarvsolv::testing {

// Adds the stiffness of every element of `mesh` (E `young`, nu 0.3) to `assembler`, with zero
// element forces when `forces` (the assembler then lifts the prescribed values into its
// right-hand side).
inline void addElasticElements(SystemAssembler& assembler, const FeMesh& mesh, double young,
                               bool forces = false) {
    std::vector<double> ke, fe;
    for (int e = 0; e < mesh.elementCount(); ++e) {
        if (!assembler.layout().assemblesElement(mesh, e)) continue;  // another process's
        elasticStiffness(mesh, e, IsotropicElastic{young, 0.3, 0, 0}, ke);
        fe.assign(ke.size() ? 3 * static_cast<std::size_t>(mesh.nodesPerElement) : 0, 0.0);
        assembler.addElement(mesh.elementNodes(e), ke, forces ? &fe : nullptr);
    }
}

}  // namespace tarvsolv::testing
