#include "physics/large_displacement_analysis.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "fem/hyperelastic_kernels.h"
#include "fem/rigid_motion_check.h"
#include "fem/shape_functions.h"
#include "fem/system_assembler.h"
#include "formats/result_writer.h"
#include "io/result_file.h"
#include "linalg/tangent_solver.h"
#include "physics/structural_conditions.h"
#include "physics/structural_statics.h"

namespace tarvsolv {

namespace {

constexpr int kSteps = 10;           // equal load steps
constexpr int kMaxHalvings = 6;      // a step may be cut down to 1/64 of its size
constexpr int kMaxIterations = 25;   // Newton iterations per step
constexpr double kTolerance = 1e-8;  // residual relative to the full external load

NeoHookean elementLaw(const Job& job, const TemperatureField& none, int e) {
    const ElasticMaterial m = elementMaterial(job, none, e);
    if (!m.isotropic) throw std::runtime_error("large displacements need an isotropic material");
    return {m.mu, m.lambda};
}

std::vector<double> elementValues(const FeMesh& mesh, int e, const std::vector<double>& u) {
    const auto nodes = mesh.elementNodes(e);
    std::vector<double> ue(3 * nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i)
        for (int a = 0; a < 3; ++a) ue[3 * i + a] = u[3 * static_cast<std::size_t>(nodes[i]) + a];
    return ue;
}

// Tangent in `k` and residual lambda fext - fint(u) in `r` (prescribed rows zero).
void assembleNewtonSystem(const Job& job, const MatrixPattern& pattern, const TemperatureField& none,
                          const std::vector<double>& u, double lambda, Vec fext, Mat k, Vec r) {
    MatZeroEntries(k);
    VecZeroEntries(r);
    {
        SystemAssembler assembler(pattern, k, r);
        std::vector<double> fe, ke;
        for (int e = 0; e < job.mesh.elementCount(); ++e) {
            if (!pattern.layout().assemblesElement(job.mesh, e)) continue;
            hyperelasticElement(job.mesh, e, elementLaw(job, none, e), elementValues(job.mesh, e, u), fe, ke);
            for (double& v : fe) v = -v;
            assembler.addElement(job.mesh.elementNodes(e), ke, &fe);
        }
        assembler.holdStrayNodes(job.mesh);
        assembler.finish();
    }
    VecAXPY(r, lambda, fext);
}

double residualNorm(const Job& job, const MatrixPattern& pattern, const TemperatureField& none,
                    const std::vector<double>& u, double lambda, Vec fext, Mat k, Vec r) {
    assembleNewtonSystem(job, pattern, none, u, lambda, fext, k, r);
    double norm = 0;
    VecNorm(r, NORM_2, &norm);
    return norm;
}

// Cauchy stress at the corners of every element on the deformed configuration.
CornerResults cauchyCorners(const Job& job, const TemperatureField& none, const std::vector<double>& u) {
    static constexpr std::array<std::array<double, 3>, 4> kCorners{
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    CornerResults corners;
    const int p = job.mesh.nodesPerElement;
    for (int e = 0; e < job.mesh.elementCount(); ++e) {
        const auto nodes = job.mesh.elementNodes(e);
        const auto ue = elementValues(job.mesh, e, u);
        const NeoHookean m = elementLaw(job, none, e);
        for (int c = 0; c < 4; ++c) {
            const VolumePoint g = volumePoint(job.mesh, e, kCorners[c]);
            Tensor3 f{};
            for (int i = 0; i < 3; ++i) f[i][i] = 1;
            for (int q = 0; q < p; ++q)
                for (int i = 0; i < 3; ++i)
                    for (int b = 0; b < 3; ++b) f[i][b] += ue[3 * q + i] * g.dx[q][b];
            corners.nodes.push_back(nodes[c] + 1);
            corners.stresses.push_back(cauchyStress(m, f));
        }
    }
    return corners;
}

std::string format(const char* pattern, double a, int b, double c) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

}  // namespace

std::string solveLargeDisplacement(const Job& job, RunLog& log) {
    DofLayout layout(job.mesh, 3, PETSC_COMM_WORLD);
    applyDisplacementConditions(job, layout, false, log);
    for (int d = 0; d < layout.dofCount(); ++d)
        if (layout.isPrescribed(d) && layout.prescribedValue(d) != 0)
            throw std::runtime_error(
                "large displacements are solved with fixed restraints only; a prescribed displacement is "
                "not supported by this version");
    if (layout.hasFrames())
        throw std::runtime_error("large displacements do not take restraints in local axes in this version");
    if (const auto free = findFreeRigidMotion(job.mesh, layout)) throw std::runtime_error(*free);
    TemperatureField none = temperatureField(job, log);
    if (!none.nodal.empty())
        throw std::runtime_error("large displacements are solved without temperature loads in this version");
    if (accelerationField(job))
        throw std::runtime_error("large displacements are solved without body loads in this version");
    for (const Load& load : job.entries.loads)
        if (load.kind == LoadKind::Pressure)
            log.warning("pressure on " + load.where.describe() +
                        " keeps its initial direction and area (no follower pressure in this version)");
    log.line("large displacements: " + std::to_string(layout.dofCount()) + " unknowns, " +
             std::to_string(kSteps) + " load steps, neo-Hookean material");
    const MatrixPattern pattern(job.mesh, layout);
    MatHandle k = pattern.createMatrix();
    VecHandle fext = layout.createVector();
    VecHandle r = layout.createVector();
    VecHandle du = layout.createVector();
    assembleBoundaryLoads(job, layout, fext, log);
    double loadNorm = 0;
    VecNorm(fext, NORM_2, &loadNorm);
    if (!(loadNorm > 0)) throw std::runtime_error("large displacements need a load");

    TangentSolver tangent(job.solver, layout, job.mesh);
    std::vector<double> u(static_cast<std::size_t>(layout.dofCount()), 0.0);
    std::string blocks;
    int step = 0;
    double lambda = 0, increment = 1.0 / kSteps;
    int halvings = 0;
    while (lambda < 1 - 1e-12) {
        const double target = std::min(1.0, lambda + increment);
        std::vector<double> trial = u;
        bool converged = false;
        int iterations = 0;
        double norm = 0;
        try {
            norm = residualNorm(job, pattern, none, trial, target, fext, k, r);
            while (iterations < kMaxIterations && norm > kTolerance * loadNorm) {
                ++iterations;
                tangent.solve(k, r, du, 1e-10);
                const std::vector<double> d = gatherOnAll(du);
                // Backtracking: halve the Newton step until the residual falls.
                double scale = 1, next = 0;
                std::vector<double> candidate;
                for (int cut = 0; cut < 8; ++cut, scale /= 2) {
                    candidate = trial;
                    for (std::size_t i = 0; i < d.size(); ++i) candidate[i] += scale * d[i];
                    try {
                        next = residualNorm(job, pattern, none, candidate, target, fext, k, r);
                    } catch (const std::runtime_error&) {
                        continue;  // an element turned inside out: a shorter step
                    }
                    if (next < norm) break;
                }
                trial = std::move(candidate);
                norm = residualNorm(job, pattern, none, trial, target, fext, k, r);
            }
            converged = norm <= kTolerance * loadNorm;
        } catch (const std::runtime_error&) {
            converged = false;
        }
        if (!converged) {
            if (++halvings > kMaxHalvings) {
                const std::string message = "large displacements: load step " + std::to_string(step + 1) +
                                            " (load factor " + format("%.4g", target, 0, 0) +
                                            ") does not converge; the results of the " +
                                            std::to_string(step) + " converged steps (load factor " +
                                            format("%.4g", lambda, 0, 0) + ") are kept";
                throw PartialResults{message, blocks};
            }
            increment /= 2;
            log.line(format("load factor %.4g not reached, step halved", target, 0, 0));
            continue;
        }
        u = std::move(trial);
        lambda = target;
        ++step;
        log.line(format("step: load factor %.4g, %d Newton iterations, residual %.3g", lambda, iterations,
                        norm / loadNorm));
        if (layout.onFirstProcess()) {
            std::vector<double> out = u;
            blocks += results::nodeVectorBlock("DISP", step, out);
            const CornerResults corners = cauchyCorners(job, none, u);
            blocks += results::stressBlock(step, corners.nodes, corners.stresses);
        }
    }
    return blocks;
}

}  // namespace tarvsolv
