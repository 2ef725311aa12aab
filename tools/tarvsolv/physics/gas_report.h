#pragma once
// What a gas flow gives beyond its nodal values: the force of the gas on every wall face (pressure
// and viscous parts), the mass flow through every other face (inlets, outlets, far fields, free
// faces) and their balance, in the wording of the incompressible flow's report.
#include <string>
#include <vector>

#include "physics/flow_report.h"
#include "physics/gas_discretisation.h"

namespace tarvsolv {

struct GasFaceReport {
    std::vector<FaceFlow> walls;     // forces; flowRate 0
    std::vector<FaceFlow> openings;  // flowRate: the mass flow out (consistent mass per s)
    std::vector<GasBoundaryKind> openingKinds;
};

// The forces and mass flows of state `U` at time `t`, from the boundary fluxes the residual takes.
GasFaceReport gasFaceReport(const GasDiscretisation& problem, const std::vector<double>& U, double t);

// The log's lines: forces in the force unit, mass flows in kg/s (lb/s) by `massScale`.
std::vector<std::string> gasReportTable(const GasFaceReport& report, const UnitSystem& units);

}  // namespace tarvsolv
