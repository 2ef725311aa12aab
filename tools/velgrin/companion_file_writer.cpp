#include "companion_file_writer.h"

#include "atomic_file.h"

namespace velgrin {

namespace {

constexpr int kNodesPerLine = 10;

void writeNodeList(std::FILE* file, const std::vector<std::int32_t>& nodes) {
    for (std::size_t i = 0; i < nodes.size(); ++i)
        std::fprintf(file, (i + 1) % kNodesPerLine == 0 || i + 1 == nodes.size() ? " %d\n" : " %d", nodes[i]);
}

}  // namespace

void writeCompanionFile(const std::string& path, const TetMesh& mesh, const std::string& unitText,
                        double coordinateFactor) {
    writeAtomically(path, [&](std::FILE* file) {
        std::fprintf(file, "VELGRIN TOPOLOGY 1\nUNIT %s\nNODES %d ELEMENTS %d\n", unitText.c_str(),
                     mesh.nodeCount(), mesh.elementCount());
        std::fprintf(file, "BODIES %zu\n", mesh.bodies.size());
        for (const BodyRange& b : mesh.bodies)
            std::fprintf(file, "%d %d %d\n", b.body, b.firstElement, b.lastElement);
        std::fprintf(file, "FACES %zu\n", mesh.faceNodes.size());
        for (const EntityNodes& f : mesh.faceNodes) {
            std::fprintf(file, "%d %zu\n", f.number, f.nodes.size());
            writeNodeList(file, f.nodes);
        }
        std::fprintf(file, "EDGES %zu\n", mesh.edgeNodes.size());
        for (const EntityNodes& e : mesh.edgeNodes) {
            const int faceA = e.faces.size() > 0 ? e.faces[0] : 0;
            const int faceB = e.faces.size() > 1 ? e.faces[1] : 0;
            std::fprintf(file, "%d %d %d %zu\n", e.number, faceA, faceB, e.nodes.size());
            writeNodeList(file, e.nodes);
        }
        std::fprintf(file, "VERTICES %zu\n", mesh.vertexNodes.size());
        for (const EntityNodes& v : mesh.vertexNodes) {
            const std::int32_t node = v.nodes.empty() ? 0 : v.nodes.front();
            const auto p = node ? mesh.node(node) : std::array<double, 3>{0, 0, 0};
            std::fprintf(file, "%d %d %.17g %.17g %.17g\n", v.number, node, p[0] * coordinateFactor,
                         p[1] * coordinateFactor, p[2] * coordinateFactor);
        }
        std::fprintf(file, "END\n");
    });
}

}  // namespace velgrin
