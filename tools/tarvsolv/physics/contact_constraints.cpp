#include "physics/contact_constraints.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <unordered_map>

#include "fem/element_kernels.h"
#include "fem/shape_functions.h"
#include "physics/structural_statics.h"

namespace tarvsolv {
namespace {

// The penalty is this many times the contact element's stiffness over the facet size. Stiffer
// penalties scatter the pressure between the integration points (100 times: by a factor of 2 on
// a curved quadratic face, 10 times: by some 10 %) and slow Newton's method down; the multipliers
// take out the penetration that this penalty alone would leave.
constexpr double kPenaltyFactor = 10;
// Points within this share of their facet size of contact count as touching (a curved face
// touches a plane along a line between its integration points): they hold the body for the
// free-body check, and while no point of their face is closed and they have not moved away from
// the contact they add their penalty to the tangent (not to the forces), so that a body held only
// by contact that has not closed yet gets a nonsingular Newton system near its first state. The
// residual holds no such term, so the converged state is exact.
constexpr double kTouching = 1e-3;
// The springs of an analysis linear about a contact state have this many times the element's
// stiffness over the facet size. No multiplier takes out what they give way: a layer of the body
// as thick as a facet is this many times softer than the springs under it, so a body of height H
// on facets of size h is about h / (1000 H) softer than one restrained on that face (its
// frequencies about half that lower). The linear analyses factorise in double precision, which
// takes the stiffer penalty's conditioning without loss; there is no pressure to scatter.
constexpr double kHeldPenaltyFactor = 1000;

double stiffnessScale(const ElasticMaterial& m) {
    if (m.isotropic) return m.lambda + 2 * m.mu;
    return std::max({m.d[0], m.d[7], m.d[14]});
}

Vec3 corner(const FeMesh& mesh, int element, int k) {
    return mesh.node(mesh.elementNodes(element)[k]);
}

// Node positions: the mesh's, moved by the displacements `u` (3 per node, global axes) when given.
struct Placement {
    const FeMesh& mesh;
    const std::vector<double>* u = nullptr;
    Vec3 operator()(int node) const {
        const Vec3 x = mesh.node(node);
        if (!u) return x;
        const std::size_t k = 3 * static_cast<std::size_t>(node);
        return {x.x + (*u)[k], x.y + (*u)[k + 1], x.z + (*u)[k + 2]};
    }
};

// The facets of the other side of the pairs by cells of a uniform grid as large as the largest
// facet: each facet is listed in every cell within one cell of its corners' box, so a point finds
// in its own cell every facet it can pair with (within the facet's size).
class TargetGrid {
  public:
    TargetGrid(const Placement& at, const std::vector<std::vector<int>>& facets,
               const std::vector<double>& sizes) {
        for (double size : sizes) cell_ = std::max(cell_, size);
        if (!(cell_ > 0)) return;
        for (std::size_t i = 0; i < facets.size(); ++i) {
            Vec3 low = at(facets[i][0]), high = low;
            for (int n : facets[i])
                for (int a = 0; a < 3; ++a) {
                    low[a] = std::min(low[a], at(n)[a]);
                    high[a] = std::max(high[a], at(n)[a]);
                }
            std::array<long long, 3> from{}, to{};
            for (int a = 0; a < 3; ++a) {
                from[a] = index(low[a]) - 1;
                to[a] = index(high[a]) + 1;
            }
            for (long long x = from[0]; x <= to[0]; ++x)
                for (long long y = from[1]; y <= to[1]; ++y)
                    for (long long z = from[2]; z <= to[2]; ++z)
                        cells_[key(x, y, z)].push_back(static_cast<int>(i));
        }
    }
    const std::vector<int>& near(const Vec3& x) const {
        static const std::vector<int> none;
        if (!(cell_ > 0)) return none;
        const auto it = cells_.find(key(index(x.x), index(x.y), index(x.z)));
        return it == cells_.end() ? none : it->second;
    }

