#include "mesh_file_writer.h"

#include <bit>
#include <cstdint>
#include <vector>

#include "atomic_file.h"

namespace velgrin {

static_assert(std::endian::native == std::endian::little, "mesh files are written on little-endian machines only");

void writeMeshFile(const std::string& path, const TetMesh& mesh, double coordinateFactor) {
    writeAtomically(path, [&](std::FILE* file) {
        const std::int32_t header[5] = {mesh.nodeCount(), mesh.elementCount(), static_cast<std::int32_t>(mesh.facets.size()),
                                        mesh.nodesPerElement, 0};
        const unsigned char reserved[8] = {};
        std::fwrite(header, sizeof header, 1, file);
        std::fwrite(reserved, sizeof reserved, 1, file);
        std::vector<double> coordinates(mesh.coordinates);
        for (double& c : coordinates) c *= coordinateFactor;
        std::fwrite(coordinates.data(), sizeof(double), coordinates.size(), file);
        std::fwrite(mesh.connectivity.data(), sizeof(std::int32_t), mesh.connectivity.size(), file);
        std::vector<std::int32_t> facets;
        facets.reserve(3 * mesh.facets.size());
        for (const BoundaryFacet& f : mesh.facets) facets.insert(facets.end(), {f.tag, f.element, f.face});
        std::fwrite(facets.data(), sizeof(std::int32_t), facets.size(), file);
    });
}

}  // namespace velgrin
