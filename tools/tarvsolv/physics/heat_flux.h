#pragma once
// The heat flux of a temperature field, q = -k grad T with each element's conductivities along x,
// y and z, as a node field: worked out at the element corners and averaged per node as the
// stresses are shown, so that the heat flux and the stresses of a run read alike.
#include <vector>

#include "io/result_sink.h"
#include "physics/job.h"

namespace tarvsolv {

// Three components per node for `temperatures` (every node's) at `time`; the conductivities that
// follow temperature take each element's mean corner temperature, as the conduction assembly does.
std::vector<double> nodalHeatFlux(const Job& job, const std::vector<double>& temperatures, double time);
// The same with the conductivities of every element given (x, y, z).
std::vector<double> nodalHeatFlux(const FeMesh& mesh, const std::vector<double>& temperatures,
                                  const std::vector<Vec3>& conductivity);

// `step` with the temperatures and their heat flux in front of its other fields (the result file
// lists TEMP and FLUX before DISP).
StepResult withHeat(const Job& job, StepResult step, std::vector<double> temperatures, double time);

}  // namespace tarvsolv
