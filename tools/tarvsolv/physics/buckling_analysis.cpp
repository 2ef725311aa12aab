#include "physics/buckling_analysis.h"

#include <slepceps.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "fem/element_loop.h"
#include "fem/geometric_stiffness.h"
#include "fem/system_assembler.h"
#include "linalg/single_precision_cholesky.h"
#include "physics/error_report.h"
#include "physics/held_contact.h"
#include "physics/structural_setup.h"
#include "physics/structural_statics.h"

namespace tarvsolv {
namespace {

// A prestress whose largest compression is below this fraction of its largest stress compresses
// nothing: what is left is the round-off of the prestress solve (the iterative solver stops at a
// relative residual of 1e-8).
constexpr double kNoCompression = 1e-6;
// Eigenvalues mu = 1 / lambda below this fraction of the prestress scale |Kg| / |K| (about the
// strain of the applied loads) are the round-off of modes the loads do not compress: their load
// factor would put strains of the order of a million into the material.
constexpr double kNoEigenvalue = 1e-6;
// The eigensolver's tolerance and that of each of its solves with the refined factor. At 1e-10
// the load factors are those of 1e-12 to every printed digit and the mode shapes within 1e-9 of
// the largest component (the 186,165-unknown bracket), for three quarters of the CPU time: each
// refined solve needs one factor application fewer, and Krylov-Schur one restart fewer.
constexpr double kModeTolerance = 1e-10;

// Geometric stiffness of the prestress of displacements `u` (global axes, every unknown); its
// prescribed rows stay empty, like a mass matrix, so prescribed unknowns carry no load factor.
// Answers the extremes of the prestress over the whole model.
PrestressExtremes assembleGeometricStiffness(const Job& job, const MatrixPattern& pattern,
                                             const TemperatureField& temperatures,
                                             const std::vector<double>& u, Mat kg) {
    const DofLayout& layout = pattern.layout();
    SystemAssembler assembler(pattern, kg, nullptr, false);
    std::vector<double> ke, ue;
    double extremes[2] = {0, 0};
    forEachAssembledElement(job.mesh, layout, [&](int e) {
        elementValues(job.mesh, e, u, 3, ue);
        const PrestressExtremes element = geometricStiffness(
            job.mesh, e, elementMaterial(job, temperatures, e), ue, temperatures.changes(job.mesh, e), ke);
        extremes[0] = std::max(extremes[0], element.compression);
        extremes[1] = std::max(extremes[1], element.magnitude);
        assembler.addElement(job.mesh.elementNodes(e), ke, nullptr);
    });
    assembler.finish();
    double global[2];
    MPI_Allreduce(extremes, global, 2, MPI_DOUBLE, MPI_MAX, layout.comm());
    return {global[0], global[1]};
}

// Loads that compress the model only a little leave the top of the spectrum a cluster at 0 (the
// modes the prestress hardly touches) that never converges. The Ritz values approach the largest
// eigenvalues from below and reach a well separated positive one in a few restarts, so a solve
// whose Ritz values all stay below the threshold for kClusterIterations restarts is stopped.
constexpr int kClusterIterations = 10;

struct ClusterWatch {
    double threshold = 0;
    double largestRitz = -INFINITY;  // of the last restart
};

PetscErrorCode watchRitzValues(EPS, PetscInt, PetscInt, PetscScalar* values, PetscScalar*, PetscReal*,
                               PetscInt count, void* context) {
    auto* watch = static_cast<ClusterWatch*>(context);
    watch->largestRitz = -INFINITY;
    for (PetscInt i = 0; i < count; ++i) watch->largestRitz = std::max(watch->largestRitz, double(values[i]));
    return 0;
}

PetscErrorCode stopOnCluster(EPS eps, PetscInt iterations, PetscInt maxIterations, PetscInt converged,
                             PetscInt wanted, EPSConvergedReason* reason, void* context) {
    const PetscErrorCode code =
        EPSStoppingBasic(eps, iterations, maxIterations, converged, wanted, reason, nullptr);
    const auto* watch = static_cast<const ClusterWatch*>(context);
    if (code == 0 && *reason == EPS_CONVERGED_ITERATING && iterations >= kClusterIterations &&
        watch->largestRitz <= watch->threshold)
        *reason = EPS_DIVERGED_ITS;
    return code;
}

struct BucklingModes {
    std::vector<double> factors;               // lowest first
    std::vector<std::vector<double>> vectors;  // on the first process: every unknown of each mode
    int iterations = 0;
};

// The load factors 1 / mu of the eigenvalues mu above `threshold`, largest mu first, with their
// indices; throws std::runtime_error when there are none.
std::vector<std::pair<double, int>> compressedModes(EPS eps, double threshold, int count, RunLog& log) {
    PetscInt iterations = 0;
    TARV_PETSC(EPSGetIterationNumber(eps, &iterations));
    const std::vector<std::pair<double, int>> converged = convergedEigenvalues(eps);
    std::vector<std::pair<double, int>> order;  // mu, largest first
    for (const auto& pair : converged)
        if (pair.first > threshold) order.push_back(pair);
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    if (order.empty())
        throw std::runtime_error(
            static_cast<int>(converged.size()) < count
                ? "no buckling mode was found in " + std::to_string(iterations) +
                      " iterations: the loads compress the model too little to buckle it"
                : std::string("no mode of the model is compressed by the loads: they cannot buckle it"));
    if (static_cast<int>(order.size()) < count)
        log.warning("only " + std::to_string(order.size()) + " of " + std::to_string(count) +
                    " modes compress the model; the others are left out");
    return order;
}

// The eigenproblem is solved as -Kg x = mu K x with mu = 1 / lambda: K is positive definite once
// the model is restrained, so the problem is a symmetric-definite one, and the lowest positive load
// factors are its largest eigenvalues, well apart from the cluster at 0 of the modes the prestress
// hardly touches. Every step applies K^-1 Kg with the factorisation of the prestress solve.
BucklingModes solveBucklingModes(Mat k, Mat kg, KSP factorised, int count, const DofLayout& layout,
                                 RunLog& log) {
    TARV_PETSC(MatScale(kg, -1.0));
    TARV_PETSC(MatSetOption(kg, MAT_SYMMETRIC, PETSC_TRUE));
    // The prestress scale: eigenvalues below a small fraction of it are round-off, not buckling.
    PetscReal normK = 0, normKg = 0;
    TARV_PETSC(MatNorm(k, NORM_INFINITY, &normK));
    TARV_PETSC(MatNorm(kg, NORM_INFINITY, &normKg));
    const double threshold = kNoEigenvalue * normKg / normK;
    EpsHandle eps = symmetricEigensolver(kg, k, count, kModeTolerance, 200, layout);
    TARV_PETSC(EPSSetWhichEigenpairs(eps, EPS_LARGEST_REAL));
    ClusterWatch watch{threshold};
    TARV_PETSC(EPSMonitorSet(eps, watchRitzValues, &watch, nullptr));
    TARV_PETSC(EPSSetStoppingTestFunction(eps, stopOnCluster, &watch, nullptr));
    ST st;
    TARV_PETSC(EPSGetST(eps, &st));
    TARV_PETSC(STSetType(st, STSHIFT));
    TARV_PETSC(KSPSetTolerances(factorised, kModeTolerance, 1e-300, PETSC_DEFAULT, 200));
    TARV_PETSC(STSetKSP(st, factorised));
    TARV_PETSC(EPSSetFromOptions(eps));
    if (EPSSolve(eps) != 0)
        throw std::runtime_error(
            "the buckling eigenvalue solve failed: the stiffness could not be factorised");
    const std::vector<std::pair<double, int>> order = compressedModes(eps, threshold, count, log);
    BucklingModes modes;
    PetscInt iterations = 0;
    TARV_PETSC(EPSGetIterationNumber(eps, &iterations));
    modes.iterations = static_cast<int>(iterations);
    for (std::size_t i = 0; i < order.size() && static_cast<int>(i) < count; ++i) {
        modes.factors.push_back(1.0 / order[i].first);
        modes.vectors.push_back(eigenvectorOnFirst(eps, k, order[i].second));
    }
    return modes;
}

}  // namespace

namespace {

// The stiffness's factorisation, made for the prestress solve and kept for the eigenvalue solve:
// MUMPS's single-precision Cholesky refined in double, which takes half the memory of a
// double-precision factor (or PETSc's double-precision one when a PETSc option names it).
struct StiffnessFactor {
    explicit StiffnessFactor(MPI_Comm comm) { TARV_PETSC(KSPCreate(comm, ksp.out())); }

