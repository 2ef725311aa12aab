#include "physics/held_contact.h"

#include <stdexcept>

#include "physics/contact_statics.h"

namespace tarvsolv {
namespace {

// Whether the loadcase moves the model: any load (temperatures included) or a prescribed value
// other than 0.
bool loadsTheModel(const Job& job, const DofLayout& layout, const TemperatureField& temperatures) {
    if (!job.entries.loads.empty() || !temperatures.nodal.empty()) return true;
    for (int d = 0; d < layout.dofCount(); ++d)
        if (layout.isPrescribed(d) && layout.prescribedValue(d) != 0) return true;
    return false;
}

}  // namespace

HeldContact::HeldContact(const Job& job, const DofLayout& layout, const TemperatureField& temperatures,
                         RunLog& log)
    : contact_(job, log) {
    if (loadsTheModel(job, layout, temperatures)) {
        log.line("gaps and contact: finding the contact state under the loads");
        checkHeldWithContact(job, layout, contact_);
        ContactState found = solveContactState(job, layout, temperatures, contact_, log);
        if (!found.failure.empty())
            throw std::runtime_error("the contact state under the loads was not found: " + found.failure);
        state_ = std::move(found.displacements);
    } else {
        log.line("gaps and contact: no loads, the contact is taken at the undeformed state");
        state_.assign(static_cast<std::size_t>(layout.dofCount()), 0.0);
    }
    contact_.logHeld(state_, log);
    log.line(
        "the contact is held as it is at this state: points in contact act as normal springs, open points "
        "not at all (a mode that would open a pressed contact or close an open gap is not modelled)");
}

}  // namespace tarvsolv
