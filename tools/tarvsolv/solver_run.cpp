#include "solver_run.h"

#include <filesystem>

#include "formats/result_head_path.h"
#include "physics/analyses.h"
#include "physics/buckling_analysis.h"
#include "physics/job.h"
#include "physics/large_displacement_analysis.h"
#include "physics/load_stepping.h"
#include "vtk_results.h"

namespace tarvsolv {

SolverChoice solverChoiceFor(const std::string& setting) {
    return setting == "MF" ? SolverChoice::Direct : SolverChoice::Iterative;
}

namespace {

std::string solveJob(const Job& job, RunLog& log) {
    switch (job.kind) {
        case SolveKind::TransientHeat:
            return solveTransientHeat(job, log);
        case SolveKind::ForcedVibration:
            return solveForcedVibration(job, log);
        case SolveKind::Modes:
            return solveNaturalFrequencies(job, log);
        case SolveKind::SteadyHeat:
            return solveSteadyHeat(job, log);
        case SolveKind::Buckling:
            return solveBuckling(job, log);
        case SolveKind::Plastic:
            return solvePlasticity(job, log);
        case SolveKind::LargeDisplacement:
            return solveLargeDisplacement(job, log);
        default:
            return solveStatics(job, log);
    }
}

// The VTK files beside the result file. A failure to write them leaves the result file as it is
// and the run a success, with a warning: the add-on reads the result file only.
void writeVtk(const Job& job, const std::string& blocks, RunLog& log) {
    try {
        const std::vector<std::string> files = writeVtkResults(job, blocks);
        log.line("wrote " + std::to_string(files.size()) + " VTK file" + (files.size() == 1 ? "" : "s") +
                 " (" + (files.empty() ? std::string() : files.back()) + ")");
    } catch (const std::exception& e) {
        log.warning(std::string("the VTK files could not be written: ") + e.what());
    }
}

}  // namespace

void runSolverJob(const std::string& inputPath, SolverChoice solver, RunLog& log) {
    const Job job = loadJob(inputPath, solver, log);
    std::string blocks;
    try {
        blocks = solveJob(job, log);
    } catch (const PartialResults& stop) {
        // A nonlinear run keeps the steps that converged, then fails.
        if (!stop.blocks.empty()) {
            writeResultFile(job.resultPath, job.preamble, stop.blocks);
            writeVtk(job, stop.blocks, log);
        }
        throw;
    }
    int rank = 0;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    if (rank != 0) return;
    log.line("writing " + job.resultPath);
    writeResultFile(job.resultPath, job.preamble, blocks);
    // The head the add-on started is in the result file now; a later run by hand reads that.
    std::error_code ignored;
    std::filesystem::remove(formats::resultHeadPathFor(job.resultPath), ignored);
    writeVtk(job, blocks, log);
    log.line("done");
}

}  // namespace tarvsolv
