#include "physics/contact_search.h"

#include <algorithm>
#include <limits>
#include <set>

#include "physics/contact_facet_geometry.h"
#include "physics/contact_law.h"
#include "physics/contact_target_grid.h"

namespace tarvsolv {

void ContactSearch::addFacet(int face, int facet, const std::vector<int>& nodes, int element,
                             double stiffness, int body) {
    Target t;
    t.face = face;
    t.facet = facet;
    t.nodes = nodes;
    const Vec3 a = mesh_.node(t.nodes[0]), b = mesh_.node(t.nodes[1]), d = mesh_.node(t.nodes[2]);
    Vec3 centroid;
    for (int n = 0; n < 4; ++n) centroid = centroid + mesh_.node(mesh_.elementNodes(element)[n]);
    // The sign is the node order's against the outward side, which a deformation that keeps its
    // elements sound keeps.
    t.orientation = dot(cross(b - a, d - a), (1.0 / 3) * (a + b + d) - 0.25 * centroid) < 0 ? -1 : 1;
    t.stiffness = stiffness;
    t.body = body;
    targets_.push_back(std::move(t));
    ++facetsOfBody_[body];
}

bool ContactSearch::carries(int body, int other) const {
    const auto count = [&](int b) {
        const auto it = facetsOfBody_.find(b);
        return it == facetsOfBody_.end() ? 0 : it->second;
    };
    const int a = count(body), b = count(other);
    return a > b || (a == b && body < other);
}

bool ContactSearch::carriesAny(int body) const {
    for (const auto& entry : facetsOfBody_)
        if (entry.first != body && carries(body, entry.first)) return true;
    return false;
}

std::vector<double> ContactSearch::targetSizes(const Placement& at) const {
    std::vector<double> sizes;  // largest corner distance
    for (const Target& t : targets_) {
        const Vec3 a = at(t.nodes[0]), b = at(t.nodes[1]), d = at(t.nodes[2]);
        sizes.push_back(std::max({norm(b - a), norm(d - b), norm(a - d)}));
    }
    return sizes;
}

int ContactSearch::pair(ContactSet& set, const std::vector<double>* u) const {
    const Placement at{mesh_, u};
    std::vector<std::vector<int>> facets;
    for (const Target& t : targets_) facets.push_back(t.nodes);
    const std::vector<double> sizes = targetSizes(at);
    const TargetGrid grid(at, facets, sizes);
    int unpaired = 0;
    for (ContactPoint& p : set.points) {
        if (!p.between) continue;
        const std::size_t own = set.faces[p.face].facetNodes[p.facet].size();
        unpaired += !pairPoint(p, own, at, grid, sizes);
    }
    return unpaired;
}

bool ContactSearch::pairPoint(ContactPoint& p, std::size_t own, const Placement& at, const TargetGrid& grid,
                              const std::vector<double>& sizes) const {
    p.nodes.resize(own);
    p.a.clear();
    Vec3 x, rest;  // the point at `at` and on the undeformed mesh
    for (std::size_t m = 0; m < own; ++m) {
        x = x + p.shape[m] * at(p.nodes[m]);
        rest = rest + p.shape[m] * mesh_.node(p.nodes[m]);
    }
    const Faced faced = nearestTarget(p, x, at, grid, sizes);
    if (faced.target < 0) {
        p.otherFace = p.otherFacet = -1;
        return false;
    }
    pairWith(p, targets_[faced.target], faced, x, rest, at);
    return true;
}

// The nearest facet of another body this one carries the points against, among the facets of the
// point's grid cell.
ContactSearch::Faced ContactSearch::nearestTarget(const ContactPoint& p, const Vec3& x, const Placement& at,
                                                  const TargetGrid& grid,
                                                  const std::vector<double>& sizes) const {
    Faced best;
    double bestDistance = std::numeric_limits<double>::max();
    for (int candidate : grid.near(x)) {
        const Target& t = targets_[candidate];
        if (t.body == p.body || !carries(p.body, t.body)) continue;
        const auto on = nearestOnFacet(at, t.nodes, x);
        const double distance = norm(surfaceAt(at, t.nodes, on[0], on[1]).x - x);
        if (distance <= sizes[candidate] && distance < bestDistance) {
            bestDistance = distance;
            best = {candidate, on};
        }
    }
    return best;
}

// The gap along the facet's normal at the point it faces, both held at this state, is linear in
// u: c = (x_p - x_t) . n with x = X + u on either side.
void ContactSearch::pairWith(ContactPoint& p, const Target& t, const Faced& faced, const Vec3& x,
                             const Vec3& rest, const Placement& at) const {
    const std::size_t own = p.nodes.size();
    const SurfacePoint sp = surfaceAt(at, t.nodes, faced.at[0], faced.at[1]);
    const Vec3 n = normalized(t.orientation * cross(sp.dr, sp.ds));
    Vec3 facedRest;  // the undeformed position of the point faced
    for (std::size_t k = 0; k < t.nodes.size(); ++k)
        facedRest = facedRest + sp.shape.n[k] * mesh_.node(t.nodes[k]);
    p.otherFace = t.face;
    p.otherFacet = t.facet;
    p.nodes.insert(p.nodes.end(), t.nodes.begin(), t.nodes.end());
    for (std::size_t m = 0; m < own; ++m)
        for (int a = 0; a < 3; ++a) p.a.push_back(p.shape[m] * n[a]);
    for (std::size_t k = 0; k < t.nodes.size(); ++k)
        for (int a = 0; a < 3; ++a) p.a.push_back(-sp.shape.n[k] * n[a]);
    p.c0 = dot(rest - facedRest, n);
    p.startGap = dot(x - sp.x, n);
    p.normal = n;
    p.penalty = contact_law::penalty(std::max(p.stiffness, t.stiffness), p.size);
}

ContactSearch::PairChanges ContactSearch::pairAgain(ContactSet& set,
                                                    const std::vector<double>& global) const {
    std::vector<std::pair<int, int>> before;
    for (const ContactPoint& p : set.points) before.emplace_back(p.otherFace, p.otherFacet);
    pair(set, &global);
    PairChanges out;
    for (std::size_t i = 0; i < set.points.size(); ++i) {
        const ContactPoint& p = set.points[i];
        out.changed += before[i] != std::pair<int, int>(p.otherFace, p.otherFacet);
        out.inside += p.between && p.paired() && p.startGap < -0.1 * p.size;
    }
    return out;
}

std::vector<std::vector<int>> contactCouplings(const ContactSet& set) {
    std::set<std::pair<int, int>> seen;
    std::vector<std::vector<int>> groups;
    for (const ContactPoint& p : set.points)
        if (p.otherFace >= 0 &&
            seen.insert({p.face * 1000003 + p.facet, p.otherFace * 1000003 + p.otherFacet}).second)
            groups.push_back(p.nodes);
    return groups;
}

}  // namespace tarvsolv
