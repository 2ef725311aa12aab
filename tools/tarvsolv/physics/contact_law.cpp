#include "physics/contact_law.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvsolv::contact_law {
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

bool touchesAtStart(const ContactPoint& p) {
    return p.startGap <= kTouching * p.size;
}

}  // namespace

double penalty(double stiffness, double size) {
    return kPenaltyFactor * stiffness / size;
}

double heldSpringStiffness(const ContactPoint& p) {
    return p.area * p.penalty * (kHeldPenaltyFactor / kPenaltyFactor);
}

double gap(const ContactPoint& p, const std::vector<double>& u) {
    if (!p.paired()) return std::numeric_limits<double>::infinity();
    double c = p.c0;
    for (std::size_t k = 0; k < p.nodes.size(); ++k)
        for (int a = 0; a < 3; ++a) c += p.a[3 * k + a] * u[3 * static_cast<std::size_t>(p.nodes[k]) + a];
    return c;
}

double pressure(const ContactPoint& p, const std::vector<double>& u) {
    return std::max(0.0, p.multiplier - p.penalty * gap(p, u));
}

bool holds(const ContactPoint& p, const std::vector<double>& global, OpenGaps openGaps) {
    if (!p.paired()) return false;
    if (openGaps == OpenGaps::Hold) return true;
    if (global.empty()) return touchesAtStart(p);
    return p.lastPressure > 0 || gap(p, global) <= kTouching * p.size;
}

TangentSet tangentSet(const ContactSet& set, const std::vector<double>& global, TouchingTangent touching) {
    const std::vector<ContactPoint>& points = set.points;
    // A point exactly at contact counts as closed, so that touching bodies start held.
    TangentSet out(points.size(), PointTangent::None);
    std::vector<char> faceClosed(set.faces.size(), 0);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ContactPoint& p = points[i];
        if (p.multiplier - p.penalty * gap(p, global) >= -p.penalty * 1e-9 * p.size) {
            out[i] = PointTangent::Closed;
            faceClosed[p.face] = 1;
        }
    }
    if (touching == TouchingTangent::ClosedOnly) return out;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ContactPoint& p = points[i];
        // A touching point that has moved away from the contact no longer stiffens the tangent:
        // its face is opening, and a tangent the residual does not share would let Newton's
        // method creep toward that state by a small fraction per iteration.
        if (out[i] == PointTangent::None && p.paired() && !faceClosed[p.face] && touchesAtStart(p) &&
            gap(p, global) <= p.startGap)
            out[i] = PointTangent::TouchingOnly;
    }
    return out;
}

void acceptStep(std::vector<ContactPoint>& points, const std::vector<double>& global) {
    for (ContactPoint& p : points) {
        const double now = pressure(p, global);
        p.multiplier = std::max(0.0, 2 * now - p.lastPressure);
        p.lastPressure = now;
    }
}

double augment(std::vector<ContactPoint>& points, const std::vector<double>& global) {
    double change = 0, largest = 0;
    for (ContactPoint& p : points) {
        const double now = pressure(p, global);
        change = std::max(change, std::abs(now - p.multiplier));
        largest = std::max(largest, now);
        p.multiplier = now;
    }
    return largest > 0 ? change / largest : 0;
}

}  // namespace tarvsolv::contact_law
