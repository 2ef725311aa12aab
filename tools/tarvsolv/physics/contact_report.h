#pragma once
// What the run log says about gaps and contact: the points found, the points that hold a linear
// analysis, and the contact force and pressure of each constrained face.
#include <vector>

#include "io/run_log.h"
#include "physics/contact_point.h"
#include "physics/contact_policies.h"
#include "physics/contact_search.h"

namespace tarvsolv {

// Logs the facets and paired points of each constrained face, and warns of contact that can
// hold nothing: contact faces on one body only, or `unpaired` points that face nothing (only
// noted when the pairs are found again as the bodies move, since such points may touch later).
void logContactPoints(const ContactSet& set, const ContactSearch& search, int unpaired,
                      ContactPairing pairing, RunLog& log);
// Logs, per constrained face, how many of its points hold at `global`.
void logHeldContact(const ContactSet& set, const std::vector<double>& global, RunLog& log);

struct FaceStatus {
    int face = 0;
    const char* what = "";   // "gap to plane", "normal gap", "contact"
    int nodesInContact = 0;  // nodes of facets with a point in contact
    int points = 0, pointsInContact = 0;
    Vec3 force;                     // resultant contact force on the face
    double normalForce = 0;         // sum of pressure times area
    double largestPressure = 0;     // the largest mean pressure of a facet
    double largestPenetration = 0;  // largest -c over the points (0 when none penetrates)
};
// The contact of each constrained face at `global` with the current multipliers.
std::vector<FaceStatus> contactStatus(const ContactSet& set, const std::vector<double>& global);
// Logs one line per constrained face from contactStatus().
void logContactStatus(const ContactSet& set, const std::vector<double>& global, RunLog& log);

}  // namespace tarvsolv
