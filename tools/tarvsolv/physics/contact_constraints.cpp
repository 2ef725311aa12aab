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

// A facet of a contact face on the other side of a pair.
struct Target {
    int face = 0, facet = 0;  // index of the face and of the facet in its list
    int body = 0;
    std::vector<int> nodes;
    double orientation = 1;  // sign that turns cross(dx/dxi, dx/deta) outward
    double size = 0;         // largest corner distance
    double stiffness = 0;
};

// The targets by cells of a uniform grid as large as the largest target: each target is listed in
// every cell within one cell of its corners' box, so a point finds in its own cell every target
// it can pair with (within the target's size).
class TargetGrid {
  public:
    TargetGrid(const FeMesh& mesh, const std::vector<Target>& targets) {
        for (const Target& t : targets) cell_ = std::max(cell_, t.size);
        if (!(cell_ > 0)) return;
        for (std::size_t i = 0; i < targets.size(); ++i) {
            Vec3 low = mesh.node(targets[i].nodes[0]), high = low;
            for (int n : targets[i].nodes)
                for (int a = 0; a < 3; ++a) {
                    low[a] = std::min(low[a], mesh.node(n)[a]);
                    high[a] = std::max(high[a], mesh.node(n)[a]);
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

SurfacePoint surfaceAt(const FeMesh& mesh, const std::vector<int>& nodes, double xi, double eta) {
    SurfacePoint p;
    p.shape = triShape(static_cast<int>(nodes.size()), xi, eta);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const Vec3 x = mesh.node(nodes[i]);
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
std::array<double, 2> nearestOnFacet(const FeMesh& mesh, const std::vector<int>& nodes, const Vec3& x) {
    double xi = 1.0 / 3, eta = 1.0 / 3;
    for (int it = 0; it < 8; ++it) {
        const SurfacePoint p = surfaceAt(mesh, nodes, xi, eta);
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

ContactConstraints::ContactConstraints(const Job& job, RunLog& log) {
    const FeMesh& mesh = job.mesh;
    TemperatureField temperatures;
    temperatures.reference = job.initialTemperature();
    const auto facetStiffness = [&](const Facet& f) {
        return stiffnessScale(elementMaterial(job, temperatures, f.element));
    };
    // The contact faces of each body, for the pairs.
    std::vector<Target> targets;
    std::map<int, int> facetsOfBody;
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
            t.orientation = dot(cross(b - a, d - a), (1.0 / 3) * (a + b + d) - 0.25 * centroid) < 0 ? -1 : 1;
            t.size = std::max({norm(b - a), norm(d - b), norm(a - d)});
            t.stiffness = facetStiffness(f);
            t.body = bodyOf(f);
            targets.push_back(std::move(t));
            ++facetsOfBody[bodyOf(f)];
        }
        faces_.push_back(std::move(face));
    }
    // Of two bodies, the one with more contact facets carries the points (the finer side).
    const auto carries = [&](int body, int other) {
        const int a = facetsOfBody[body], b = facetsOfBody[other];
        return a > b || (a == b && body < other);
    };
    const auto carriesAny = [&](int body) {
        for (const auto& entry : facetsOfBody)
            if (entry.first != body && carries(body, entry.first)) return true;
        return false;
    };
    TargetGrid grid(mesh, targets);
    int unpaired = 0;
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
                if (c.kind != ContactEntry::Kind::Interface) {
                    // The face moves along d up to the gap: c = gap - u . d.
                    const Vec3 d = c.kind == ContactEntry::Kind::PlaneGap ? c.direction : bp.normal;
                    p.nodes = nodes;
                    for (std::size_t n = 0; n < nodes.size(); ++n)
                        for (int a = 0; a < 3; ++a) p.a.push_back(-bp.n[n] * d[a]);
                    p.c0 = (*c.gap)(EvalPoint{bp.x, 1.0, temperatures.reference});
                    p.normal = -1.0 * d;
                    p.penalty = kPenaltyFactor * stiffness / size;
                    points_.push_back(std::move(p));
                    continue;
                }
                if (!carriesAny(body)) continue;  // the other side of its pairs: its partners carry them
                // The nearest facet of another body this one carries the points against, among the
                // facets of the point's grid cell.
                const Target* best = nullptr;
                double bestDistance = std::numeric_limits<double>::max();
                std::array<double, 2> bestAt{};
                for (int candidate : grid.near(bp.x)) {
                    const Target& t = targets[candidate];
                    if (t.body == body || !carries(body, t.body)) continue;
                    const auto at = nearestOnFacet(mesh, t.nodes, bp.x);
                    const double distance = norm(surfaceAt(mesh, t.nodes, at[0], at[1]).x - bp.x);
                    if (distance <= t.size && distance < bestDistance) {
                        bestDistance = distance;
                        best = &t;
                        bestAt = at;
                    }
                }
                if (!best) {
                    ++unpaired;
                    continue;
                }
                const SurfacePoint sp = surfaceAt(mesh, best->nodes, bestAt[0], bestAt[1]);
                const Vec3 n = normalized(best->orientation * cross(sp.dr, sp.ds));
                p.otherFace = best->face;
                p.otherFacet = best->facet;
                p.nodes = nodes;
                p.nodes.insert(p.nodes.end(), best->nodes.begin(), best->nodes.end());
                for (std::size_t m = 0; m < nodes.size(); ++m)
                    for (int a = 0; a < 3; ++a) p.a.push_back(bp.n[m] * n[a]);
                for (std::size_t m = 0; m < best->nodes.size(); ++m)
                    for (int a = 0; a < 3; ++a) p.a.push_back(-sp.shape.n[m] * n[a]);
                p.c0 = dot(bp.x - sp.x, n);
                p.normal = n;
                p.penalty = kPenaltyFactor * std::max(stiffness, best->stiffness) / size;
                points_.push_back(std::move(p));
            }
        }
    }
    for (const Face& face : faces_) {
        int points = 0;
        for (const Point& p : points_) points += &faces_[p.face] == &face;
        log.line(std::string(face.what) + " on face " + std::to_string(face.face) + ": " +
                 std::to_string(face.facetNodes.size()) + " facets, " + std::to_string(points) +
                 " contact points");
    }
    if (facetsOfBody.size() == 1)
        log.warning("every contact face belongs to body " + std::to_string(facetsOfBody.begin()->first) +
                    ": contact needs contact faces on two bodies, so these hold nothing");
    if (unpaired)
        log.warning(std::to_string(unpaired) +
                    " point(s) of the contact faces face no other body's contact face within a facet size "
                    "and cannot come into contact");
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
    double c = p.c0;
    for (std::size_t k = 0; k < p.nodes.size(); ++k)
        for (int a = 0; a < 3; ++a) c += p.a[3 * k + a] * u[3 * static_cast<std::size_t>(p.nodes[k]) + a];
    return c;
}

double ContactConstraints::pressure(const Point& p, const std::vector<double>& u) const {
    return std::max(0.0, p.multiplier - p.penalty * gap(p, u));
}

bool ContactConstraints::holds(const Point& p, const std::vector<double>& global, bool openGapsToo) const {
    if (openGapsToo) return true;
    if (global.empty()) return p.c0 <= kTouching * p.size;
    return p.lastPressure > 0 || gap(p, global) <= kTouching * p.size;
}

void ContactConstraints::holdTouchingForCheck(DofLayout& check, bool betweenBodies,
                                              const std::vector<double>& state, bool openGapsToo) const {
    for (const Point& p : points_) {
        if (!holds(p, state, openGapsToo) || (p.otherFace >= 0 && !betweenBodies)) continue;
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
        if (p.otherFace >= 0 && holds(p, state, openGapsToo)) groups.push_back(p.nodes);
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
            if (!set[i] && !faceClosed[p.face] && p.c0 <= kTouching * p.size && gap(p, global) <= p.c0)
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
        if (p.otherFace >= 0) continue;
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
