#pragma once
// Which point faces which facet: the pairs between bodies. Each point of the finer of two bodies'
// contact faces faces the nearest facet of the other body's contact faces within that facet's
// size, along that facet's outward normal (found through a grid of cells as large as the largest
// contact facet). Small displacements keep the pairs of the undeformed mesh. Large displacements
// find them again on a deformed state: the point's material position and the nearest point and
// normal of the deformed facet it faces make the gap linear in u again, exact at that state; the
// multipliers stay with the points. Gaps to planes need no pairs: the plane holds still and the gap
// of a material point is linear in its displacement.
#include <array>
#include <map>
#include <vector>

#include "fem/fe_mesh.h"
#include "physics/contact_point.h"

namespace tarvsolv {

class TargetGrid;
struct Placement;

class ContactSearch {
  public:
    explicit ContactSearch(const FeMesh& mesh) : mesh_(mesh) {}

    // Adds facet `facet` (its `nodes`, of `element`) of the contact face `face` of `body` as a
    // facet the points of other bodies may face; `stiffness` is its element's stiffness scale.
    void addFacet(int face, int facet, const std::vector<int>& nodes, int element, double stiffness,
                  int body);
    // Whether the points of `body` face the facets of `other`: the body with more contact facets
    // carries the points (the finer side).
    bool carries(int body, int other) const;
    // Whether the points of `body` face the facets of any other body.
    bool carriesAny(int body) const;
    // The bodies that have contact facets, with their facet counts.
    const std::map<int, int>& facetsOfBody() const { return facetsOfBody_; }

    // Pairs every point between bodies of `set` with the nearest facet it carries points against at
    // the positions X + u (`u` null: the undeformed mesh); answers the points that face no facet.
    int pair(ContactSet& set, const std::vector<double>* u) const;

    struct PairChanges {
        int changed = 0;  // points that face another facet than before
        int inside = 0;   // points past the facet they now face by more than a tenth of their facet
    };
    // Finds the pairs again on the positions X + u of the state `global` (every node, global axes),
    // each point keeping its multiplier. A point that faces no facet cannot touch until it is paired
    // again.
    PairChanges pairAgain(ContactSet& set, const std::vector<double>& global) const;

  private:
    // A facet of a contact face between bodies, which the points of another body may face.
    struct Target {
        int face = 0, facet = 0;  // index of the face and of the facet in its list
        int body = 0;
        std::vector<int> nodes;
        double orientation = 1;  // sign that turns cross(dx/dxi, dx/deta) outward
        double stiffness = 0;
    };
    // The target a point at `x` faces and the reference point on it (target -1: none).
    struct Faced {
        int target = -1;
        std::array<double, 2> at{};
    };

    std::vector<double> targetSizes(const Placement& at) const;
    bool pairPoint(ContactPoint& p, std::size_t own, const Placement& at, const TargetGrid& grid,
                   const std::vector<double>& sizes) const;
    Faced nearestTarget(const ContactPoint& p, const Vec3& x, const Placement& at, const TargetGrid& grid,
                        const std::vector<double>& sizes) const;
    void pairWith(ContactPoint& p, const Target& t, const Faced& faced, const Vec3& x, const Vec3& rest,
                  const Placement& at) const;

    const FeMesh& mesh_;
    std::vector<Target> targets_;
    std::map<int, int> facetsOfBody_;
};

// Groups of nodes that contact terms couple across bodies, which the matrix pattern must hold.
std::vector<std::vector<int>> contactCouplings(const ContactSet& set);

}  // namespace tarvsolv
