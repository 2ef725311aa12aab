#include "mesh_extraction.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "element_geometry.h"
#include "formats/face_tables.h"
#include "gmsh_api.h"
#include "velgrin_error.h"

namespace velgrin {

namespace {

constexpr int kGmshTet4 = 4, kGmshTet10 = 11, kGmshTri3 = 2, kGmshTri6 = 9;

// Gmsh's 10-node tetrahedron has corners 0-3 and mid-side nodes 4 (0-1), 5 (1-2), 6 (0-2), 7 (0-3),
// 8 (2-3), 9 (1-3); entry i is the Gmsh node at the add-on's local node i + 1.
constexpr std::array<int, 10> kFromGmshQuadratic{0, 4, 1, 5, 2, 6, 7, 9, 8, 3};

// Local node pairs swapped to turn an element inside out (exchanging its second and third corner).
constexpr std::array<std::pair<int, int>, 1> kFlipLinear{{{1, 2}}};
constexpr std::array<std::pair<int, int>, 3> kFlipQuadratic{{{2, 4}, {1, 5}, {7, 8}}};

struct TriangleKey {
    std::array<std::int32_t, 3> nodes;
    bool operator==(const TriangleKey&) const = default;
};
struct TriangleHash {
    std::size_t operator()(const TriangleKey& k) const {
        return (std::size_t(k.nodes[0]) * 73856093u) ^ (std::size_t(k.nodes[1]) * 19349663u) ^
               (std::size_t(k.nodes[2]) * 83492791u);
    }
};
TriangleKey sortedKey(std::int32_t a, std::int32_t b, std::int32_t c) {
    TriangleKey k{{a, b, c}};
    std::sort(k.nodes.begin(), k.nodes.end());
    return k;
}

class Extractor {
  public:
    Extractor(const CadModel& model, const EntityMap& map, int order) : model_(model), map_(map) {
        mesh_.nodesPerElement = order == 2 ? 10 : 4;
    }

    TetMesh run() {
        readNodes();
        for (std::size_t b = 0; b < model_.bodies().size(); ++b) readBody(static_cast<int>(b) + 1);
        compactNodes();
        readEntityNodes();
        return std::move(mesh_);
    }

  private:
    std::int32_t nodeOf(std::size_t tag) {
        std::int32_t& number = numberOfTag_.at(tag);
        if (number == 0) {
            number = ++usedNodes_;
            usedTags_.push_back(tag);
        }
        return number;
    }

    void readNodes() {
        std::vector<std::size_t> tags;
        std::vector<double> coords, parametric;
        gmsh::model::mesh::getNodes(tags, coords, parametric, -1, -1, false, false);
        const std::size_t maxTag = tags.empty() ? 0 : *std::max_element(tags.begin(), tags.end());
        numberOfTag_.assign(maxTag + 1, 0);
        coordinatesOfTag_.assign(3 * (maxTag + 1), 0.0);
        for (std::size_t i = 0; i < tags.size(); ++i)
            std::copy_n(coords.begin() + 3 * i, 3, coordinatesOfTag_.begin() + 3 * tags[i]);
    }

    void readBody(int body) {
        const int volume = map_.volumeOfBody(body);
        const int P = mesh_.nodesPerElement;
        std::vector<std::size_t> elementTags, nodeTags;
        gmsh::model::mesh::getElementsByType(P == 10 ? kGmshTet10 : kGmshTet4, elementTags, nodeTags, volume);
        if (elementTags.empty())
            throw VelgrinError(ExitCode::BadModel, "Body " + std::to_string(body) +
                                                       " could not be meshed: no elements were made.");
        const int first = mesh_.elementCount() + 1;
        for (std::size_t e = 0; e < elementTags.size(); ++e) {
            for (int i = 0; i < P; ++i)
                mesh_.connectivity.push_back(nodeOf(nodeTags[e * P + (P == 10 ? kFromGmshQuadratic[i] : i)]));
        }
        // Coordinates are needed for the orientation test; copy those of the nodes seen so far.
        syncCoordinates();
        for (int e = first; e <= mesh_.elementCount(); ++e) orient(e, body);
        mesh_.bodies.push_back({body, first, mesh_.elementCount()});
        readFacets(body, volume, first);
    }

    void syncCoordinates() {
        const std::size_t have = mesh_.coordinates.size() / 3;
        for (std::size_t n = have; n < usedTags_.size(); ++n)
            for (int c = 0; c < 3; ++c) mesh_.coordinates.push_back(coordinatesOfTag_[3 * usedTags_[n] + c]);
    }

    void orient(int element, int body) {
        const double volume = cornerVolume(mesh_, element);
        if (volume == 0)
            throw VelgrinError(ExitCode::BadModel, "Body " + std::to_string(body) +
                                                       " could not be meshed: element " +
                                                       std::to_string(element) + " is flat.");
        if (volume > 0) return;
        std::int32_t* nodes = mesh_.element(element);
        if (mesh_.nodesPerElement == 4) {
            for (auto [a, b] : kFlipLinear) std::swap(nodes[a], nodes[b]);
        } else {
            for (auto [a, b] : kFlipQuadratic) std::swap(nodes[a], nodes[b]);
        }
    }

