#include "formats/mesh.h"

#include <stdexcept>
#include <utility>

namespace mesh_solve {

namespace {

bool arraysMatch(std::int32_t nodeCount, std::int32_t elementCount, std::int32_t nodesPerElement,
                 const MeshArrays& arrays) {
    const std::size_t facets = arrays.facetTags.size();
    return nodeCount >= 0 && elementCount >= 0 && nodesPerElement > 0 &&
           arrays.coordinates.size() == 3 * static_cast<std::size_t>(nodeCount) &&
           arrays.connectivity.size() ==
               static_cast<std::size_t>(nodesPerElement) * static_cast<std::size_t>(elementCount) &&
           arrays.facetElements.size() == facets && arrays.facetFaces.size() == facets &&
           facets <= static_cast<std::size_t>(INT32_MAX);
}

}  // namespace

std::span<const std::int32_t> Mesh::elementNodes(std::int32_t element) const {
    if (element < 1 || element > elementCount_) throw std::out_of_range("element number outside the mesh");
    const std::size_t first =
        static_cast<std::size_t>(element - 1) * static_cast<std::size_t>(nodesPerElement_);
    return std::span<const std::int32_t>(arrays_.connectivity).subspan(first, nodesPerElement_);
}

NodePoint Mesh::nodePosition(std::int32_t node) const {
    if (node < 1 || node > nodeCount_) throw std::out_of_range("node number outside the mesh");
    const double* xyz = arrays_.coordinates.data() + 3 * static_cast<std::size_t>(node - 1);
    return {xyz[0], xyz[1], xyz[2]};
}

void Mesh::load(std::int32_t nodeCount, std::int32_t elementCount, std::int32_t nodesPerElement,
                MeshArrays arrays) {
    if (!arraysMatch(nodeCount, elementCount, nodesPerElement, arrays))
        throw std::invalid_argument("mesh arrays do not match their counts");
    release();
    const std::size_t elements = static_cast<std::size_t>(elementCount);
    elementStates_.assign(elements + 1, 'v');
    nodeStates_.assign(static_cast<std::size_t>(nodeCount) + 1, 'v');
    faceStates_.assign(4 * elements + 5, 'i');
    nodeCount_ = nodeCount;
    elementCount_ = elementCount;
    facetCount_ = static_cast<std::int32_t>(arrays.facetTags.size());
    nodesPerElement_ = nodesPerElement;
    arrays_ = std::move(arrays);
    loaded_ = true;
}

void Mesh::release() {
    // Swapping with empty objects gives the memory back; clear() would keep the capacity.
    arrays_ = MeshArrays{};
    std::string().swap(elementStates_);
    std::string().swap(nodeStates_);
    std::string().swap(faceStates_);
    nodeCount_ = 0;
    elementCount_ = 0;
    facetCount_ = 0;
    loaded_ = false;
}

}  // namespace mesh_solve
