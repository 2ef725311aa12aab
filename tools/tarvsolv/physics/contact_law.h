#pragma once
// The contact law at a point: an augmented penalty holds the unilateral condition c(u) >= 0. The
// point's pressure is p = max(0, lambda - eps c), its force on the nodes w p a_k (w the point's
// area). A converged load step sets the multiplier lambda of the next one to the step's pressure
// extrapolated by its increase over the step before (at least 0), so that under loads that grow
// in proportion the penalty carries almost nothing and the penetration left is the error of that
// prediction over eps. The pressure is piecewise linear in u, and its tangent eps w a a^T makes
// Newton's method an active-set method.
#include <vector>

#include "physics/contact_point.h"
#include "physics/contact_policies.h"

namespace tarvsolv {

// How a point takes part in the Newton tangent at a state.
enum class PointTangent : char {
    None,
    Closed,        // tangent and force
    TouchingOnly,  // touching at the start while its face has nothing closed: tangent only
};
using TangentSet = std::vector<PointTangent>;

namespace contact_law {

// The penalty of a point on a facet of size `size` whose element has the stiffness scale
// `stiffness`.
double penalty(double stiffness, double size);
// The stiffness of the normal spring that holds a point in an analysis linear about a state.
double heldSpringStiffness(const ContactPoint& p);

// The gap at the displacements `u` (infinite for a point that faces nothing).
double gap(const ContactPoint& p, const std::vector<double>& u);
double pressure(const ContactPoint& p, const std::vector<double>& u);
// Whether the point is in contact at `global` (empty: undeformed): pressed at the last accepted
// step, or touching (its gap within a small share of its facet size); every paired point when open
// gaps hold.
bool holds(const ContactPoint& p, const std::vector<double>& global,
           OpenGaps openGaps = OpenGaps::HoldNothing);

// Which points add their penalty to the tangent at `global`, one entry per point. The contact
// tangent stays the same while this set does.
TangentSet tangentSet(const ContactSet& set, const std::vector<double>& global, TouchingTangent touching);

// A converged step at `global`: each point's multiplier of the next step is predicted.
void acceptStep(std::vector<ContactPoint>& points, const std::vector<double>& global);
// Within a step, an augmentation: every multiplier becomes its point's pressure at `global`.
// Answers the largest change of a multiplier over the largest pressure (0 when nothing presses).
double augment(std::vector<ContactPoint>& points, const std::vector<double>& global);

}  // namespace contact_law
}  // namespace tarvsolv
