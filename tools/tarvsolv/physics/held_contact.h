#pragma once
// Gaps and contact in the analyses that are linear about one state (natural frequencies,
// buckling). The state is the contact statics' under the loadcase's loads and prescribed
// displacements, or the undeformed one when the loadcase has neither; the linear problem holds
// the contact as it is at that state: every point that is pressed or touching becomes a normal
// spring (frictionless, nothing along the face), every open point is left out.
#include <optional>
#include <string>
#include <vector>

#include "fem/dof_layout.h"
#include "fem/system_assembler.h"
#include "physics/contact_constraints.h"
#include "physics/free_body_check.h"
#include "physics/job.h"
#include "physics/structural_statics.h"

namespace tarvsolv {

class HeldContact {
  public:
    // Finds the state on `layout`, which carries the loadcase's prescribed values, with the
    // thermal strains of `temperatures`, and logs what holds there. Throws std::runtime_error when
    // the contact statics refuses the model or does not reach the full loads.
    HeldContact(const Job& job, const DofLayout& layout, const TemperatureField& temperatures, RunLog& log);

    // Displacements of the state, global axes, every unknown, on every process.
    const std::vector<double>& state() const { return state_; }
    // Node groups the springs couple across bodies, for the matrix pattern.
    std::vector<std::vector<int>> couplings() const { return contact_.couplings(); }
    // Adds the springs of the points that hold to a stiffness assembly.
    void addSprings(const DofLayout& layout, SystemAssembler& assembler) const {
        contact_.assembleHeldSprings(layout, state_, assembler);
    }
    // The rigid motion left free with the holding points as restraints, if any.
    std::optional<std::string> freeMotion(const Job& job, const DofLayout& layout) const {
        return freeMotionWithContact(job, layout, contact_, state_);
    }

  private:
    ContactConstraints contact_;
    std::vector<double> state_;
};

}  // namespace tarvsolv
