#include "fem/fe_mesh.h"

#include <stdexcept>

#include "formats/face_tables.h"
#include "formats/mesh_reader.h"
#include "formats/mesh_writer.h"

namespace tarvsolv {
namespace {

// Solver-local index of each file position of a quadratic element.
constexpr std::array<int, 10> localOfFileIndex() {
    std::array<int, 10> inverse{};
    for (int local = 0; local < 10; ++local) inverse[kFileIndexOfLocal[local]] = local;
    return inverse;
}
constexpr std::array<int, 10> kLocalOfFile = localOfFileIndex();

int fileIndexOf(int nodesPerElement, int local) {
    return nodesPerElement == 10 ? kFileIndexOfLocal[local] : local;
}

}  // namespace

std::vector<int> FeMesh::faceNodes(int e, int face) const {
    const auto nodes = elementNodes(e);
    const auto row = mesh_solve::localFaceNodes(nodesPerElement, face + 1);
    std::vector<int> out;
    if (nodesPerElement == 4) {
        for (const std::int32_t local : row) out.push_back(nodes[local - 1]);
        return out;
    }
    // The file's row alternates corner and mid-side node; the solver lists the corners first.
    for (int k : {0, 2, 4, 1, 3, 5}) out.push_back(nodes[kLocalOfFile[row[k] - 1]]);
    return out;
}

FeMesh readMeshFile(const std::string& path) {
    mesh_solve::Mesh file;
    const mesh_solve::MeshReadResult read = mesh_solve::readMeshFile(file, path);
    if (!read.opened())
        throw std::runtime_error("cannot open the mesh file " + path + "; create a mesh first");
    if (read.status == mesh_solve::MeshReadStatus::Refused) throw std::runtime_error(read.message);
    if (file.nodeCount() < 4 || file.elementCount() < 1)
        throw std::runtime_error("mesh file " + path + " holds no usable mesh");

    FeMesh mesh;
    const int p = file.nodesPerElement();
    mesh.nodesPerElement = p;
    mesh.xyz.assign(file.coordinates().begin(), file.coordinates().end());
    const auto connectivity = file.connectivity();
    mesh.conn.resize(connectivity.size());
    for (std::size_t first = 0; first < connectivity.size(); first += static_cast<std::size_t>(p))
        for (int local = 0; local < p; ++local)
            mesh.conn[first + local] = connectivity[first + fileIndexOf(p, local)] - 1;
    mesh.facets.reserve(static_cast<std::size_t>(file.facetCount()));
    for (std::int32_t k = 0; k < file.facetCount(); ++k)
        mesh.facets.push_back({file.facetTags()[k], file.facetElements()[k] - 1, file.facetFaces()[k] - 1});
    return mesh;
}

void writeMeshFile(const FeMesh& mesh, const std::string& path) {
    const int p = mesh.nodesPerElement;
    mesh_solve::MeshArrays arrays;
    arrays.coordinates = mesh.xyz;
    arrays.connectivity.resize(mesh.conn.size());
    for (std::size_t first = 0; first < mesh.conn.size(); first += static_cast<std::size_t>(p))
        for (int local = 0; local < p; ++local)
            arrays.connectivity[first + fileIndexOf(p, local)] = mesh.conn[first + local] + 1;
    for (const Facet& facet : mesh.facets) {
        arrays.facetTags.push_back(facet.tag);
        arrays.facetElements.push_back(facet.element + 1);
        arrays.facetFaces.push_back(facet.face + 1);
    }
    if (!mesh_solve::writeMeshFile(path, p, arrays)) throw std::runtime_error("cannot write " + path);
}

Vec3 elementCentroid(const FeMesh& mesh, int element) {
    const auto nodes = mesh.elementNodes(element);
    Vec3 c;
    for (int k = 0; k < 4; ++k) c = c + mesh.node(nodes[k]);
    return 0.25 * c;
}

void elementValues(const FeMesh& mesh, int element, const std::vector<double>& field, int per,
                   std::vector<double>& values) {
    const auto nodes = mesh.elementNodes(element);
    const std::size_t p = static_cast<std::size_t>(per);
    values.resize(p * nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i)
        for (std::size_t a = 0; a < p; ++a)
            values[p * i + a] = field[p * static_cast<std::size_t>(nodes[i]) + a];
}

}  // namespace tarvsolv
