#include "fe_mesh.h"

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace tarvsolv {
namespace {

// Local faces in the file's 1-based node numbering, linear and quadratic (corner, mid, corner, ...).
constexpr int kLinearFaces[4][3] = {{1, 3, 2}, {1, 2, 4}, {2, 3, 4}, {3, 1, 4}};
constexpr int kQuadraticFaces[4][6] = {
    {1, 6, 5, 4, 3, 2}, {1, 2, 3, 8, 10, 7}, {3, 4, 5, 9, 10, 8}, {5, 6, 1, 7, 10, 9}};

// Solver-local index of each file position of a quadratic element.
constexpr std::array<int, 10> localOfFileIndex() {
    std::array<int, 10> inverse{};
    for (int local = 0; local < 10; ++local) inverse[kFileIndexOfLocal[local]] = local;
    return inverse;
}
constexpr std::array<int, 10> kLocalOfFile = localOfFileIndex();

template <typename T>
void readRaw(std::ifstream& in, T* data, std::size_t count, const std::string& path, const char* what) {
    in.read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(count * sizeof(T)));
    if (!in) throw std::runtime_error("mesh file " + path + " is too short (" + what + ")");
}

}  // namespace

std::vector<int> FeMesh::faceNodes(int e, int face) const {
    const auto nodes = elementNodes(e);
    std::vector<int> out;
    if (nodesPerElement == 4) {
        for (int k = 0; k < 3; ++k) out.push_back(nodes[kLinearFaces[face][k] - 1]);
        return out;
    }
    const int* row = kQuadraticFaces[face];
    for (int k : {0, 2, 4, 1, 3, 5}) out.push_back(nodes[kLocalOfFile[row[k] - 1]]);
    return out;
}

FeMesh readMeshFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open the mesh file " + path + "; create a mesh first");
    std::int32_t head[5];
    char reserved[8];
    readRaw(in, head, 5, path, "header");
    readRaw(in, reserved, 8, path, "header");
    const std::int32_t n = head[0], e = head[1], f = head[2], p = head[3];
    if (p != 4 && p != 10)
        throw std::runtime_error("mesh file " + path + " has " + std::to_string(p) +
                                 " nodes per element; only 4 and 10 are known");
    if (n < 4 || e < 1 || f < 0) throw std::runtime_error("mesh file " + path + " holds no usable mesh");
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::uint64_t>(in.tellg());
    const std::uint64_t need = 28 + 24ull * n + 4ull * p * e + 12ull * f;
    if (size < need) throw std::runtime_error("mesh file " + path + " is too short for its counts");
    in.seekg(28);

    FeMesh mesh;
    mesh.nodesPerElement = p;
    mesh.xyz.resize(3ull * n);
    readRaw(in, mesh.xyz.data(), mesh.xyz.size(), path, "coordinates");
    std::vector<std::int32_t> raw(static_cast<std::size_t>(p) * e);
    readRaw(in, raw.data(), raw.size(), path, "connectivity");
    mesh.conn.resize(raw.size());
    for (std::int32_t el = 0; el < e; ++el) {
        for (int local = 0; local < p; ++local) {
            const int fileIndex = p == 10 ? kFileIndexOfLocal[local] : local;
            const std::int32_t node = raw[static_cast<std::size_t>(el) * p + fileIndex];
            if (node < 1 || node > n)
                throw std::runtime_error("mesh file " + path + ": element " + std::to_string(el + 1) +
                                         " names node " + std::to_string(node));
            mesh.conn[static_cast<std::size_t>(el) * p + local] = node - 1;
        }
    }
    std::vector<std::int32_t> facets(3ull * f);
    readRaw(in, facets.data(), facets.size(), path, "facets");
    mesh.facets.reserve(f);
    for (std::int32_t k = 0; k < f; ++k) {
        const std::int32_t el = facets[3 * k + 1], face = facets[3 * k + 2];
        if (el < 1 || el > e || face < 1 || face > 4)
            throw std::runtime_error("mesh file " + path + ": facet " + std::to_string(k + 1) +
                                     " names element " + std::to_string(el) + " face " +
                                     std::to_string(face));
        mesh.facets.push_back({facets[3 * k], el - 1, face - 1});
    }
    return mesh;
}

void writeMeshFile(const FeMesh& mesh, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create " + path);
    const int p = mesh.nodesPerElement;
    const std::int32_t head[5] = {mesh.nodeCount(), mesh.elementCount(),
                                  static_cast<std::int32_t>(mesh.facets.size()), p, 0};
    const char reserved[8] = {};
    out.write(reinterpret_cast<const char*>(head), sizeof head);
    out.write(reserved, sizeof reserved);
    out.write(reinterpret_cast<const char*>(mesh.xyz.data()),
              static_cast<std::streamsize>(mesh.xyz.size() * sizeof(double)));
    std::vector<std::int32_t> raw(mesh.conn.size());
    for (int el = 0; el < mesh.elementCount(); ++el)
        for (int local = 0; local < p; ++local) {
            const int fileIndex = p == 10 ? kFileIndexOfLocal[local] : local;
            raw[static_cast<std::size_t>(el) * p + fileIndex] =
                mesh.conn[static_cast<std::size_t>(el) * p + local] + 1;
        }
    out.write(reinterpret_cast<const char*>(raw.data()), static_cast<std::streamsize>(raw.size() * 4));
    for (const Facet& facet : mesh.facets) {
        const std::int32_t rec[3] = {facet.tag, facet.element + 1, facet.face + 1};
        out.write(reinterpret_cast<const char*>(rec), sizeof rec);
    }
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace tarvsolv
