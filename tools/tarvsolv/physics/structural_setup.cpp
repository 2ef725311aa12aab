#include "physics/structural_setup.h"

#include <stdexcept>

#include "fem/rigid_motion_check.h"
#include "fem/work_split.h"
#include "physics/free_body_check.h"
#include "physics/structural_conditions.h"

namespace tarvsolv {

StructuralSetup::StructuralSetup(const Job& job, RunLog& log, const StructuralOptions& options)
    : job_(job), layout_(job.mesh, 3, PETSC_COMM_WORLD) {
    using Values = StructuralOptions::Values;
    const bool hasContact = !job.entries.contacts.empty();
    const bool held = hasContact && options.contact == StructuralOptions::Contact::Held;
    // Modes about a held contact state take the conditions' values for the state, then drop them.
    applyDisplacementConditions(job, layout_, options.values == Values::Zero && !held, log, options.time);
    if (hasContact && !held) {
        contact_.emplace(job, log, options.pairing);
        checkHeld(freeMotionWithContact(job, layout_, *contact_, {}, options.openGaps),
                  options.allowFreeMotion);
    } else if (!hasContact) {
        checkHeld(findFreeRigidMotion(job.mesh, layout_), options.allowFreeMotion);
    }
    temperatures_ =
        options.temperatures ? heatedField(job, *options.temperatures, log) : temperatureField(job, log);
    if (held) {
        held_.emplace(job, layout_, temperatures_, log);
        if (options.values == Values::Zero) layout_ = layout_.withoutPrescribedValues();
        checkHeld(held_->freeMotion(job, layout_), options.allowFreeMotion);
    }
    if (options.values == Values::Lifted) {
        valued_ = layout_;
        layout_ = layout_.withoutPrescribedValues();
    }
    int processes = 1;
    MPI_Comm_size(layout_.comm(), &processes);
    if (processes > 1) log.line(workSplitText(workShares(job.mesh, layout_)));
}

void StructuralSetup::checkHeld(std::optional<std::string> free, bool allowed) {
    if (free && !allowed) throw std::runtime_error(*free);
    free_ = std::move(free);
}

std::vector<std::vector<int>> StructuralSetup::couplings() const {
    if (contact_) return contact_->couplings();
    if (held_) return held_->couplings();
    return {};
}

const MatrixPattern& StructuralSetup::pattern() {
    if (!pattern_) pattern_.emplace(job_.mesh, layout_, couplings());
    return *pattern_;
}

}  // namespace tarvsolv
