#pragma once
// Gaps and frictionless contact as unilateral conditions at the integration points of the
// constrained faces, held by an augmented penalty (physics/contact_law.h). The points and their
// pairs come from physics/contact_set_builder.h and physics/contact_search.h, their terms from
// physics/contact_assembly.h, the log lines from physics/contact_report.h; the free-body check is
// physics/free_body_check.h. This class keeps the points of one analysis and hands them to those
// parts.
#include <vector>

#include "fem/dof_layout.h"
#include "fem/system_assembler.h"
#include "physics/contact_law.h"
#include "physics/contact_policies.h"
#include "physics/contact_search.h"
#include "physics/job.h"

namespace tarvsolv {

class ContactConstraints {
  public:
    using PairChanges = ContactSearch::PairChanges;

    // The points of every gap and contact face of the job, on every process, paired on the
    // undeformed mesh; logs what was found.
    ContactConstraints(const Job& job, RunLog& log, ContactPairing pairing = ContactPairing::KeptFromStart);

    const ContactSet& points() const { return set_; }
    // Groups of nodes that contact terms couple across bodies, which the matrix pattern must hold.
    std::vector<std::vector<int>> couplings() const { return contactCouplings(set_); }

    // Which points add their penalty to the tangent at `global`; the contact tangent stays the
    // same while this set does.
    TangentSet tangentSet(const std::vector<double>& global, TouchingTangent touching) const {
        return contact_law::tangentSet(set_, global, touching);
    }
    // Adds the tangent and minus the internal forces of the contact at the state `global` (global
    // axes, every node) for the points of tangentSet(global, touching) whose first node this
    // process owns. An assembler without a matrix takes the forces only.
    void assemble(const DofLayout& layout, const std::vector<double>& global, SystemAssembler& assembler,
                  TouchingTangent touching = TouchingTangent::Stiffen) const;
    // Adds to `nodal` (global axes, every node) the forces of the gaps to rigid planes at `global`.
    void addPlaneForces(const std::vector<double>& global, std::vector<double>& nodal) const;
    // An analysis linear about the state `global` holds the contact as it is there: adds the
    // stiffness of a normal spring at every point that holds.
    void assembleHeldSprings(const DofLayout& layout, const std::vector<double>& global,
                             SystemAssembler& assembler) const;

    // A converged step at `global`: the multipliers of the next step are predicted.
    void acceptStep(const std::vector<double>& global) { contact_law::acceptStep(set_.points, global); }
    // An augmentation within a step; answers the largest change of a multiplier over the largest
    // pressure.
    double augment(const std::vector<double>& global) { return contact_law::augment(set_.points, global); }
    // Finds the contact pairs between bodies again on the state `global`.
    PairChanges pairOn(const std::vector<double>& global) { return search_.pairAgain(set_, global); }

    // Logs, per constrained face, how many of its points hold at `global`.
    void logHeld(const std::vector<double>& global, RunLog& log) const;
    // Logs the contact force and pressure of each constrained face at `global`.
    void logStatus(const std::vector<double>& global, RunLog& log) const;

  private:
    ContactSearch search_;
    ContactSet set_;
};

}  // namespace tarvsolv