  private:
    long long index(double v) const { return static_cast<long long>(std::floor(v / cell_)); }
    static long long key(long long x, long long y, long long z) {
        return (x * 73856093LL) ^ (y * 19349663LL) ^ (z * 83492791LL);
    }
    double cell_ = 0;
    std::unordered_map<long long, std::vector<int>> cells_;
};

struct SurfacePoint {
    Vec3 x, dr, ds;
    TriShape shape;
};

SurfacePoint surfaceAt(const Placement& at, const std::vector<int>& nodes, double xi, double eta) {
    SurfacePoint p;
    p.shape = triShape(static_cast<int>(nodes.size()), xi, eta);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const Vec3 x = at(nodes[i]);
        p.x = p.x + p.shape.n[i] * x;
        p.dr = p.dr + p.shape.dxi[i][0] * x;
        p.ds = p.ds + p.shape.dxi[i][1] * x;
    }
    return p;
}

void keepInTriangle(double& xi, double& eta) {
    xi = std::max(0.0, xi);
    eta = std::max(0.0, eta);
    if (xi + eta > 1) {
        const double s = xi + eta;
        xi /= s;
        eta /= s;
    }
}

// The reference point of the facet nearest to `x`: Gauss-Newton steps on the (possibly curved)
// facet from its centre, kept inside the triangle.
std::array<double, 2> nearestOnFacet(const Placement& at, const std::vector<int>& nodes, const Vec3& x) {
    double xi = 1.0 / 3, eta = 1.0 / 3;
    for (int it = 0; it < 8; ++it) {
        const SurfacePoint p = surfaceAt(at, nodes, xi, eta);
        const Vec3 r = x - p.x;
        const double a = dot(p.dr, p.dr), b = dot(p.dr, p.ds), c = dot(p.ds, p.ds);
        const double det = a * c - b * b;
        if (!(det > 0)) break;
        const double g1 = dot(p.dr, r), g2 = dot(p.ds, r);
        const double dxi = (c * g1 - b * g2) / det, deta = (a * g2 - b * g1) / det;
        xi += dxi;
        eta += deta;
        keepInTriangle(xi, eta);
        if (std::abs(dxi) + std::abs(deta) < 1e-12) break;
    }
    return {xi, eta};
}

}  // namespace

