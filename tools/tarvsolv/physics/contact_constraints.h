#pragma once
// Gaps and frictionless contact as unilateral conditions at the integration points of the
// constrained faces. Every point has a gap that is linear in the nodal displacements,
//     c(u) = c0 + sum_k a_k . u_k >= 0,
// over the nodes of its face (and, for contact between bodies, of the facet it faces on the
// other body). The condition is held by an augmented penalty: the point's pressure is
// p = max(0, lambda - eps c), its force on the nodes w p a_k (w the point's area). A converged load
// step sets the multiplier lambda of the next one to the step's pressure extrapolated by its
// increase over the step before (at least 0), so that under loads that grow in proportion the
// penalty carries almost nothing and the penetration left is the error of that prediction over
// eps. The pressure is piecewise linear in u, and its tangent eps w a a^T makes Newton's method an
// active-set method.
//
// Contact pairs are found on the undeformed mesh: each point of the finer of two bodies' contact
// faces faces the nearest facet of the other body's contact faces within that facet's size, along
// that facet's outward normal (found through a grid of cells as large as the largest contact
// facet). Small displacements keep these pairs. Large displacements find them again on a deformed
// state (pairOn): the point's material position and the nearest point and normal of the deformed
// facet it faces make the gap linear in u again, exact at that state; the multipliers stay with
// the points. Gaps to planes need no such update: the plane holds still and the gap of a material
// point is linear in its displacement. A normal gap keeps the undeformed normal of its face.
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fem/dof_layout.h"
#include "fem/system_assembler.h"
#include "physics/job.h"

namespace tarvsolv {

class ContactConstraints {
  public:
    // The points of every gap and contact face of the job, on every process. `pairedAgain`: the
    // analysis calls pairOn as the bodies move, so a point that faces nothing yet may touch later.
    ContactConstraints(const Job& job, RunLog& log, bool pairedAgain = false);

    bool empty() const { return points_.empty(); }
    // Groups of nodes that contact terms couple across bodies, which the matrix pattern must hold.
    std::vector<std::vector<int>> couplings() const;
    // Prescribes to 0, in a copy of the layout used only for the free-body check, the unknown
    // nearest to the normal of every node of a point that holds at `state` (see holds(); an empty
    // state is the undeformed one): such a node is held against motion into the contact.
    // `betweenBodies` false holds the points of gaps to planes only. `openGapsToo` holds the points
    // of open gaps as well: in time a body moves until its gap closes, so there an open gap holds it
    // too.
    void holdTouchingForCheck(DofLayout& check, bool betweenBodies, const std::vector<double>& state = {},
                              bool openGapsToo = false) const;
    // The node groups (a point's facet and the facet it faces) of the points between bodies that
    // hold at `state` (every pair with `openGapsToo`), which the free-body check joins into one part.
    std::vector<std::vector<int>> touchingPairs(const std::vector<double>& state = {},
                                                bool openGapsToo = false) const;
    // Which points add their penalty to the tangent at `global`, one entry per point: kClosed
    // (tangent and force), kTouchingOnly (a point touching at the start, and not moved away from
    // it, while no point of its face is closed: tangent only, so that a body held only by contact
    // that has not closed yet gets a nonsingular Newton system; only with `stiffenTouching`) or 0.
    // The contact tangent stays the same while this set does.
    static constexpr char kClosed = 1, kTouchingOnly = 2;
    std::vector<char> tangentSet(const std::vector<double>& global, bool stiffenTouching = true) const;
    // Adds the tangent and minus the internal forces of the contact at the state `global`
    // (global axes, every node), for the points whose first node this process owns; the points
    // are those of tangentSet(global, stiffenTouching). An assembler without a matrix takes the
    // forces only.
    void assemble(const DofLayout& layout, const std::vector<double>& global, SystemAssembler& assembler,
                  bool stiffenTouching = true) const;
    // Adds to `nodal` (global axes, every node) the forces that gaps to rigid planes put on their
    // faces' nodes at `global`, on every process: the reactions of those supports.
    void addPlaneForces(const std::vector<double>& global, std::vector<double>& nodal) const;
    // A converged step at `global`: the multipliers of the next step are predicted.
    void acceptStep(const std::vector<double>& global);
    // Within a step, an augmentation: every multiplier becomes its point's pressure at `global`.
    // Answers the largest change of a multiplier over the largest pressure (0 when nothing
    // presses): small once the pressures have settled and the penalty carries almost nothing.
    double augment(const std::vector<double>& global);
    // Finds the contact pairs between bodies again on the positions X + u of the state `global`
    // (every node, global axes), each point with its multiplier; the couplings change with the
    // pairs. A point that faces no facet cannot touch until it is paired again.
    struct PairChanges {
        int changed = 0;  // points that face another facet than before
        int inside = 0;   // points past the facet they now face by more than a tenth of their facet
    };
    PairChanges pairOn(const std::vector<double>& global);

