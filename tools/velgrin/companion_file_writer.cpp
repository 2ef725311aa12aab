#include "companion_file_writer.h"

#include "atomic_file.h"

namespace velgrin {

namespace {

formats::MeshCompanion companionOf(const TetMesh& mesh, const std::string& unitText,
                                   double coordinateFactor) {
    formats::MeshCompanion c;
    c.unitText = unitText;
    c.nodeCount = mesh.nodeCount();
    c.elementCount = mesh.elementCount();
    for (const BodyRange& b : mesh.bodies) c.bodies.push_back({b.body, b.firstElement, b.lastElement});
    for (const EntityNodes& f : mesh.faceNodes)
        c.faces.push_back({f.number, {f.nodes.begin(), f.nodes.end()}});
    for (const EntityNodes& e : mesh.edgeNodes) {
        const int faceA = e.faces.size() > 0 ? e.faces[0] : 0;
        const int faceB = e.faces.size() > 1 ? e.faces[1] : 0;
        c.edges.push_back({e.number, faceA, faceB, {e.nodes.begin(), e.nodes.end()}});
    }
    for (const EntityNodes& v : mesh.vertexNodes) {
        const std::int32_t node = v.nodes.empty() ? 0 : v.nodes.front();
        const auto p = node ? mesh.node(node) : std::array<double, 3>{0, 0, 0};
        c.vertices.push_back(
            {v.number, node, {p[0] * coordinateFactor, p[1] * coordinateFactor, p[2] * coordinateFactor}});
    }
    return c;
}

}  // namespace

void writeCompanionFile(const std::string& path, const TetMesh& mesh, const std::string& unitText,
                        double coordinateFactor) {
    const formats::MeshCompanion companion = companionOf(mesh, unitText, coordinateFactor);
    writeAtomically(path, [&](std::FILE* file) { formats::writeCompanionFile(file, companion); });
}

}  // namespace velgrin