ContactConstraints::ContactConstraints(const Job& job, RunLog& log, bool pairedAgain) : mesh_(job.mesh) {
    const FeMesh& mesh = job.mesh;
    TemperatureField temperatures;
    temperatures.reference = job.initialTemperature();
    const auto facetStiffness = [&](const Facet& f) {
        return stiffnessScale(elementMaterial(job, temperatures, f.element));
    };
    // The contact faces of each body, for the pairs.
    const auto bodyOf = [&](const Facet& f) { return job.geometry->bodyOfElement(f.element); };
    for (std::size_t i = 0; i < job.entries.contacts.size(); ++i) {
        const ContactEntry& c = job.entries.contacts[i];
        Face face;
        face.face = c.face;
        face.what = c.kind == ContactEntry::Kind::PlaneGap    ? "gap to plane"
                    : c.kind == ContactEntry::Kind::NormalGap ? "normal gap"
                                                              : "contact";
        const auto& facets = job.geometry->facetsOfFace(c.face);
        for (std::size_t k = 0; k < facets.size(); ++k) {
            const Facet& f = facets[k];
            face.facetNodes.push_back(mesh.faceNodes(f.element, f.face));
            if (c.kind != ContactEntry::Kind::Interface) continue;
            Target t;
            t.face = static_cast<int>(i);
            t.facet = static_cast<int>(k);
            t.nodes = face.facetNodes.back();
            const Vec3 a = mesh.node(t.nodes[0]), b = mesh.node(t.nodes[1]), d = mesh.node(t.nodes[2]);
            Vec3 centroid;
            for (int n = 0; n < 4; ++n) centroid = centroid + corner(mesh, f.element, n);
            // The sign is the node order's against the outward side, which a deformation that
            // keeps its elements sound keeps.
            t.orientation = dot(cross(b - a, d - a), (1.0 / 3) * (a + b + d) - 0.25 * centroid) < 0 ? -1 : 1;
            t.stiffness = facetStiffness(f);
            t.body = bodyOf(f);
            targets_.push_back(std::move(t));
            ++facetsOfBody_[bodyOf(f)];
        }
        faces_.push_back(std::move(face));
    }
    const auto carriesAny = [&](int body) {
        for (const auto& entry : facetsOfBody_)
            if (entry.first != body && carries(body, entry.first)) return true;
        return false;
    };
    for (std::size_t i = 0; i < job.entries.contacts.size(); ++i) {
        const ContactEntry& c = job.entries.contacts[i];
        const auto& facets = job.geometry->facetsOfFace(c.face);
        for (std::size_t k = 0; k < facets.size(); ++k) {
            const Facet& f = facets[k];
            const std::vector<int>& nodes = faces_[i].facetNodes[k];
            const double stiffness = facetStiffness(f);
            const std::vector<BoundaryPoint> points = facePoints(mesh, f);
            double area = 0;
            for (const BoundaryPoint& p : points) area += p.measure;
            const double size = std::sqrt(area);
            const int body = bodyOf(f);
            for (const BoundaryPoint& bp : points) {
                Point p;
                p.face = static_cast<int>(i);
                p.facet = static_cast<int>(k);
                p.area = bp.measure;
                p.size = size;
                p.nodes = nodes;
                if (c.kind != ContactEntry::Kind::Interface) {
                    // The face moves along d up to the gap: c = gap - u . d.
                    const Vec3 d = c.kind == ContactEntry::Kind::PlaneGap ? c.direction : bp.normal;
                    for (std::size_t n = 0; n < nodes.size(); ++n)
                        for (int a = 0; a < 3; ++a) p.a.push_back(-bp.n[n] * d[a]);
                    p.c0 = p.startGap = (*c.gap)(EvalPoint{bp.x, 1.0, temperatures.reference});
                    p.normal = -1.0 * d;
                    p.penalty = kPenaltyFactor * stiffness / size;
                    points_.push_back(std::move(p));
                    continue;
                }
                if (!carriesAny(body)) continue;  // the other side of its pairs: its partners carry them
                p.between = true;
                p.body = body;
                p.stiffness = stiffness;
                p.shape = bp.n;
                points_.push_back(std::move(p));
            }
        }
    }
    const int unpaired = pairPoints(nullptr);
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        int points = 0;
        for (const Point& p : points_) points += p.face == static_cast<int>(i) && p.paired();
        log.line(std::string(faces_[i].what) + " on face " + std::to_string(faces_[i].face) + ": " +
                 std::to_string(faces_[i].facetNodes.size()) + " facets, " + std::to_string(points) +
                 " contact points");
    }
    if (facetsOfBody_.size() == 1)
        log.warning("every contact face belongs to body " + std::to_string(facetsOfBody_.begin()->first) +
                    ": contact needs contact faces on two bodies, so these hold nothing");
    if (unpaired && pairedAgain)
        log.line(std::to_string(unpaired) +
                 " point(s) of the contact faces face no other body's contact face within a facet size yet");
    else if (unpaired)
        log.warning(std::to_string(unpaired) +
                    " point(s) of the contact faces face no other body's contact face within a facet size "
                    "and cannot come into contact");
}

bool ContactConstraints::carries(int body, int other) const {
    const auto count = [&](int b) {
        const auto it = facetsOfBody_.find(b);
        return it == facetsOfBody_.end() ? 0 : it->second;
    };
    const int a = count(body), b = count(other);
    return a > b || (a == b && body < other);
}

