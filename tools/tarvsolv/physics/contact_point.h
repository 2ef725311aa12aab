#pragma once
// The integration points of the gap and contact faces and the faces they lie on: the data that
// the contact search pairs, the contact law evaluates, the assembly adds and the reports sum.
#include <array>
#include <vector>

#include "fem/vec3.h"

namespace tarvsolv {

// A point of a constrained face. Its gap is linear in the nodal displacements,
//     c(u) = c0 + sum_k a_k . u_k,
// over the nodes of its facet and, for contact between bodies, of the facet it faces.
struct ContactPoint {
    int face = 0;          // index into the faces of its ContactSet
    int facet = -1;        // the facet of the face the point lies on (its own facet list)
    bool between = false;  // contact between bodies rather than a gap to a plane
    int otherFace = -1;    // contact between bodies: the face and facet it faces (-1: none)
    int otherFacet = -1;
    std::vector<int> nodes;  // its own facet's, then those of the facet it faces
    std::vector<double> a;   // 3 per node
    double c0 = 0;           // the gap is c0 + a . u
    double startGap = 0;     // the gap where the pair was found
    double area = 0;
    double size = 0;     // of its facet
    double penalty = 0;  // per length of penetration and unit area
    Vec3 normal;         // the direction the pressure pushes the face's own side
    double multiplier = 0;
    double lastPressure = 0;  // at the last converged step
    // Contact between bodies: the point's body, its facet's stiffness scale and the shape
    // functions of its facet's nodes at the point.
    int body = 0;
    double stiffness = 0;
    std::array<double, 6> shape{};
    bool paired() const { return !between || otherFace >= 0; }
};

// A gap or contact face of the job.
struct ContactFace {
    int face = 0;
    const char* what = "";  // "gap to plane", "normal gap", "contact"
    std::vector<std::vector<int>> facetNodes;
};

struct ContactSet {
    std::vector<ContactPoint> points;
    std::vector<ContactFace> faces;
};

}  // namespace tarvsolv
