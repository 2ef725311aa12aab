#include "formats/companion_file.h"

#include <fstream>

#include "formats/word_reader.h"

namespace formats {

namespace {

constexpr int kNodesPerLine = 10;

bool writeNodeList(std::FILE* file, const std::vector<int>& nodes) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const bool lineEnds = (i + 1) % kNodesPerLine == 0 || i + 1 == nodes.size();
        if (std::fprintf(file, lineEnds ? " %d\n" : " %d", nodes[i]) < 0) return false;
    }
    return true;
}

bool writeBodiesAndFaces(std::FILE* file, const MeshCompanion& c) {
    bool ok = std::fprintf(file, "BODIES %zu\n", c.bodies.size()) >= 0;
    for (const CompanionBody& b : c.bodies)
        ok = ok && std::fprintf(file, "%d %d %d\n", b.body, b.firstElement, b.lastElement) >= 0;
    ok = ok && std::fprintf(file, "FACES %zu\n", c.faces.size()) >= 0;
    for (const CompanionFace& f : c.faces)
        ok =
            ok && std::fprintf(file, "%d %zu\n", f.face, f.nodes.size()) >= 0 && writeNodeList(file, f.nodes);
    return ok;
}

bool writeEdgesAndVertices(std::FILE* file, const MeshCompanion& c) {
    bool ok = std::fprintf(file, "EDGES %zu\n", c.edges.size()) >= 0;
    for (const CompanionEdge& e : c.edges)
        ok = ok && std::fprintf(file, "%d %d %d %zu\n", e.edge, e.faceA, e.faceB, e.nodes.size()) >= 0 &&
             writeNodeList(file, e.nodes);
    ok = ok && std::fprintf(file, "VERTICES %zu\n", c.vertices.size()) >= 0;
    for (const CompanionVertex& v : c.vertices)
        ok = ok && std::fprintf(file, "%d %d %.17g %.17g %.17g\n", v.vertex, v.node, v.position[0],
                                v.position[1], v.position[2]) >= 0;
    return ok;
}

void readHead(WordReader& r, MeshCompanion& c) {
    r.expect("VELGRIN");
    r.expect("TOPOLOGY");
    if (const int version = r.number(); version != 1)
        throw WordRefusal("version " + std::to_string(version) + " is not known");
    r.expect("UNIT");
    c.unitText = r.word();
    r.expect("NODES");
    c.nodeCount = r.count();
    r.expect("ELEMENTS");
    c.elementCount = r.count();
}

void readBodiesAndFaces(WordReader& r, MeshCompanion& c) {
    r.expect("BODIES");
    for (int b = r.count(); b > 0; --b) {
        CompanionBody body;
        body.body = r.number();
        body.firstElement = r.number();
        body.lastElement = r.number();
        if (body.firstElement < 1 || body.lastElement > c.elementCount ||
            body.firstElement > body.lastElement)
            throw WordRefusal("body " + std::to_string(body.body) + " has an element range outside the mesh");
        c.bodies.push_back(body);
    }
    r.expect("FACES");
    for (int f = r.count(); f > 0; --f) {
        CompanionFace face;
        face.face = r.number();
        face.nodes = r.nodes(c.nodeCount);
        c.faces.push_back(std::move(face));
    }
}

void readEdgesAndVertices(WordReader& r, MeshCompanion& c) {
    r.expect("EDGES");
    for (int e = r.count(); e > 0; --e) {
        CompanionEdge edge;
        edge.edge = r.number();
        edge.faceA = r.number();
        edge.faceB = r.number();
        edge.nodes = r.nodes(c.nodeCount);
        c.edges.push_back(std::move(edge));
    }
    r.expect("VERTICES");
    for (int v = r.count(); v > 0; --v) {
        CompanionVertex vertex;
        vertex.vertex = r.number();
        vertex.node = r.node(c.nodeCount, true);
        for (double& x : vertex.position) x = r.real("a coordinate");
        c.vertices.push_back(vertex);
    }
    r.expect("END");
}

}  // namespace

std::string companionPathFor(const std::string& meshPath) {
    const std::string meb = ".meb";
    if (meshPath.size() > meb.size() && meshPath.compare(meshPath.size() - meb.size(), meb.size(), meb) == 0)
        return meshPath.substr(0, meshPath.size() - meb.size()) + ".mtp";
    return meshPath + ".mtp";
}

bool writeCompanionFile(std::FILE* file, const MeshCompanion& c) {
    return std::fprintf(file, "VELGRIN TOPOLOGY 1\nUNIT %s\nNODES %d ELEMENTS %d\n", c.unitText.c_str(),
                        c.nodeCount, c.elementCount) >= 0 &&
           writeBodiesAndFaces(file, c) && writeEdgesAndVertices(file, c) && std::fprintf(file, "END\n") >= 0;
}

CompanionReadResult readCompanionFile(MeshCompanion& companion, const std::string& path) {
    companion = MeshCompanion{};
    std::ifstream in(path);
    if (!in) return {CompanionReadStatus::NotOpened, ""};
    WordReader reader(in);
    try {
        readHead(reader, companion);
        readBodiesAndFaces(reader, companion);
        readEdgesAndVertices(reader, companion);
    } catch (const WordRefusal& refusal) {
        companion = MeshCompanion{};
        return {CompanionReadStatus::Refused, refusal.what()};
    }
    return {CompanionReadStatus::Read, ""};
}

}  // namespace formats
