#include "physics/heat_flux.h"

#include "fem/corner_sums.h"
#include "physics/materials.h"

namespace tarvsolv {

namespace {

template <typename Conductivity>
std::vector<double> cornerMeans(const FeMesh& mesh, const std::vector<double>& temperatures,
                                const Conductivity& conductivityOf) {
    CornerSums sums(mesh, 3);
    std::vector<double> te(static_cast<std::size_t>(mesh.nodesPerElement));
    for (int e = 0; e < mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        for (std::size_t i = 0; i < nodes.size(); ++i) te[i] = temperatures[nodes[i]];
        const std::array<Vec3, 4> q = cornerHeatFlux(mesh, e, conductivityOf(e, te), te);
        for (int c = 0; c < 4; ++c) {
            const double values[3] = {q[c].x, q[c].y, q[c].z};
            sums.add(static_cast<std::size_t>(nodes[c]), values);
        }
    }
    return sums.means(mesh);
}

}  // namespace

std::vector<double> nodalHeatFlux(const Job& job, const std::vector<double>& temperatures, double time) {
    return cornerMeans(job.mesh, temperatures, [&](int e, const std::vector<double>& te) {
        const double mean = 0.25 * (te[0] + te[1] + te[2] + te[3]);
        return job.materials->forElement(*job.geometry, e)
            .conductivityAt(elementPoint(job.mesh, e, time, mean));
    });
}

std::vector<double> nodalHeatFlux(const FeMesh& mesh, const std::vector<double>& temperatures,
                                  const std::vector<Vec3>& conductivity) {
    return cornerMeans(mesh, temperatures, [&](int e, const std::vector<double>&) {
        return conductivity[static_cast<std::size_t>(e)];
    });
}

StepResult withHeat(const Job& job, StepResult step, std::vector<double> temperatures, double time) {
    std::vector<double> flux = nodalHeatFlux(job, temperatures, time);
    step.nodeFields.insert(step.nodeFields.begin(), {{NodeQuantity::Temperature, std::move(temperatures)},
                                                     {NodeQuantity::HeatFlux, std::move(flux)}});
    return step;
}

}  // namespace tarvsolv
