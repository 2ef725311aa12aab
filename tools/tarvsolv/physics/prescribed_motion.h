#pragma once
// Prescribed displacements that follow time in a step-by-step structural run. The system's
// matrices leave the prescribed unknowns out, so what their motion does to the other unknowns is
// a load: minus the stiffness, damping and mass couplings times their displacements, velocities
// and accelerations. The values are evaluated at every step's time; the velocities and
// accelerations are their central differences over one step. The run starts from rest: before
// t = 0 the values are those at t = 0, and at t = 0 the velocities and accelerations are 0.
#include <map>
#include <vector>

#include "fem/dof_layout.h"
#include "physics/job.h"
#include "physics/structural_statics.h"

namespace tarvsolv {

class PrescribedMotion {
  public:
    // `layout` prescribes the unknowns the run holds (its own values are not used); `dt` is the
    // step size; the couplings are those of the materials at `temperatures`, as the run's matrices.
    PrescribedMotion(const Job& job, const DofLayout& layout, const TemperatureField& temperatures,
                     double dt);

    // Adds to `f` the load of the prescribed motion at step `step` (time step dt) for Rayleigh
    // damping alpha M + beta K.
    void addLoad(int step, double alpha, double beta, Vec f);
    // Writes the prescribed unknowns' displacements, velocities and accelerations at `step` into
    // the run's vectors (in the layout's nodal frames).
    void setState(int step, Vec u, Vec v, Vec a);

  private:
    struct State {
        std::vector<double> u, v, a;  // one entry per unknown; only the prescribed ones are used
    };
    const std::vector<double>& valuesAt(int step);
    State stateAt(int step);

    const Job& job_;
    const DofLayout& layout_;
    const TemperatureField& temperatures_;
    double dt_;
    std::vector<int> elements_;  // the elements this process assembles that hold a prescribed unknown
    std::map<int, std::vector<double>> values_;  // the values of the last few steps, by step
};

}  // namespace tarvsolv
