#include "physics/flow_bodies.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <stdexcept>

namespace tarvsolv {
namespace {

std::string list(const std::vector<int>& faces) {
    std::string out;
    for (int face : faces) out += (out.empty() ? "" : ", ") + std::to_string(face);
    return out;
}

}  // namespace

FlowBodies::FlowBodies(const Job& job, bool carriesHeat, RunLog& log)
    : job_(job), solid_(job.mesh.elementCount(), 0), inFluid_(job.mesh.nodeCount(), 0) {
    const FeMesh& mesh = job.mesh;
    std::map<int, std::array<int, 2>> counts;  // body -> fluid and solid elements
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const int body = job.geometry->bodyOfElement(e);
        if (carriesHeat)
            solid_[e] =
                job.materials->forBody(body).isSolidAt(elementPoint(mesh, e, 0.0, job.initialTemperature()));
        ++counts[body][solid_[e]];
        if (!solid_[e])
            for (int node : mesh.elementNodes(e)) inFluid_[node] = 1;
    }
    bool anyFluid = false;
    for (const auto& [body, count] : counts) {
        if (count[0] > 0 && count[1] > 0)
            throw std::runtime_error("the dynamic viscosity of body " + std::to_string(body) +
                                     " is 0 in part of it only: a body is either a fluid (viscosity above "
                                     "0) or a solid (viscosity 0)");
        anyFluid = anyFluid || count[0] > 0;
        anySolid_ = anySolid_ || count[1] > 0;
        if (carriesHeat)
            log.line("body " + std::to_string(body) +
                     (count[1] > 0 ? ": solid (conducts heat only)" : ": fluid (carries flow and heat)"));
    }
    if (!anyFluid)
        throw std::runtime_error(
            "a flow that carries heat needs at least one fluid body (dynamic viscosity "
            "above 0)");
    // Facets on the same three corner nodes lie on a face two bodies share.
    std::map<std::array<int, 3>, std::vector<const Facet*>> byCorners;
    for (const Facet& facet : mesh.facets) {
        const std::vector<int> nodes = mesh.faceNodes(facet.element, facet.face);
        std::array<int, 3> key{nodes[0], nodes[1], nodes[2]};
        std::sort(key.begin(), key.end());
        byCorners[key].push_back(&facet);
    }
    std::map<int, int> sharedFacets, facets;  // per host face
    std::map<std::pair<int, int>, SharedFaces> pairs;
    for (const Facet& facet : mesh.facets) ++facets[facet.tag];
    for (const auto& [key, sides] : byCorners) {
        if (sides.size() != 2) continue;
        const Facet *a = sides[0], *b = sides[1];
        int bodyA = job.geometry->bodyOfElement(a->element), bodyB = job.geometry->bodyOfElement(b->element);
        if (bodyA == bodyB) continue;
        if (bodyA > bodyB) std::swap(a, b), std::swap(bodyA, bodyB);
        ++sharedFacets[a->tag];
        ++sharedFacets[b->tag];
        SharedFaces& pair = pairs[{bodyA, bodyB}];
        pair.first = bodyA, pair.second = bodyB;
        pair.firstFaces.push_back(a->tag);
        pair.secondFaces.push_back(b->tag);
        for (int node : mesh.faceNodes(a->element, a->face)) pair.nodes.push_back(node);
    }
    const auto unique = [](std::vector<int>& v) {
        std::sort(v.begin(), v.end());
        v.erase(std::unique(v.begin(), v.end()), v.end());
    };
    for (auto& [bodies, pair] : pairs) {
        unique(pair.firstFaces);
        unique(pair.secondFaces);
        unique(pair.nodes);
        const bool secondSolid = counts[pair.second][1] > 0 && counts[pair.first][1] == 0;
        pair.measuredFrom = secondSolid ? pair.second : pair.first;
        shared_.push_back(pair);
        log.line("bodies " + std::to_string(pair.first) + " and " + std::to_string(pair.second) + " share " +
                 describe(pair) + ": " + std::to_string(pair.nodes.size()) + " nodes, internal");
    }
    for (const auto& [face, count] : sharedFacets)
        if (count == facets[face]) {
            if (static_cast<int>(internal_.size()) <= face) internal_.resize(face + 1, 0);
            internal_[face] = 1;
        }
}

bool FlowBodies::solidFace(int face) const {
    const std::vector<Facet>& facets = job_.geometry->facetsOfFace(face);
    return !facets.empty() && solid(facets.front().element);
}

bool FlowBodies::internalFace(int face) const {
    return face >= 0 && face < static_cast<int>(internal_.size()) && internal_[face];
}

std::string FlowBodies::describe(const SharedFaces& pair) {
    return "faces " + list(pair.firstFaces) + "/" + list(pair.secondFaces);
}

}  // namespace tarvsolv