    // Matches the body's surface triangles to its elements' faces; each facet carries the host number
    // of the face its triangle lies on.
    void readFacets(int body, int volume, int firstElement) {
        gmsh::vectorpair surfaces;
        gmsh::model::getBoundary({{3, volume}}, surfaces, false, false, false);
        std::unordered_map<TriangleKey, std::int32_t, TriangleHash> tagOfTriangle;
        const int triangleNodes = mesh_.nodesPerElement == 10 ? 6 : 3;
        for (const auto& [dim, signedTag] : surfaces) {
            const int surface = std::abs(signedTag);
            const int face = map_.hostFace(volume, surface);
            std::vector<std::size_t> tags, nodes;
            gmsh::model::mesh::getElementsByType(triangleNodes == 6 ? kGmshTri6 : kGmshTri3, tags, nodes,
                                                 surface);
            for (std::size_t t = 0; t < tags.size(); ++t) {
                const std::size_t* n = nodes.data() + t * triangleNodes;
                tagOfTriangle[sortedKey(numberOfTag_.at(n[0]), numberOfTag_.at(n[1]),
                                        numberOfTag_.at(n[2]))] = face;
            }
        }
        std::size_t found = 0;
        for (int e = firstElement; e <= mesh_.elementCount(); ++e) {
            const std::int32_t* nodes = mesh_.element(e);
            for (std::int32_t f = 1; f <= 4; ++f) {
                const auto local = mesh_solve::localFaceNodes(mesh_.nodesPerElement, f);
                const int step =
                    mesh_.nodesPerElement == 10 ? 2 : 1;  // quadratic rows alternate corner, mid-side
                const auto it = tagOfTriangle.find(
                    sortedKey(nodes[local[0] - 1], nodes[local[step] - 1], nodes[local[2 * step] - 1]));
                if (it == tagOfTriangle.end()) continue;
                mesh_.facets.push_back({it->second, e, f});
                ++found;
            }
        }
        if (found != tagOfTriangle.size())
            throw VelgrinError(
                ExitCode::BadModel,
                "Body " + std::to_string(body) + ": " +
                    std::to_string(tagOfTriangle.size() - std::min(found, tagOfTriangle.size())) +
                    " surface triangles match no element face; the mesh is not closed.");
    }

    void compactNodes() { syncCoordinates(); }

    std::vector<std::int32_t> nodesOf(int dim, int tag, bool alongCurve) {
        std::vector<std::size_t> tags;
        std::vector<double> coords, parametric;
        gmsh::model::mesh::getNodes(tags, coords, parametric, dim, tag, true, alongCurve);
        std::vector<std::pair<double, std::int32_t>> keyed;
        for (std::size_t i = 0; i < tags.size(); ++i) {
            const std::int32_t number = tags[i] < numberOfTag_.size() ? numberOfTag_[tags[i]] : 0;
            if (number == 0) continue;
            const double key =
                alongCurve && parametric.size() == tags.size() ? parametric[i] : double(number);
            keyed.emplace_back(key, number);
        }
        std::sort(keyed.begin(), keyed.end());
        std::vector<std::int32_t> out;
        for (const auto& [key, number] : keyed)
            if (out.empty() || out.back() != number) out.push_back(number);
        return out;
    }

    void readEntityNodes() {
        mesh_.onBoundary.assign(mesh_.nodeCount(), 0);
        for (const CadBody& body : model_.bodies()) {
            for (std::size_t i = 0; i < body.faces.size(); ++i) {
                const int face = body.firstFace + static_cast<int>(i);
                EntityNodes entry{face, {}, nodesOf(2, map_.surfaceOfFace(face), false)};
                for (std::int32_t n : entry.nodes) mesh_.onBoundary[n - 1] = 1;
                mesh_.faceNodes.push_back(std::move(entry));
            }
            for (std::size_t i = 0; i < body.edges.size(); ++i) {
                const int edge = body.firstEdge + static_cast<int>(i);
                const int curve = map_.curveOfEdge(edge);
                mesh_.edgeNodes.push_back(
                    {edge, body.edgeFaces[i], curve ? nodesOf(1, curve, true) : std::vector<std::int32_t>{}});
            }
            for (std::size_t i = 0; i < body.vertices.size(); ++i) {
                const int vertex = body.firstVertex + static_cast<int>(i);
                const int point = map_.pointOfVertex(vertex);
                mesh_.vertexNodes.push_back(
                    {vertex, {}, point ? nodesOf(0, point, false) : std::vector<std::int32_t>{}});
            }
        }
    }

    const CadModel& model_;
    const EntityMap& map_;
    TetMesh mesh_;
    std::vector<std::int32_t> numberOfTag_;
    std::vector<double> coordinatesOfTag_;
    std::vector<std::size_t> usedTags_;
    std::int32_t usedNodes_ = 0;
};

}  // namespace

TetMesh extractMesh(const CadModel& model, const EntityMap& map, int order) {
    return Extractor(model, map, order).run();
}

}  // namespace velgrin
