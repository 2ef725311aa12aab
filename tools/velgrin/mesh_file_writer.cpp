#include "mesh_file_writer.h"

#include "atomic_file.h"
#include "formats/mesh_writer.h"

namespace velgrin {

void writeMeshFile(const std::string& path, const TetMesh& mesh, double coordinateFactor) {
    mesh_solve::MeshArrays arrays;
    arrays.coordinates = mesh.coordinates;
    for (double& c : arrays.coordinates) c *= coordinateFactor;
    arrays.connectivity = mesh.connectivity;
    for (const BoundaryFacet& f : mesh.facets) {
        arrays.facetTags.push_back(f.tag);
        arrays.facetElements.push_back(f.element);
        arrays.facetFaces.push_back(f.face);
    }
    writeAtomically(path,
                    [&](std::FILE* file) { mesh_solve::writeMeshFile(file, mesh.nodesPerElement, arrays); });
}

}  // namespace velgrin