int ContactConstraints::pairPoints(const std::vector<double>* u) {
    const Placement at{mesh_, u};
    std::vector<std::vector<int>> facets;
    std::vector<double> sizes;  // largest corner distance
    for (const Target& t : targets_) {
        facets.push_back(t.nodes);
        const Vec3 a = at(t.nodes[0]), b = at(t.nodes[1]), d = at(t.nodes[2]);
        sizes.push_back(std::max({norm(b - a), norm(d - b), norm(a - d)}));
    }
    const TargetGrid grid(at, facets, sizes);
    int unpaired = 0;
    for (Point& p : points_) {
        if (!p.between) continue;
        const std::size_t own = faces_[p.face].facetNodes[p.facet].size();
        p.nodes.resize(own);
        p.a.clear();
        Vec3 x, rest;  // the point at `at` and on the undeformed mesh
        for (std::size_t m = 0; m < own; ++m) {
            x = x + p.shape[m] * at(p.nodes[m]);
            rest = rest + p.shape[m] * mesh_.node(p.nodes[m]);
        }
        // The nearest facet of another body this one carries the points against, among the
        // facets of the point's grid cell.
        int best = -1;
        double bestDistance = std::numeric_limits<double>::max();
        std::array<double, 2> bestAt{};
        for (int candidate : grid.near(x)) {
            const Target& t = targets_[candidate];
            if (t.body == p.body || !carries(p.body, t.body)) continue;
            const auto on = nearestOnFacet(at, t.nodes, x);
            const double distance = norm(surfaceAt(at, t.nodes, on[0], on[1]).x - x);
            if (distance <= sizes[candidate] && distance < bestDistance) {
                bestDistance = distance;
                best = candidate;
                bestAt = on;
            }
        }
        if (best < 0) {
            p.otherFace = p.otherFacet = -1;
            ++unpaired;
            continue;
        }
        // The gap along the facet's normal at the point it faces, both held at this state, is
        // linear in u: c = (x_p - x_t) . n with x = X + u on either side.
        const Target& t = targets_[best];
        const SurfacePoint sp = surfaceAt(at, t.nodes, bestAt[0], bestAt[1]);
        const Vec3 n = normalized(t.orientation * cross(sp.dr, sp.ds));
        Vec3 faced;  // the undeformed position of the point faced
        for (std::size_t k = 0; k < t.nodes.size(); ++k)
            faced = faced + sp.shape.n[k] * mesh_.node(t.nodes[k]);
        p.otherFace = t.face;
        p.otherFacet = t.facet;
        p.nodes.insert(p.nodes.end(), t.nodes.begin(), t.nodes.end());
        for (std::size_t m = 0; m < own; ++m)
            for (int a = 0; a < 3; ++a) p.a.push_back(p.shape[m] * n[a]);
        for (std::size_t k = 0; k < t.nodes.size(); ++k)
            for (int a = 0; a < 3; ++a) p.a.push_back(-sp.shape.n[k] * n[a]);
        p.c0 = dot(rest - faced, n);
        p.startGap = dot(x - sp.x, n);
        p.normal = n;
        p.penalty = kPenaltyFactor * std::max(p.stiffness, t.stiffness) / p.size;
    }
    return unpaired;
}

ContactConstraints::PairChanges ContactConstraints::pairOn(const std::vector<double>& global) {
    std::vector<std::pair<int, int>> before;
    for (const Point& p : points_) before.emplace_back(p.otherFace, p.otherFacet);
    pairPoints(&global);
    PairChanges out;
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const Point& p = points_[i];
        out.changed += before[i] != std::pair<int, int>(p.otherFace, p.otherFacet);
        out.inside += p.between && p.paired() && p.startGap < -0.1 * p.size;
    }
    return out;
}

std::vector<std::vector<int>> ContactConstraints::couplings() const {
    std::set<std::pair<int, int>> seen;
    std::vector<std::vector<int>> groups;
    for (const Point& p : points_)
        if (p.otherFace >= 0 &&
            seen.insert({p.face * 1000003 + p.facet, p.otherFace * 1000003 + p.otherFacet}).second)
            groups.push_back(p.nodes);
    return groups;
}

double ContactConstraints::gap(const Point& p, const std::vector<double>& u) const {
    if (!p.paired()) return std::numeric_limits<double>::infinity();
    double c = p.c0;
    for (std::size_t k = 0; k < p.nodes.size(); ++k)
        for (int a = 0; a < 3; ++a) c += p.a[3 * k + a] * u[3 * static_cast<std::size_t>(p.nodes[k]) + a];
    return c;
}

double ContactConstraints::pressure(const Point& p, const std::vector<double>& u) const {
    return std::max(0.0, p.multiplier - p.penalty * gap(p, u));
}

