#include "physics/free_body_check.h"

#include <cmath>
#include <stdexcept>

#include "fem/rigid_motion_check.h"
#include "physics/contact_law.h"

namespace tarvsolv {
namespace {

// Which contact points the check takes as holds.
enum class HeldBy { PlanesAndBodies, PlanesOnly };

// Prescribes to 0, in a copy of the layout used only for the check, the unknown nearest to the
// normal of every node of a point that holds at `state`: such a node is held against motion into
// the contact.
void holdTouching(const ContactSet& set, DofLayout& check, HeldBy heldBy, const std::vector<double>& state,
                  OpenGaps openGaps) {
    for (const ContactPoint& p : set.points) {
        if (!contact_law::holds(p, state, openGaps) || (p.between && heldBy == HeldBy::PlanesOnly)) continue;
        int axis = 0;
        for (int a = 1; a < 3; ++a)
            if (std::abs(p.normal[a]) > std::abs(p.normal[axis])) axis = a;
        for (int n : p.nodes)
            if (!check.isPrescribed(3 * n + axis)) check.prescribe(3 * n + axis, 0.0);
    }
}

// The node groups (a point's facet and the facet it faces) of the points between bodies that hold
// at `state`, which the check joins into one part.
std::vector<std::vector<int>> touchingPairs(const ContactSet& set, const std::vector<double>& state,
                                            OpenGaps openGaps) {
    std::vector<std::vector<int>> groups;
    for (const ContactPoint& p : set.points)
        if (p.between && contact_law::holds(p, state, openGaps)) groups.push_back(p.nodes);
    return groups;
}

// The mesh with an element of the first node of each group to its other nodes, so that bodies
// that touch move as one part.
FeMesh joinedAt(const FeMesh& mesh, const std::vector<std::vector<int>>& pairs) {
    FeMesh joined = mesh;
    const std::size_t per = static_cast<std::size_t>(joined.nodesPerElement);
    for (const std::vector<int>& group : pairs)
        for (std::size_t i = 1; i < group.size(); i += per - 1)
            for (std::size_t k = 0; k < per; ++k)
                joined.conn.push_back(k == 0 || i + k - 1 >= group.size() ? group[0] : group[i + k - 1]);
    return joined;
}

}  // namespace

std::optional<std::string> freeMotionWithContact(const Job& job, const DofLayout& layout,
                                                 const ContactConstraints& contact,
                                                 const std::vector<double>& state, OpenGaps openGaps) {
    const char* why = openGaps == OpenGaps::Hold
                          ? " (a gap or contact holds a body only against motion into the contact)"
                          : " (touching contact holds a body only against motion into the contact; an open "
                            "gap holds nothing until it closes)";
    const ContactSet& set = contact.points();
    DofLayout check = layout;
    holdTouching(set, check, HeldBy::PlanesAndBodies, state, openGaps);
    if (const auto free = findFreeRigidMotion(job.mesh, check)) return *free + why;
    const auto pairs = touchingPairs(set, state, openGaps);
    if (pairs.empty()) return std::nullopt;
    DofLayout planes = layout;
    holdTouching(set, planes, HeldBy::PlanesOnly, state, openGaps);
    if (const auto free = findFreeRigidMotion(joinedAt(job.mesh, pairs), planes))
        return "bodies held only by their contact with each other are free: " + *free;
    return std::nullopt;
}

void checkHeldWithContact(const Job& job, const DofLayout& layout, const ContactConstraints& contact,
                          OpenGaps openGaps) {
    if (const auto free = freeMotionWithContact(job, layout, contact, {}, openGaps))
        throw std::runtime_error(*free);
}

}  // namespace tarvsolv
