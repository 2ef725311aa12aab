#pragma once
// What heat adds to an incompressible flow (header code 10): the temperatures held on faces, the
// energy equation of every element with the buoyancy it drives (Boussinesq: the body force
// rho a (1 - beta (T - T0)), T0 the initial temperature), and the heat flux and convection on the
// faces. Energy rows are heat flows; they are scaled by the largest viscosity over the largest
// conductivity, so that a degree of temperature weighs in the residual as a unit of speed does.
// A solid body's elements conduct only (the energy equation at u = 0, with its own k and rho c).
// After the solve: the heat balance of the faces with a thermal condition and of the openings,
// closed by what the discrete continuity adds and the heat stored; the heat through the faces
// each pair of bodies shares; and the mean Nusselt number of every face held at a temperature.
#include <functional>
#include <vector>

#include "fem/flow_layout.h"
#include "physics/flow_bodies.h"
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
    FlowHeatTerms(const Job& job, FlowLayout& layout, const FlowBodies& bodies, double time, bool steady,
                  RunLog& log);

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
    // The conduction heat flux -k grad T of every node (3 a node), each element's conductivity,
    // averaged at the nodes from the element corners as the heat solver's.
    std::vector<double> heatFlux(const std::vector<double>& temperatures) const;
    // The heat balance of `state` solved at `at` (its time step's dT/dt, none when steady);
    // `openings` are the faces the fluid may pass, through which it carries heat rho c T u.n.
    HeatBalance balance(const std::vector<double>& state, const FlowInstant& at,
                        const std::vector<int>& openings) const;
    // The heat through the faces of `pair`, from its first body into its second, measured on the
    // side of `pair.measuredFrom`: what that body's energy equation takes in at the shared nodes.
    double sharedHeat(const std::vector<double>& state, const FlowInstant& at, const SharedFaces& pair) const;
    // Logs the balance, the heat through shared faces and the Nusselt numbers of the faces held at
    // a temperature.
    void report(const std::vector<double>& state, const FlowInstant& at, const std::vector<int>& openings,
                RunLog& log) const;

  private:
    // `body`: with `nodal`, the elements and faces of that body only (0: all).
    void addElements(const std::vector<double>& state, const FlowInstant& at, bool scaled, bool allElements,
                     Vec residual, Mat jacobian, std::vector<double>* nodal, int body = 0) const;
    void addBoundary(const std::vector<double>& state, double time, bool scaled, Vec residual, Mat jacobian,
                     std::vector<double>* nodal, int body = 0) const;
    // The heat into every node that the state needs to balance its equation at `at` (unscaled,
    // nothing held; of `body`'s elements and faces only, 0: all), on the first process.
    std::vector<double> nodalHeat(const std::vector<double>& state, const FlowInstant& at,
                                  int body = 0) const;

    const Job& job_;
    FlowLayout& layout_;
    const FlowBodies& bodies_;
    HeldTemperatures held_;
    std::vector<const Load*> accelerations_, sources_, faceLoads_;
    std::vector<double> density_, capacity_, conductivity_, expansion_;  // per element
    double reference_ = 0, rowScale_ = 1;
};

}  // namespace tarvsolv