bool ContactConstraints::holds(const Point& p, const std::vector<double>& global, bool openGapsToo) const {
    if (!p.paired()) return false;
    if (openGapsToo) return true;
    if (global.empty()) return p.startGap <= kTouching * p.size;
    return p.lastPressure > 0 || gap(p, global) <= kTouching * p.size;
}

void ContactConstraints::holdTouchingForCheck(DofLayout& check, bool betweenBodies,
                                              const std::vector<double>& state, bool openGapsToo) const {
    for (const Point& p : points_) {
        if (!holds(p, state, openGapsToo) || (p.between && !betweenBodies)) continue;
        int axis = 0;
        for (int a = 1; a < 3; ++a)
            if (std::abs(p.normal[a]) > std::abs(p.normal[axis])) axis = a;
        for (int n : p.nodes)
            if (!check.isPrescribed(3 * n + axis)) check.prescribe(3 * n + axis, 0.0);
    }
}

std::vector<std::vector<int>> ContactConstraints::touchingPairs(const std::vector<double>& state,
                                                                bool openGapsToo) const {
    std::vector<std::vector<int>> groups;
    for (const Point& p : points_)
        if (p.between && holds(p, state, openGapsToo)) groups.push_back(p.nodes);
    return groups;
}

std::vector<char> ContactConstraints::tangentSet(const std::vector<double>& global,
                                                 bool stiffenTouching) const {
    // A point exactly at contact counts as closed, so that touching bodies start held.
    std::vector<char> set(points_.size(), 0), faceClosed(faces_.size(), 0);
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const Point& p = points_[i];
        if (p.multiplier - p.penalty * gap(p, global) >= -p.penalty * 1e-9 * p.size) {
            set[i] = kClosed;
            faceClosed[p.face] = 1;
        }
    }
    if (stiffenTouching)
        for (std::size_t i = 0; i < points_.size(); ++i) {
            const Point& p = points_[i];
            // A touching point that has moved away from the contact no longer stiffens the tangent:
            // its face is opening, and a tangent the residual does not share would let Newton's
            // method creep toward that state by a small fraction per iteration.
            if (!set[i] && p.paired() && !faceClosed[p.face] && p.startGap <= kTouching * p.size &&
                gap(p, global) <= p.startGap)
                set[i] = kTouchingOnly;
        }
    return set;
}

void ContactConstraints::assemble(const DofLayout& layout, const std::vector<double>& global,
                                  SystemAssembler& assembler, bool stiffenTouching) const {
    const std::vector<char> set = tangentSet(global, stiffenTouching);
    std::vector<double> ke, fe;
    for (std::size_t k = 0; k < points_.size(); ++k) {
        const Point& p = points_[k];
        if (!set[k] || !layout.ownsNode(p.nodes[0])) continue;
        const double force = set[k] == kClosed ? p.area * pressure(p, global) : 0.0;
        const double stiffness = p.area * p.penalty;
        const std::size_t n = p.a.size();
        ke.assign(n * n, 0.0);
        fe.assign(n, 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            fe[i] = force * p.a[i];
            for (std::size_t j = 0; j < n; ++j) ke[i * n + j] = stiffness * p.a[i] * p.a[j];
        }
        assembler.addElement(p.nodes, ke, &fe);
    }
}

void ContactConstraints::addPlaneForces(const std::vector<double>& global, std::vector<double>& nodal) const {
    for (const Point& p : points_) {
        if (p.between) continue;
        const double force = p.area * pressure(p, global);
        for (std::size_t k = 0; k < p.nodes.size(); ++k)
            for (int a = 0; a < 3; ++a)
                nodal[3 * static_cast<std::size_t>(p.nodes[k]) + a] += force * p.a[3 * k + a];
    }
}

void ContactConstraints::acceptStep(const std::vector<double>& global) {
    for (Point& p : points_) {
        const double now = pressure(p, global);
        p.multiplier = std::max(0.0, 2 * now - p.lastPressure);
        p.lastPressure = now;
    }
}

