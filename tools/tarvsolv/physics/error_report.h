#pragma once
// The error estimate of a step's results as the run hands it on: the node field "ERRE" and the
// element values (each in per cent of the mean, fem/error_estimate.h) added to the step, and the
// global relative error in the log. An estimate that cannot be made (a material the recovery
// cannot weigh) costs the step its estimate, never its results: the log says why.
#include <optional>
#include <string>
#include <vector>

#include "fem/error_estimate.h"
#include "fem/model_share.h"
#include "io/result_sink.h"
#include "io/run_log.h"
#include "physics/job.h"
#include "physics/structural_statics.h"

namespace tarvsolv {

// Adds `estimate` to `step` and logs "<label>error estimate: 3.2 % relative error in the energy
// norm".
void addErrorEstimate(const FeMesh& mesh, const ErrorEstimate& estimate, StepResult& step, RunLog& log,
                      const std::string& label = "");

// The same for a step that holds `share` of the model: the node means of the share's file nodes
// and the values of its elements.
void addErrorEstimate(const FeMesh& mesh, const ErrorEstimate& estimate, const ModelShare& share,
                      StepResult& step, RunLog& log);

// The estimate of the stresses of the displacements `u` (every node's), with the materials at
// `temperatures`; `thermalStrain` takes their thermal strains out of the stresses (statics), false
// leaves them out (mode shapes).
void addStressErrorEstimate(const Job& job, const TemperatureField& temperatures, bool thermalStrain,
                            const std::vector<double>& u, StepResult& step, RunLog& log,
                            const std::string& label = "");
// The same for statics, computed by every process of `comm` together, each its share of the
// elements; every process must call it, and every process answers the whole estimate. When it
// cannot be made: nothing, and a warning in the log.
std::optional<ErrorEstimate> sharedStressErrorEstimate(const Job& job, const TemperatureField& temperatures,
                                                       const std::vector<double>& u, RunLog& log,
                                                       MPI_Comm comm);
// The estimate of the stresses the elements carry, 4 corners per element (plasticity's
// return-mapped stresses), weighted by the elastic compliance of `materialOf`.
void addCornerStressErrorEstimate(const Job& job, const std::vector<Stress6>& cornerStresses,
                                  const std::function<ElasticMaterial(int element)>& materialOf,
                                  StepResult& step, RunLog& log, const std::string& label = "");
// The estimate of the second Piola-Kirchhoff stress of the displacements `u` (every node's) on the
// reference mesh, with the materials at `temperatures`.
void addSecondPiolaErrorEstimate(const Job& job, const TemperatureField& temperatures,
                                 const std::vector<double>& u, StepResult& step, RunLog& log,
                                 const std::string& label = "");
// The estimate of the strain rate of a flow's `velocities` (every node's) with its viscosities per
// element.
void addStrainRateErrorEstimate(const Job& job, const std::vector<double>& velocities,
                                const std::vector<double>& viscosities, StepResult& step, RunLog& log,
                                const std::string& label = "");
// The estimate of the heat flux of `temperatures` (every node's) at `time`.
void addHeatErrorEstimate(const Job& job, const std::vector<double>& temperatures, double time,
                          StepResult& step, RunLog& log, const std::string& label = "");

}  // namespace tarvsolv
