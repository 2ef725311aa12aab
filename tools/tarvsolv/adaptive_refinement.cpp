#include "adaptive_refinement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

#include "base/log_stage.h"
#include "fem/refinement_sizes.h"
#include "formats/companion_file.h"
#include "formats/size_field.h"
#include "io/vtu_writer.h"
#include "mesher_launch.h"
#include "physics/time_stepping.h"
#include "solver_run.h"

namespace tarvsolv {

namespace {

namespace fs = std::filesystem;

// The sizes are worked out for a little less than the target: the mesher's elements come out
// somewhat larger than the sizes asked for, and a rule aimed at the target itself settled, on the
// plate with a hole, at 1.07 times the target cycle after cycle.
constexpr double kAimBelowTarget = 0.8;
// A cycle whose estimate falls to no less than this share of the last one's ends the refinement:
// the mesh no longer follows the sizes asked for (held by the user's sizes), or, of modes, the
// modes asked for are others on the new mesh.
constexpr double kLeastFall = 0.95;

// The row (from row 2, as SolverInput::solve holds them) of the target, the cycles in the next;
// -1: the analysis is not refined. By the solve's kind: the header codes of steady heat (1) and
// natural frequencies (3) are not their solve dialog's types (6 and 4).
int targetRowOf(SolveKind kind) {
    switch (kind) {
        case SolveKind::Static:  // elasticity
        case SolveKind::SteadyHeat:
        case SolveKind::ThermalStress:
            return 1;
        case SolveKind::Modes:  // row 3 is the initial temperature
            return 2;
        default:
            return -1;
    }
}

std::string percent(double fraction) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g %%", 100 * fraction);
    return text;
}

// 84311 as "84,311".
std::string grouped(long long count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

// Takes each step's element shares of the solution's energy (eta_e^2 / |u_h|^2). Of several steps
// (modes) each element keeps its largest share, so that the mesh is refined for every mode asked for.
class ErrorShares : public ResultSink {
  public:
    explicit ErrorShares(const FeMesh& mesh) : shares_(static_cast<std::size_t>(mesh.elementCount()), 0.0) {}

    void modeValues(std::span<const double>) override {}
    void step(const StepResult& step) override {
        if (step.errorShares.size() != shares_.size()) return;
        for (std::size_t e = 0; e < shares_.size(); ++e)
            shares_[e] = std::max(shares_[e], step.errorShares[e]);
        worst_ = std::max(worst_, relativeErrorOfShares(step.errorShares));
        estimated_ = true;
    }

    bool estimated() const { return estimated_; }
    // The largest relative error of the steps: the one the log gives for each.
    double relativeError() const { return worst_; }
    const std::vector<double>& shares() const { return shares_; }

  private:
    std::vector<double> shares_;
    double worst_ = 0;
    bool estimated_ = false;
};

long long unknownsOf(const Job& job) {
    return static_cast<long long>(job.mesh.nodeCount()) * (job.thermal() ? 1 : 3);
}

// The size field of the new mesh: the corner nodes of the current one with their new sizes.
formats::SizeField sizeFieldFor(const Job& job, const std::vector<double>& shares, double target) {
    const FeMesh& mesh = job.mesh;
    const std::vector<double> sizes = nodeSizes(mesh, refinedElementSizes(mesh, shares, target));
    formats::SizeField field;
    field.unitText = job.input.unitText;
    std::vector<int> corner(static_cast<std::size_t>(mesh.nodeCount()), 0);
    for (int e = 0; e < mesh.elementCount(); ++e) {
        std::array<int, 4> tet{};
        for (int k = 0; k < 4; ++k) {
            const int n = mesh.elementNodes(e)[static_cast<std::size_t>(k)];
            int& number = corner[static_cast<std::size_t>(n)];
            if (number == 0) {
                const Vec3 p = mesh.node(n);
                field.positions.push_back({p.x, p.y, p.z});
                field.sizes.push_back(sizes[static_cast<std::size_t>(n)]);
                number = static_cast<int>(field.positions.size());
            }
            tet[static_cast<std::size_t>(k)] = number;
        }
        field.tetrahedra.push_back(tet);
    }
    return field;
}

// The mesh files of the cycle before, kept while the next is made and solved.
class MeshBackup {
  public:
    // Only the first process keeps the files; the others share its folder.
    MeshBackup(const std::string& meshPath, bool keeper)
        : files_{meshPath, formats::companionPathFor(meshPath)}, keeper_(keeper) {
        for (const std::string& file : files_) {
            if (!keeper_) break;
            std::error_code error;
            fs::copy_file(file, file + ".previous", fs::copy_options::overwrite_existing, error);
        }
    }
    void restore() {
        for (const std::string& file : files_) {
            if (!keeper_) break;
            std::error_code error;
            if (fs::exists(file + ".previous")) fs::rename(file + ".previous", file, error);
        }
    }
    ~MeshBackup() {
        for (const std::string& file : files_) {
            if (!keeper_) break;
            std::error_code error;
            fs::remove(file + ".previous", error);
        }
    }

  private:
    std::array<std::string, 2> files_;
    bool keeper_;
};

int rankOf() {
    int rank = 0;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    return rank;
}

// The first process's decision, on every process.
bool shared(bool decision) {
    int value = decision ? 1 : 0;
    MPI_Bcast(&value, 1, MPI_INT, 0, PETSC_COMM_WORLD);
    return value != 0;
}

class RefinementCycles {
  public:
    RefinementCycles(const RefinementRequest& request, RunLog& log) : request_(request), log_(log) {}

    // A job keeps pointers into itself (its geometry to its mesh): each stays where it was read.
    void run(const Job& first) {
        const Job* job = &first;
        std::unique_ptr<Job> owned;
        ErrorShares errors(job->mesh);
        keepCycleGrid(solveAndWrite(*job, log_, &errors), 1,
                      *job);  // the user's own mesh: its failure is the run's
        for (int cycle = 1; shared(goOn(errors, *job, cycle)); ++cycle) {
            MeshBackup backup(job->input.meshPath, rankOf() == 0);
            if (!shared(rankOf() == 0 && remesh(*job, errors))) return backup.restore();
            try {
                std::unique_ptr<Job> next(new Job(readJob(job->inputPath, job->solver, log_)));
                ErrorShares nextErrors(next->mesh);
                keepCycleGrid(solveAndWrite(*next, log_, &nextErrors), cycle + 1, *next);
                owned = std::move(next);
                job = owned.get();
                errors = std::move(nextErrors);
            } catch (const std::exception& e) {
                // The result file is written only once a solve has succeeded: it still holds the
                // last cycle's results, which the mesh put back belongs to.
                log_.warning("refinement cycle " + std::to_string(cycle + 1) + " failed (" + e.what() +
                             "): the results and mesh of cycle " + std::to_string(cycle) + " are kept");
                return backup.restore();
            }
        }
    }

  private:
    bool goOn(const ErrorShares& errors, const Job& job, int cycle) {
        if (rankOf() != 0) return false;
        if (!errors.estimated()) {
            log_.warning("no error estimate: the mesh cannot be refined");
            return false;
        }
        log_.line("refinement cycle " + std::to_string(cycle) + ": " + grouped(unknownsOf(job)) +
                  " unknowns, error estimate " + percent(errors.relativeError()));
        if (errors.relativeError() <= request_.target) {
            log_.line("refinement: the error estimate is below the target of " + percent(request_.target));
            return false;
        }
        if (cycle > 1 && errors.relativeError() > kLeastFall * lastError_) {
            log_.warning("refinement: the error estimate no longer falls (" + percent(lastError_) + " to " +
                         percent(errors.relativeError()) + "); the target of " + percent(request_.target) +
                         " is not reached");
            return false;
        }
        lastError_ = errors.relativeError();
        if (cycle > request_.cycles) {
            // Short enough for the host's status bar, where the add-on repeats it.
            log_.warning("refinement: " + percent(lastError_) + " after " + std::to_string(request_.cycles) +
                         " cycles, above the target of " + percent(request_.target));
            return false;
        }
        return true;
    }

    bool remesh(const Job& job, const ErrorShares& errors) {
        LogStage stage("remesh");
        const std::string field = pathStem(job.inputPath) + ".size";
        if (!formats::writeSizeField(field,
                                     sizeFieldFor(job, errors.shares(), kAimBelowTarget * request_.target))) {
            log_.warning("refinement stopped: the size field " + field + " cannot be written");
            return false;
        }
        const MesherOutcome outcome = runMesher(mesherPath(), job.inputPath, field);
        if (!outcome.meshed)
            log_.warning("refinement stopped: " + outcome.reason + " (its log: " + pathStem(job.inputPath) +
                         ".log); the last mesh and results are kept");
        return outcome.meshed;
    }

    // Each cycle's grid as "<job>_cycle<n>.vtu" (or ".pvtu" with its pieces), all of them in
    // "<job>_cycles.pvd".
    void keepCycleGrid(const std::vector<std::string>& files, int cycle, const Job& job) {
        if (files.empty()) return;
        const std::string stem = pathStem(job.resultPath);
        std::string kept;
        try {
            kept = copyGrid(files, stem + "_cycle" + std::to_string(cycle));
        } catch (const std::exception&) {
            return log_.warning("the VTK grid of cycle " + std::to_string(cycle) + " cannot be kept");
        }
        grids_.emplace_back(cycle, fs::path(kept).filename().string());
        try {
            writePvd(stem + "_cycles.pvd", grids_);
        } catch (const std::exception& e) {
            log_.warning(std::string("the refinement series cannot be written: ") + e.what());
        }
    }

    RefinementRequest request_;
    RunLog& log_;
    double lastError_ = 0;
    std::vector<std::pair<double, std::string>> grids_;
};

}  // namespace

RefinementRequest refinementRequest(const Job& job, RunLog& log) {
    const int row = targetRowOf(job.kind);
    if (row < 0) return {};
    const double target = job.input.solve[static_cast<std::size_t>(row)] / 100;
    const double cycles = job.input.solve[static_cast<std::size_t>(row) + 1];
    // Both rows at 0, as every entry stored before them, ask for nothing; anything else that
    // cannot be done is said, so that a one-mesh run is not taken for a refined one.
    if (target == 0 && cycles == 0) return {};
    if (!(target > 0) || target >= 1) {
        log.warning("a target error of " + percent(target) + " asks for no refinement");
        return {};
    }
    if (!(cycles >= 1)) {
        log.warning("a target error of " + percent(target) + " with " + number(cycles) +
                    " refinement cycles asks for no refinement");
        return {};
    }
    RefinementRequest request{target, static_cast<int>(std::min<double>(cycles, kMostRefinementCycles))};
    if (cycles > kMostRefinementCycles)
        log.warning("refinement: " + std::to_string(kMostRefinementCycles) + " cycles at most");
    return request;
}

void refineUntilTarget(const Job& job, const RefinementRequest& request, RunLog& log) {
    RefinementCycles(request, log).run(job);
}

}  // namespace tarvsolv