void ContactConstraints::assembleHeldSprings(const DofLayout& layout, const std::vector<double>& global,
                                             SystemAssembler& assembler) const {
    std::vector<double> ke;
    for (const Point& p : points_) {
        if (!layout.ownsNode(p.nodes[0]) || !holds(p, global)) continue;
        const double stiffness = p.area * p.penalty * (kHeldPenaltyFactor / kPenaltyFactor);
        const std::size_t n = p.a.size();
        ke.assign(n * n, 0.0);
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j) ke[i * n + j] = stiffness * p.a[i] * p.a[j];
        assembler.addElement(p.nodes, ke, nullptr);
    }
}

void ContactConstraints::logHeld(const std::vector<double>& global, RunLog& log) const {
    std::vector<int> held(faces_.size()), points(faces_.size());
    for (const Point& p : points_) {
        if (!p.paired()) continue;
        ++points[p.face];
        held[p.face] += holds(p, global);
    }
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        const std::string face = std::string(faces_[i].what) + " on face " + std::to_string(faces_[i].face);
        // The coarser side of a contact pair carries no points: its partner's hold it.
        if (points[i] == 0)
            log.line(face + ": held through the points of the contact faces it faces");
        else
            log.line(face + ": " + std::to_string(held[i]) + " of its " + std::to_string(points[i]) +
                     " points are in contact and hold the body as normal springs");
    }
}

double ContactConstraints::augment(const std::vector<double>& global) {
    double change = 0, largest = 0;
    for (Point& p : points_) {
        const double now = pressure(p, global);
        change = std::max(change, std::abs(now - p.multiplier));
        largest = std::max(largest, now);
        p.multiplier = now;
    }
    return largest > 0 ? change / largest : 0;
}

std::vector<ContactConstraints::FaceStatus> ContactConstraints::status(
    const std::vector<double>& global) const {
    std::vector<FaceStatus> out(faces_.size());
    std::vector<std::set<int>> nodes(faces_.size());
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        out[i].face = faces_[i].face;
        out[i].what = faces_[i].what;
    }
    // Pressure is reported as the mean over a facet (force over area): the values at single
    // integration points scatter by some 10 % about it.
    struct FacetSum {
        double force = 0, area = 0;
        int other = -1;
    };
    std::map<std::pair<int, int>, FacetSum> facets;
    for (const Point& p : points_) {
        if (!p.paired()) continue;
        const double g = gap(p, global);
        const double pr = pressure(p, global);
        FaceStatus& s = out[p.face];
        ++s.points;
        s.largestPenetration = std::max(s.largestPenetration, -g);
        FacetSum& sum = facets[{p.face, p.facet}];
        sum.area += p.area;
        sum.force += p.area * pr;
        if (!(pr > 0)) continue;
        if (p.otherFace >= 0) sum.other = p.otherFace;
        const auto add = [&](FaceStatus& f, int face, int facet, double sign) {
            f.force = f.force + (sign * p.area * pr) * p.normal;
            f.normalForce += p.area * pr;
            const auto& list = faces_[face].facetNodes[facet];
            nodes[face].insert(list.begin(), list.end());
        };
        ++s.pointsInContact;
        add(s, p.face, p.facet, 1);
        if (p.otherFace >= 0) add(out[p.otherFace], p.otherFace, p.otherFacet, -1);
    }
    for (const auto& [key, sum] : facets) {
        const double mean = sum.area > 0 ? sum.force / sum.area : 0;
        out[key.first].largestPressure = std::max(out[key.first].largestPressure, mean);
        if (sum.other >= 0) out[sum.other].largestPressure = std::max(out[sum.other].largestPressure, mean);
    }
    for (std::size_t i = 0; i < faces_.size(); ++i) out[i].nodesInContact = static_cast<int>(nodes[i].size());
    return out;
}

void ContactConstraints::logStatus(const std::vector<double>& global, RunLog& log) const {
    for (const FaceStatus& s : status(global)) {
        std::ostringstream text;
        text.precision(5);
        text << s.what << " on face " << s.face << ": " << s.nodesInContact << " nodes in contact, force "
             << s.normalForce << " (" << s.force.x << ", " << s.force.y << ", " << s.force.z
             << "), largest pressure " << s.largestPressure;
        if (s.largestPenetration > 0) text << ", largest penetration " << s.largestPenetration;
        log.line(text.str());
    }
}

}  // namespace tarvsolv
