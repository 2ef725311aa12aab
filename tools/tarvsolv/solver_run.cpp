#include "solver_run.h"

#include <exception>
#include <filesystem>

#include "adaptive_refinement.h"
#include "base/log_stage.h"
#include "formats/result_head_path.h"
#include "io/file_order_sink.h"
#include "io/gathering_sink.h"
#include "io/result_file_sink.h"
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

void solveJob(const Job& job, RunLog& log, ResultSink& results) {
    switch (job.kind) {
        case SolveKind::TransientHeat:
            return solveTransientHeat(job, log, results);
        case SolveKind::ForcedVibration:
            return solveForcedVibration(job, log, results);
        case SolveKind::Modes:
            return solveNaturalFrequencies(job, log, results);
        case SolveKind::SteadyHeat:
            return solveSteadyHeat(job, log, results);
        case SolveKind::Buckling:
            return solveBuckling(job, log, results);
        case SolveKind::Plastic:
            return solvePlasticity(job, log, results);
        case SolveKind::LargeDisplacement:
            return solveLargeDisplacement(job, log, results);
        case SolveKind::IncompressibleFlow:
        case SolveKind::Multiphysics:
            return solveIncompressibleFlow(job, log, results);
        case SolveKind::CompressibleFlow:
            return solveCompressibleFlow(job, log, results);
        case SolveKind::ThermalStress:
            return solveThermalStress(job, log, results);
        case SolveKind::TransientThermalStress:
            return solveTransientThermalStress(job, log, results);
        case SolveKind::HeatedBuckling:
            return solveHeatedBuckling(job, log, results);
        case SolveKind::HeatedModes:
            return solveHeatedModes(job, log, results);
        default:
            return solveStatics(job, log, results);
    }
}

// The VTK files beside the result file, answered. A failure to write them leaves the result file as
// it is and the run a success, with a warning: the add-on reads the result file only.
std::vector<std::string> writeVtk(const VtkResultSink& vtk, RunLog& log) {
    try {
        const std::vector<std::string> files = vtk.write();
        if (!files.empty())
            log.line("wrote " + std::to_string(files.size()) + " VTK file" + (files.size() == 1 ? "" : "s") +
                     " (" + files.back() + ")");
        return files;
    } catch (const std::exception& e) {
        log.warning(std::string("the VTK files could not be written: ") + e.what());
        return {};
    }
}

}  // namespace

std::vector<std::string> solveAndWrite(const Job& job, RunLog& log, ResultSink* also) {
    int rank = 0;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    // Every process writes its share of the result file and takes part in the VTK files, each
    // writing its own piece when the analysis shares its results; `also` takes the whole model on
    // the first process, which the shares are gathered onto (only then: the gathering holds the
    // whole model there). The sinks take the results in the mesh file's node order, whatever order
    // the processes numbered. `also` is given on every process or on none.
    ResultFileSink file(job.resultPath, job.preamble, PETSC_COMM_WORLD);
    VtkResultSink vtk(job, log);
    ResultSinks whole;
    if (rank == 0 && also) whole.add(*also);
    GatheringSink gathering(job.mesh, whole, PETSC_COMM_WORLD);
    ResultSinks sinks;
    sinks.add(file);
    sinks.add(vtk);
    if (also) sinks.add(gathering);
    FileOrderSink fileOrder(job.mesh, sinks);
    // A nonlinear run keeps the steps that converged, then fails: they are written first. Every
    // process takes the same collective steps whichever way its run ended.
    std::exception_ptr stopped;
    try {
        solveJob(job, log, fileOrder);
    } catch (const PartialResults&) {
        stopped = std::current_exception();
    }
    const bool nothing = file.empty();
    if (stopped && nothing) std::rethrow_exception(stopped);
    if (!stopped) log.line("writing " + job.resultPath);
    LogStage stage("write");
    file.write();
    if (also) gathering.finish();
    if (stopped) {
        writeVtk(vtk, log);
        std::rethrow_exception(stopped);
    }
    if (rank != 0) {
        writeVtk(vtk, log);
        return {};
    }
    // The head the add-on started is in the result file now; a later run by hand reads that.
    std::error_code ignored;
    std::filesystem::remove(formats::resultHeadPathFor(job.resultPath), ignored);
    return writeVtk(vtk, log);
}

Job readJob(const std::string& inputPath, SolverChoice solver, RunLog& log) {
    LogStage stage("read");
    return loadJob(inputPath, solver, log);
}

void runSolverJob(const std::string& inputPath, SolverChoice solver, RunLog& log) {
    const Job job = readJob(inputPath, solver, log);
    const RefinementRequest request = refinementRequest(job, log);
    if (request.cycles > 0)
        refineUntilTarget(job, request, log);
    else
        solveAndWrite(job, log);
    log.line("done");
}

}  // namespace tarvsolv
