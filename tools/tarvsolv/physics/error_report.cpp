#include "physics/error_report.h"

#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "base/log_stage.h"
#include "physics/materials.h"

namespace tarvsolv {
namespace {

// The estimate, or nothing and a warning in the log when it cannot be made.
template <typename Estimate>
std::optional<ErrorEstimate> estimateOrWarn(RunLog& log, const std::string& label, Estimate&& estimate) {
    LogStage stage("error estimate");
    try {
        return estimate();
    } catch (const std::runtime_error& e) {
        log.warning(label + "no error estimate: " + e.what());
        return std::nullopt;
    }
}

template <typename Estimate>
void tryEstimate(const Job& job, StepResult& step, RunLog& log, const std::string& label,
                 Estimate&& estimate) {
    if (const std::optional<ErrorEstimate> made = estimateOrWarn(log, label, estimate))
        addErrorEstimate(job.mesh, *made, step, log, label);
}

ErrorEstimate stressErrorEstimateOf(const Job& job, const TemperatureField& temperatures, bool thermalStrain,
                                    const std::vector<double>& u, MPI_Comm comm) {
    return stressErrorEstimate(
        job.mesh, u, [&](int e) { return elementMaterial(job, temperatures, e); },
        [&](int e) { return thermalStrain ? temperatures.changes(job.mesh, e) : std::vector<double>(); },
        comm);
}

}  // namespace

void addErrorEstimate(const FeMesh& mesh, const ErrorEstimate& estimate, StepResult& step, RunLog& log,
                      const std::string& label) {
    std::ostringstream text;
    text.precision(3);
    text << label << "error estimate: " << 100 * estimate.relativeError()
         << " % relative error in the energy norm";
    log.line(text.str());
    ErrorPercent percent = errorPercents(mesh, estimate);
    step.add(NodeQuantity::ErrorEstimate, std::move(percent.nodes));
    step.elementErrors = std::move(percent.elements);
    const double energy = estimate.solutionNorm * estimate.solutionNorm;
    step.errorShares.clear();
    if (energy > 0)
        for (double eta : estimate.elementError) step.errorShares.push_back(eta * eta / energy);
}

void addErrorEstimate(const FeMesh& mesh, const ErrorEstimate& estimate, const ModelShare& share,
                      StepResult& step, RunLog& log) {
    StepResult whole;
    addErrorEstimate(mesh, estimate, whole, log);
    step.add(NodeQuantity::ErrorEstimate, shareOfNodes(mesh, whole.nodeFields.front().values, 1, share));
    step.elementErrors = shareOfElements(whole.elementErrors, share);
    step.errorShares = shareOfElements(whole.errorShares, share);
}

void addStressErrorEstimate(const Job& job, const TemperatureField& temperatures, bool thermalStrain,
                            const std::vector<double>& u, StepResult& step, RunLog& log,
                            const std::string& label) {
    tryEstimate(job, step, log, label,
                [&] { return stressErrorEstimateOf(job, temperatures, thermalStrain, u, MPI_COMM_SELF); });
}

std::optional<ErrorEstimate> sharedStressErrorEstimate(const Job& job, const TemperatureField& temperatures,
                                                       const std::vector<double>& u, RunLog& log,
                                                       MPI_Comm comm) {
    return estimateOrWarn(log, "", [&] { return stressErrorEstimateOf(job, temperatures, true, u, comm); });
}

void addCornerStressErrorEstimate(const Job& job, const std::vector<Stress6>& cornerStresses,
                                  const std::function<ElasticMaterial(int element)>& materialOf,
                                  StepResult& step, RunLog& log, const std::string& label) {
    tryEstimate(job, step, log, label,
                [&] { return cornerStressErrorEstimate(job.mesh, cornerStresses, materialOf); });
}

void addSecondPiolaErrorEstimate(const Job& job, const TemperatureField& temperatures,
                                 const std::vector<double>& u, StepResult& step, RunLog& log,
                                 const std::string& label) {
    tryEstimate(job, step, log, label, [&] {
        return secondPiolaErrorEstimate(job.mesh, u,
                                        [&](int e) { return elementMaterial(job, temperatures, e); });
    });
}

void addStrainRateErrorEstimate(const Job& job, const std::vector<double>& velocities,
                                const std::vector<double>& viscosities, StepResult& step, RunLog& log,
                                const std::string& label) {
    tryEstimate(job, step, log, label, [&] {
        return strainRateErrorEstimate(job.mesh, velocities, [&](int e) { return viscosities.at(e); });
    });
}

void addHeatErrorEstimate(const Job& job, const std::vector<double>& temperatures, double time,
                          StepResult& step, RunLog& log, const std::string& label) {
    tryEstimate(job, step, log, label, [&] {
        return heatFluxErrorEstimate(job.mesh, temperatures, [&](int e) {
            const auto nodes = job.mesh.elementNodes(e);
            // The mean corner temperature, as the conduction assembly takes it.
            const double mean = 0.25 * (temperatures[nodes[0]] + temperatures[nodes[1]] +
                                        temperatures[nodes[2]] + temperatures[nodes[3]]);
            return job.materials->forElement(*job.geometry, e)
                .conductivityAt(elementPoint(job.mesh, e, time, mean));
        });
    });
}

}  // namespace tarvsolv
