#include "physics/contact_constraints.h"

#include "physics/contact_assembly.h"
#include "physics/contact_report.h"
#include "physics/contact_set_builder.h"

namespace tarvsolv {

ContactConstraints::ContactConstraints(const Job& job, RunLog& log, ContactPairing pairing)
    : search_(job.mesh), set_(buildContactSet(job, search_)) {
    logContactPoints(set_, search_, search_.pair(set_, nullptr), pairing, log);
}

void ContactConstraints::assemble(const DofLayout& layout, const std::vector<double>& global,
                                  SystemAssembler& assembler, TouchingTangent touching) const {
    assembleContact(set_, tangentSet(global, touching), layout, global, assembler);
}

void ContactConstraints::addPlaneForces(const std::vector<double>& global, std::vector<double>& nodal) const {
    tarvsolv::addPlaneForces(set_, global, nodal);
}

void ContactConstraints::assembleHeldSprings(const DofLayout& layout, const std::vector<double>& global,
                                             SystemAssembler& assembler) const {
    tarvsolv::assembleHeldSprings(set_, layout, global, assembler);
}

void ContactConstraints::logHeld(const std::vector<double>& global, RunLog& log) const {
    logHeldContact(set_, global, log);
}

void ContactConstraints::logStatus(const std::vector<double>& global, RunLog& log) const {
    logContactStatus(set_, global, log);
}

}  // namespace tarvsolv
