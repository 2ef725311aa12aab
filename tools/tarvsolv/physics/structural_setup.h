#pragma once
// What every mechanical analysis sets up before it assembles: the layout of three displacements
// per node with the restraints and displacement constraints prescribed, the gaps and contact in
// the form the analysis takes them, the check that the model is held, the temperatures the loads
// name, and the matrix pattern of the layout and the contact's couplings. The steps run in this
// order, each logging as it goes: conditions, contact (stepped) or the free-body check,
// temperatures, the held contact state and its free-body check.
#include <optional>
#include <string>
#include <vector>

#include "fem/dof_layout.h"
#include "fem/matrix_pattern.h"
#include "physics/contact_constraints.h"
#include "physics/held_contact.h"
#include "physics/job.h"
#include "physics/structural_statics.h"

namespace tarvsolv {

struct StructuralOptions {
    // What the layout's prescribed unknowns hold.
    enum class Values {
        AtTime,  // the conditions' values at `time`
        // 0 for every condition (natural frequencies); a held contact state is still found under
        // the values at `time`
        Zero,
        // the values at `time` are kept apart (StructuralSetup::valuedLayout) and the layout holds
        // 0: the analysis lifts the values itself at every step (displacements that follow time)
        Lifted,
    };
    // How gaps and contact enter the analysis, when the model has them.
    enum class Contact {
        Stepped,  // as constraints of their own, solved with the state (nonlinear analyses)
        Held,     // as springs at the contact state under the loads (analyses linear about a state)
    };
    Values values = Values::AtTime;
    double time = 1;
    Contact contact = Contact::Stepped;
    // Stepped contact in a run over time: open gaps hold as well, the body moves until they close.
    OpenGaps openGaps = OpenGaps::HoldNothing;
    // Stepped contact whose pairs are found again on the deformed faces (large displacements).
    ContactPairing pairing = ContactPairing::KeptFromStart;
    // The free rigid motion is answered by freeMotion() instead of thrown.
    bool allowFreeMotion = false;
    // Every node's temperature, solved in this run (a thermal stress): the thermal strains and the
    // materials follow it, against the initial temperature, as they follow a `t` load's.
    const std::vector<double>* temperatures = nullptr;
};

class StructuralSetup {
  public:
    // Throws std::runtime_error when the model is free to move (unless allowed), when a
    // temperature file cannot be read, or when a held contact state is not found.
    StructuralSetup(const Job& job, RunLog& log, const StructuralOptions& options = {});
    StructuralSetup(const StructuralSetup&) = delete;
    StructuralSetup& operator=(const StructuralSetup&) = delete;

    const DofLayout& layout() const { return layout_; }
    // The prescribed values at the options' time, on the layout's unknowns (Values::Lifted; the
    // layout itself otherwise).
    const DofLayout& valuedLayout() const { return valued_ ? *valued_ : layout_; }
    const TemperatureField& temperatures() const { return temperatures_; }
    // Stepped contact; null without gaps and contact or when they are held.
    ContactConstraints* contact() { return contact_ ? &*contact_ : nullptr; }
    // Held contact; null without gaps and contact or when they are stepped.
    const HeldContact* heldContact() const { return held_ ? &*held_ : nullptr; }
    // The free rigid motion, when allowed and found.
    const std::optional<std::string>& freeMotion() const { return free_; }
    // Node groups the contact couples across bodies.
    std::vector<std::vector<int>> couplings() const;
    // The pattern of the layout with the contact's couplings, made when first asked for.
    const MatrixPattern& pattern();
    // Frees the pattern once the matrices are assembled (a later pattern() makes it again).
    void releasePattern() { pattern_.reset(); }

  private:
    void checkHeld(std::optional<std::string> free, bool allowed);

    const Job& job_;
    DofLayout layout_;
    std::optional<DofLayout> valued_;
    TemperatureField temperatures_;
    std::optional<ContactConstraints> contact_;
    std::optional<HeldContact> held_;
    std::optional<std::string> free_;
    std::optional<MatrixPattern> pattern_;
};

}  // namespace tarvsolv
