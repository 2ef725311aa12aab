#include "io/companion_file.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace tarvsolv {
namespace {

class CompanionReader {
  public:
    CompanionReader(std::istream& in, std::string path) : in_(in), path_(std::move(path)) {}

    std::runtime_error error(const std::string& what) const {
        return std::runtime_error("companion file " + path_ + ": " + what);
    }

    void expect(const std::string& word) {
        std::string got;
        if (!(in_ >> got) || got != word) throw error("expected " + word + ", found '" + got + "'");
    }
    long number() {
        long value = 0;
        if (!(in_ >> value)) throw error("a number is missing or unreadable");
        return value;
    }
    double real() {
        double value = 0;
        if (!(in_ >> value)) throw error("a coordinate is missing or unreadable");
        return value;
    }
    int node(int nodeCount) {
        const long n = number();
        if (n < 1 || n > nodeCount) throw error("node " + std::to_string(n) + " is not in the mesh");
        return static_cast<int>(n - 1);
    }
    std::string word() {
        std::string w;
        in_ >> w;
        return w;
    }

  private:
    std::istream& in_;
    std::string path_;
};

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

}  // namespace

std::optional<MesherCompanion> readCompanionFile(const std::string& path, const FeMesh& mesh) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    CompanionReader r(in, path);
    r.expect("VELGRIN");
    r.expect("TOPOLOGY");
    r.number();
    r.expect("UNIT");
    r.word();
    r.expect("NODES");
    const long nodes = r.number();
    r.expect("ELEMENTS");
    const long elements = r.number();
    if (nodes != mesh.nodeCount() || elements != mesh.elementCount())
        throw r.error("it describes another mesh (" + std::to_string(nodes) + " nodes, " +
                      std::to_string(elements) + " elements)");
    MesherCompanion c;
    r.expect("BODIES");
    c.elementBodies.assign(mesh.elementCount(), 0);
    for (long b = r.number(); b > 0; --b) {
        const long body = r.number(), first = r.number(), last = r.number();
        if (first < 1 || last > elements || first > last)
            throw r.error("body " + std::to_string(body) + " has an element range outside the mesh");
        for (long e = first; e <= last; ++e) c.elementBodies[e - 1] = static_cast<int>(body);
    }
    for (int b : c.elementBodies)
        if (b == 0) {
            c.elementBodies.clear();  // incomplete ranges: the geometry falls back to its own reading
            break;
        }
    r.expect("FACES");
    for (long f = r.number(); f > 0; --f) {
        r.number();
        for (long k = r.number(); k > 0; --k) r.node(mesh.nodeCount());
    }
    r.expect("EDGES");
    for (long e = r.number(); e > 0; --e) {
        const long edge = r.number();
        r.number();
        r.number();
        std::set<int> onEdge;
        for (long k = r.number(); k > 0; --k) onEdge.insert(r.node(mesh.nodeCount()));
        c.edgeSegments[static_cast<int>(edge)] = segmentsOn(mesh, onEdge);
    }
    r.expect("VERTICES");
    for (long v = r.number(); v > 0; --v) {
        const long vertex = r.number();
        const long node = r.number();
        r.real();
        r.real();
        r.real();
        if (node >= 1 && node <= mesh.nodeCount())
            c.vertexNodes[static_cast<int>(vertex)] = static_cast<int>(node - 1);
    }
    r.expect("END");
    return c;
}

}  // namespace tarvsolv