    // An analysis linear about the state `global` (the last accepted step's, or the undeformed
    // one with no step) holds the contact as it is there: every point that holds becomes a normal
    // spring, every other point is left out. Adds those springs' stiffness, for the points whose
    // first node this process owns.
    void assembleHeldSprings(const DofLayout& layout, const std::vector<double>& global,
                             SystemAssembler& assembler) const;
    // Logs, per constrained face, how many of its points hold at `global`.
    void logHeld(const std::vector<double>& global, RunLog& log) const;

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
    std::vector<FaceStatus> status(const std::vector<double>& global) const;
    // Logs one line per constrained face from status().
    void logStatus(const std::vector<double>& global, RunLog& log) const;

  private:
    struct Point {
        int face = 0;          // index into faces_
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
    // A facet of a contact face between bodies, which the points of another body may face.
    struct Target {
        int face = 0, facet = 0;  // index of the face and of the facet in its list
        int body = 0;
        std::vector<int> nodes;
        double orientation = 1;  // sign that turns cross(dx/dxi, dx/deta) outward
        double stiffness = 0;
    };
    struct Face {
        int face = 0;
        const char* what = "";
        std::vector<std::vector<int>> facetNodes;
    };

    double gap(const Point& p, const std::vector<double>& u) const;
    double pressure(const Point& p, const std::vector<double>& u) const;
    // Whether the point is in contact at `global` (empty: undeformed): pressed at the last
    // accepted step, or touching (its gap within kTouching of its facet size); every paired point
    // with `openGapsToo`.
    bool holds(const Point& p, const std::vector<double>& global, bool openGapsToo = false) const;
    // Whether points of `body` face the facets of `other`: the body with more contact facets
    // carries the points (the finer side).
    bool carries(int body, int other) const;
    // Pairs every point between bodies with the nearest facet it carries points against at the
    // positions X + u (`u` null: the undeformed mesh); answers the points that face no facet.
    int pairPoints(const std::vector<double>* u);

    const FeMesh& mesh_;
    std::vector<Point> points_;
    std::vector<Face> faces_;
    std::vector<Target> targets_;
    std::map<int, int> facetsOfBody_;
};

// The free-body check of a model with gaps or contact at the start of statics; throws
// std::runtime_error with the free motion. A body held only by contact is held once its gap is closed:
// touching points count as restraints along their normals. A body that only an open gap would stop is
// refused, since statics has no equilibrium for it before the gap closes; so are bodies held only by their
// contact with each other, which the second check sees as one part (touching pairs joined) without those
// holds. `inTime` (forced vibrations) lets open gaps hold as well: the body moves until they close.
void checkHeldWithContact(const Job& job, const DofLayout& layout, const ContactConstraints& contact,
                          bool inTime = false);
// The same check with the points that hold at `state` (empty: undeformed): the free motion, if any.
std::optional<std::string> freeMotionWithContact(const Job& job, const DofLayout& layout,
                                                 const ContactConstraints& contact,
                                                 const std::vector<double>& state = {}, bool inTime = false);

}  // namespace tarvsolv
