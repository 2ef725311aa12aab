#include "physics/mesher_companion.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace tarvsolv {
namespace {

// Segments of an edge: the boundary facet edges whose nodes all lie on the edge.
std::vector<std::array<int, 3>> segmentsOn(const FeMesh& mesh, const std::set<int>& onEdge) {
    std::vector<std::array<int, 3>> segments;
    std::set<std::pair<int, int>> taken;
    for (const Facet& f : mesh.facets) {
        const std::vector<int> n = mesh.faceNodes(f.element, f.face);
        const bool quadratic = n.size() == 6;
        const std::array<std::array<int, 3>, 3> edges{{{n[0], n[1], quadratic ? n[3] : -1},
                                                       {n[1], n[2], quadratic ? n[4] : -1},
                                                       {n[2], n[0], quadratic ? n[5] : -1}}};
        for (const auto& e : edges) {
            if (!onEdge.count(e[0]) || !onEdge.count(e[1]) || (e[2] >= 0 && !onEdge.count(e[2]))) continue;
            if (taken.insert(std::minmax(e[0], e[1])).second) segments.push_back(e);
        }
    }
    return segments;
}

// The body of every element; empty when the ranges leave an element without one, so that the
// geometry falls back to its own reading.
std::vector<int> elementBodies(const formats::MeshCompanion& file) {
    std::vector<int> bodies(file.elementCount, 0);
    for (const formats::CompanionBody& b : file.bodies)
        std::fill(bodies.begin() + (b.firstElement - 1), bodies.begin() + b.lastElement, b.body);
    if (std::find(bodies.begin(), bodies.end(), 0) != bodies.end()) bodies.clear();
    return bodies;
}

// The mesh's number of every file node: the file speaks of the mesh file's numbers, which the
// solver may have renumbered for its processes.
std::vector<int> meshNumbers(const FeMesh& mesh) {
    std::vector<int> number(static_cast<std::size_t>(mesh.nodeCount()));
    for (int n = 0; n < mesh.nodeCount(); ++n) number[mesh.fileNumber(n)] = n;
    return number;
}

MesherCompanion companionOn(const FeMesh& mesh, const formats::MeshCompanion& file) {
    MesherCompanion c;
    c.elementBodies = elementBodies(file);
    const std::vector<int> number = meshNumbers(mesh);
    const auto meshNode = [&](int fileNode) {
        return fileNode >= 1 && fileNode <= mesh.nodeCount() ? number[fileNode - 1] : -1;
    };
    for (const formats::CompanionEdge& edge : file.edges) {
        std::set<int> onEdge;
        for (int node : edge.nodes) onEdge.insert(meshNode(node));
        c.edgeSegments[edge.edge] = segmentsOn(mesh, onEdge);
    }
    for (const formats::CompanionVertex& vertex : file.vertices)
        if (vertex.node >= 1) c.vertexNodes[vertex.vertex] = meshNode(vertex.node);
    return c;
}

}  // namespace

std::optional<MesherCompanion> readMesherCompanion(const std::string& path, const FeMesh& mesh) {
    formats::MeshCompanion file;
    const formats::CompanionReadResult read = formats::readCompanionFile(file, path);
    if (read.status == formats::CompanionReadStatus::NotOpened) return std::nullopt;
    const auto error = [&](const std::string& what) {
        return std::runtime_error("companion file " + path + ": " + what);
    };
    if (read.status == formats::CompanionReadStatus::Refused) throw error(read.message);
    if (file.nodeCount != mesh.nodeCount() || file.elementCount != mesh.elementCount())
        throw error("it describes another mesh (" + std::to_string(file.nodeCount) + " nodes, " +
                    std::to_string(file.elementCount) + " elements)");
    return companionOn(mesh, file);
}

}  // namespace tarvsolv
