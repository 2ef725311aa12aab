#pragma once
// The elastic state of a model with gaps and contact under its loadcase's loads and prescribed
// displacements, found in load steps: what statics with contact writes, and the state that
// natural frequencies and buckling linearise the contact about.
#include <string>
#include <vector>

#include "fem/dof_layout.h"
#include "physics/contact_constraints.h"
#include "physics/job.h"
#include "physics/structural_statics.h"

namespace tarvsolv {

struct ContactState {
    std::vector<double> displacements;  // global axes, every unknown, on every process
    double loadFactor = 0;              // of `displacements`: 1 once the full loads are reached
    std::string failure;                // why the load steps stopped short of 1; empty when they did not
};

// Raises the loads and the layout's prescribed values to their full size in load steps; the
// caller has checked that the contact holds the model (checkHeldWithContact). `contact` keeps the pressures
// of the last converged step. A step that does not converge ends the stepping with the last converged state
// and the reason in `failure`; other errors are thrown.
ContactState solveContactState(const Job& job, const DofLayout& layout, const TemperatureField& temperatures,
                               ContactConstraints& contact, RunLog& log);

}  // namespace tarvsolv
