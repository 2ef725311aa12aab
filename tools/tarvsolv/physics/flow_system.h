#pragma once
// The discrete equations of an incompressible flow on its layout: the residual and the Newton
// Jacobian of the elements, the pressure faces and the body accelerations, at a state and time.
// Rows of held unknowns are u - g with an identity row in the Jacobian; their columns stay, so
// the one matrix pattern serves every step and an inlet that follows time needs nothing rebuilt.
// Momentum rows are forces, continuity rows volume flows: the continuity rows are scaled by mu/h
// and the held rows by mu h (h a typical element size), so that every row is a force of the same
// size, the residual's norm weighs them alike, and the factorisation's pivots are of one scale.
// Elements of solid bodies add nothing to the flow: their unknowns are held.
#include <vector>

#include "fem/flow_element.h"
#include "fem/flow_layout.h"
#include "physics/flow_conditions.h"
#include "physics/job.h"

namespace tarvsolv {

struct FlowInstant {
    double time = 0;
    double convection = 1;  // the convective term's share of the density
    double timeFactor = 0;  // du/dt = timeFactor u + history (0: steady)
    // 3 per node, every node: the history part of du/dt (empty: steady).
    const std::vector<double>* history = nullptr;
    // Every node: the history part of dT/dt of a flow that carries heat (empty: steady).
    const std::vector<double>* temperatureHistory = nullptr;
};

class FlowHeatTerms;

class FlowSystem {
  public:
    // `heat`: the energy equation and buoyancy of a flow that carries heat (null: none).
    FlowSystem(const Job& job, const FlowLayout& layout, const FlowBodies& bodies,
               const FlowConditions& conditions, const FlowHeatTerms* heat = nullptr);

    // F(x) into `residual` and its derivative into `jacobian`, each when given.
    void evaluate(Vec x, const FlowInstant& at, Vec residual, Mat jacobian) const;
    // The pressure mass matrix over the viscosity (times the continuity rows' scale), negative as
    // the Schur complement of the velocity block is, with the held row of a held pressure: what the
    // iterative solver's Schur complement is preconditioned with.
    MatHandle schurPreconditioner() const;

    // The nodal fields of a state: velocities (3 per node), pressures (every node: a mid-side
    // node the mean of its edge's corners), on every process.
    std::vector<double> velocities(const std::vector<double>& state) const;
    std::vector<double> pressures(const std::vector<double>& state) const;
    // Viscosity of every element (0 in a solid).
    const std::vector<double>& viscosities() const { return viscosity_; }
    double largestViscosity() const;
    // Of the fluid elements.
    double smallestDensity() const;
    // The typical element size h of the rows' scales.
    double elementSize() const { return elementSize_; }

  private:
    void addElements(const std::vector<double>& state, const FlowInstant& at, Vec residual,
                     Mat jacobian) const;
    void addPressureFaces(double time, Vec residual) const;

    const Job& job_;
    const FlowLayout& layout_;
    const FlowBodies& bodies_;
    const FlowConditions& conditions_;
    const FlowHeatTerms* heat_;
    std::vector<double> density_, viscosity_;  // per element
    std::vector<const Load*> accelerations_;
    double elementSize_ = 1, continuityScale_ = 1, heldScale_ = 1;
};

}  // namespace tarvsolv
