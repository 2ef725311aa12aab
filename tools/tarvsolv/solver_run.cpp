#include "solver_run.h"

#include "job.h"
#include "physics/analyses.h"
#include "physics/buckling_analysis.h"
#include "physics/large_displacement_analysis.h"

namespace tarvsolv {

SolverChoice solverChoiceFor(const std::string& setting) {
    return setting == "MF" ? SolverChoice::Direct : SolverChoice::Iterative;
}

void runSolverJob(const std::string& inputPath, SolverChoice solver, RunLog& log) {
    const Job job = loadJob(inputPath, solver, log);
    std::string blocks;
    switch (job.kind) {
        case SolveKind::TransientHeat:
            blocks = solveTransientHeat(job, log);
            break;
        case SolveKind::ForcedVibration:
            blocks = solveForcedVibration(job, log);
            break;
        case SolveKind::Modes:
            blocks = solveNaturalFrequencies(job, log);
            break;
        case SolveKind::SteadyHeat:
            blocks = solveSteadyHeat(job, log);
            break;
        case SolveKind::Buckling:
            blocks = solveBuckling(job, log);
            break;
        case SolveKind::LargeDisplacement:
            try {
                blocks = solveLargeDisplacement(job, log);
            } catch (const PartialResults& stop) {
                // Keep the converged steps, then fail the run.
                if (!stop.blocks.empty()) writeResultFile(job.resultPath, job.preamble, stop.blocks);
                throw;
            }
            break;
        default:
            blocks = solveStatics(job, log);
            break;
    }
    int rank = 0;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    if (rank != 0) return;
    log.line("writing " + job.resultPath);
    writeResultFile(job.resultPath, job.preamble, blocks);
    log.line("done");
}

}  // namespace tarvsolv
