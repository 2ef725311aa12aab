#pragma once
// What heat adds to an incompressible flow (header code 10): the temperatures held on faces, the
// energy equation of every element with the buoyancy it drives (Boussinesq: the body force
// rho a (1 - beta (T - T0)), T0 the initial temperature), and the heat flux and convection on the
// faces. Energy rows are heat flows; they are scaled by the largest viscosity over the largest
// conductivity, so that a degree of temperature weighs in the residual as a unit of speed does.
// After the solve: the heat balance of the faces with a thermal condition and of the openings,
// and the mean Nusselt number of every face held at a temperature.
#include <functional>
#include <vector>

#include "fem/flow_layout.h"
#include "physics/heat_balance.h"
#include "physics/held_temperatures.h"
#include "physics/job.h"

namespace tarvsolv {

struct FlowInstant;

class FlowHeatTerms {
  public:
    // Holds the temperatures at `time` on `layout` and logs the thermal entries; throws
    // std::runtime_error for a thermal load the flow does not take (on an edge or a point), and for
    // a `steady` flow in which nothing fixes the temperature level.
    FlowHeatTerms(const Job& job, FlowLayout& layout, double time, bool steady, RunLog& log);

    // Moves the held temperatures to their values at `time`.
    void holdAt(double time);
    // The temperature at which the buoyancy vanishes, and where a transient run starts.
    double reference() const { return reference_; }
    // Adds the energy and buoyancy terms of the elements this process assembles, and (on the
    // first process) the boundary's heat, into `residual` and `jacobian`, each when given; rows of
    // held unknowns are left to the caller.
    void add(const std::vector<double>& state, const FlowInstant& at, Vec residual, Mat jacobian) const;
    // The temperature of every node.
    std::vector<double> temperatures(const std::vector<double>& state) const;
    // The heat balance of `state` at `time`; `openings` are the faces the fluid may pass, through
    // which it carries heat rho c T u.n.
    HeatBalance balance(const std::vector<double>& state, double time,
                        const std::vector<int>& openings) const;
    // Logs the balance and the Nusselt numbers of the faces held at a temperature.
    void report(const std::vector<double>& state, double time, const std::vector<int>& openings,
                RunLog& log) const;

  private:
    void addElements(const std::vector<double>& state, const FlowInstant& at, bool scaled, bool allElements,
                     Vec residual, Mat jacobian, std::vector<double>* nodal) const;
    void addBoundary(const std::vector<double>& state, double time, bool scaled, Vec residual, Mat jacobian,
                     std::vector<double>* nodal) const;
    // The heat into every node that the state needs to balance its equation (unscaled, nothing
    // held), on the first process.
    std::vector<double> nodalHeat(const std::vector<double>& state, double time) const;

    const Job& job_;
    FlowLayout& layout_;
    HeldTemperatures held_;
    std::vector<const Load*> accelerations_, sources_, faceLoads_;
    std::vector<double> density_, capacity_, conductivity_, expansion_;  // per element
    double reference_ = 0, rowScale_ = 1;
};

}  // namespace tarvsolv