    // Factorises `k` and solves k x = f; throws std::runtime_error when the model is not held.
    void solve(Mat k, Vec f, Vec x) {
        if (factorisationChosenByOption()) return solveByFactorisation(ksp, k, f, x);
        TARV_PETSC(MatSetOption(k, MAT_SYMMETRIC, PETSC_TRUE));
        TARV_PETSC(MatSetOption(k, MAT_SPD, PETSC_TRUE));
        single = std::make_unique<SinglePrecisionCholesky>(k);
        single->precondition(ksp);
        TARV_PETSC(KSPSetFromOptions(ksp));
        SinglePrecisionCholesky::solve(ksp, f, x);
    }

    KspHandle ksp;
    std::unique_ptr<SinglePrecisionCholesky> single;
};

// The prestress displacements (global axes, every unknown, on every process), with the stiffness
// `k` assembled and factorised in `factor` for the eigenvalue solve: the contact state's with the
// contact held as it is there, or the solution of the loads.
std::vector<double> solvePrestress(const Job& job, StructuralSetup& setup, Mat k, StiffnessFactor& factor,
                                   RunLog& log) {
    const DofLayout& layout = setup.layout();
    VecHandle f = layout.createVector();
    VecHandle x = layout.createVector();
    if (const HeldContact* contact = setup.heldContact()) {
        assembleStiffness(job, setup.pattern(), setup.temperatures(), k,
                          [&](SystemAssembler& assembler) { contact->addSprings(layout, assembler); });
        log.line("factorising the stiffness with the contact held (multifrontal Cholesky)");
        factor.solve(k, f, x);
        return contact->state();
    }
    log.line("assembling the prestress: " + std::to_string(layout.dofCount()) + " unknowns (" +
             std::to_string(layout.prescribedCount()) + " prescribed)");
    assembleStaticSystem(job, setup.pattern(), setup.temperatures(), k, f, log);
    log.line("solving the prestress (multifrontal Cholesky)");
    // The factorisation of the prestress solve serves every step of the eigenvalue solve, so
    // buckling factorises whatever solver the settings choose, as natural frequencies do.
    factor.solve(k, f, x);
    // Each process needs the displacements of the nodes of the elements it assembles.
    std::vector<double> u = gatherOnAll(x);
    layout.toGlobal(u);
    return u;
}

// Refuses a prestress that compresses nothing and logs its extremes.
void checkPrestress(const PrestressExtremes& prestress, RunLog& log) {
    if (!(prestress.magnitude > 0))
        throw std::runtime_error("the loads give no prestress: buckling needs loads that compress the model");
    // Without compression the geometric stiffness is positive semidefinite: no load factor exists.
    if (prestress.compression <= kNoCompression * prestress.magnitude)
        throw std::runtime_error(
            "the loads put no part of the model in compression, so nothing can buckle "
            "under them (reverse the loads, or check their direction)");
    std::ostringstream text;
    text << "prestress: largest compression " << prestress.compression << ", largest stress "
         << prestress.magnitude;
    log.line(text.str());
}

// Each mode's estimate is relative to its own energy, so the shape's scale drops out.
void handBucklingModes(const Job& job, const StructuralSetup& setup, BucklingModes& modes, RunLog& log,
                       ResultSink& results) {
    const DofLayout& layout = setup.layout();
    for (std::size_t i = 0; i < modes.factors.size(); ++i) {
        std::ostringstream text;
        text << "mode " << i + 1 << ": load factor " << modes.factors[i];
        log.line(text.str());
    }
    results.modeValues(modes.factors);
    modes.vectors.resize(modes.factors.size());
    handModeShapes(layout, modes.vectors, results, [&](StepResult& mode) {
        addStressErrorEstimate(job, setup.temperatures(), false, mode.nodeFields.front().values, mode, log,
                               "mode " + std::to_string(mode.number) + ": ");
    });
}

}  // namespace

void solveBuckling(const Job& job, RunLog& log, ResultSink& results,
                   const std::vector<double>* temperatures) {
    const int count = std::max(1, static_cast<int>(job.input.row2()));
    // A model free to move has no prestress to speak of and a singular stiffness: the set-up
    // refuses it.
    StructuralOptions options;
    options.contact = StructuralOptions::Contact::Held;
    options.temperatures = temperatures;
    StructuralSetup setup(job, log, options);
    const DofLayout& layout = setup.layout();
    MatHandle k = setup.pattern().createMatrix();
    StiffnessFactor factor(layout.comm());
    const std::vector<double> u = solvePrestress(job, setup, k, factor, log);
    log.line("assembling the geometric stiffness");
    MatHandle kg = setup.pattern().createMatrix(false);
    checkPrestress(assembleGeometricStiffness(job, setup.pattern(), setup.temperatures(), u, kg), log);
    log.line("solving for " + std::to_string(count) + " buckling modes");
    BucklingModes modes = solveBucklingModes(k, kg, factor.ksp, count, layout, log);
    log.line("buckling modes converged after " + std::to_string(modes.iterations) + " iterations");
    if (!layout.onFirstProcess()) return;
    handBucklingModes(job, setup, modes, log, results);
}

bool addPrestressStiffness(const Job& job, StructuralSetup& modes, const std::vector<double>& temperatures,
                           Mat k, RunLog& log) {
    if (modes.freeMotion()) {
        log.warning(
            "the model is free to move, so no support sets a prestress: the modes take the materials at the "
            "temperatures only");
        return false;
    }
    log.line("the prestress of the heated state, for its geometric stiffness");
    StructuralOptions options;
    options.contact = StructuralOptions::Contact::Held;
    options.temperatures = &temperatures;
    StructuralSetup prestress(job, log, options);
    std::vector<double> u;
    {
        MatHandle kp = prestress.pattern().createMatrix();
        StiffnessFactor factor(prestress.layout().comm());
        u = solvePrestress(job, prestress, kp, factor, log);
    }
    MatHandle kg = modes.pattern().createMatrix(false);
    const PrestressExtremes extremes =
        assembleGeometricStiffness(job, modes.pattern(), modes.temperatures(), u, kg);
    std::ostringstream text;
    text << "prestress: largest compression " << extremes.compression << ", largest stress "
         << extremes.magnitude;
    log.line(text.str());
    TARV_PETSC(MatAXPY(k, 1.0, kg, SUBSET_NONZERO_PATTERN));
    return true;
}

}  // namespace tarvsolv
