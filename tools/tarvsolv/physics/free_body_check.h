#pragma once
// The free-body check of a model with gaps or contact. A body held only by contact is held once its
// gap is closed: touching points count as restraints along their normals. A body that only an open
// gap would stop is refused in statics, since there is no equilibrium for it before the gap closes;
// so are bodies held only by their contact with each other, which the second check sees as one part
// (touching pairs joined) without those holds. In time (OpenGaps::Hold) open gaps hold as well: the
// body moves until they close.
#include <optional>
#include <string>
#include <vector>

#include "fem/dof_layout.h"
#include "physics/contact_constraints.h"
#include "physics/job.h"

namespace tarvsolv {

// The check at the start of an analysis; throws std::runtime_error with the free motion.
void checkHeldWithContact(const Job& job, const DofLayout& layout, const ContactConstraints& contact,
                          OpenGaps openGaps = OpenGaps::HoldNothing);
// The same check with the points that hold at `state` (empty: undeformed): the free motion, if any.
std::optional<std::string> freeMotionWithContact(const Job& job, const DofLayout& layout,
                                                 const ContactConstraints& contact,
                                                 const std::vector<double>& state = {},
                                                 OpenGaps openGaps = OpenGaps::HoldNothing);

}  // namespace tarvsolv
