#pragma once
// The loop over the elements this process assembles (every element a node it owns belongs to),
// in element order, which every assembly keeps so that its sums come out the same on each run.
#include "fem/dof_layout.h"

namespace tarvsolv {

template <class Visit>
void forEachAssembledElement(const FeMesh& mesh, const DofLayout& layout, Visit&& visit) {
    for (int e = 0; e < mesh.elementCount(); ++e)
        if (layout.assemblesElement(mesh, e)) visit(e);
}

}  // namespace tarvsolv
