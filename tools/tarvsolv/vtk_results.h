#pragma once
// The results of a run as VTK files beside the result file: "<job>.vtu" for an analysis of one step
// (statics, steady heat), otherwise "<job>.pvd" listing "<job>_<n>.vtu" for every printed step or
// mode, with the step's time, the mode's frequency, the buckling load factor or the load step's
// load factor as time value. A run on several processes writes each grid in pieces, one per process
// ("<grid>_p<k>.vtu"), named by "<grid>.pvtu", which the collection then lists. When the analysis
// gathers its results on the first process, that process writes every piece, each of the elements
// one process assembled. When the processes share the results, each holding its share of the nodes
// and elements (io/result_sink.h), each process writes the piece of its own elements (io/shared_piece.h)
// and the first one the ".pvtu" and the ".pvd"; no process holds the whole model's values.
//
// Point data: displacement (or mode shape), velocity and temperature; the stress tensor, von Mises
// and the principal stresses, and the plastic strain, each worked out at the element corners and
// averaged per node as the add-on's displays do, mid-side nodes taking the mean of their edge's
// corners. Cell data: the body of each element and, when the step has one, the error estimate of
// each element (the point array "Error estimate" holds its node means). Every value is the one the result
// file holds (its digits), so that the VTK files and the add-on's displays of a run agree to the last
// digit; a node that several pieces hold has the same values in each, those of the whole model.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "io/result_sink.h"
#include "io/run_log.h"
#include "io/shared_piece.h"
#include "physics/job.h"

namespace tarvsolv {

class VtkResultSink : public ResultSink {
  public:
    // `mesh` is the job's mesh in the file's node order, the order the results come in; on
    // several processes, each of them needs it. `log` takes a warning for every file of an
    // earlier run that write() finds stale but cannot remove.
    VtkResultSink(const Job& job, const FeMesh& mesh, RunLog& log, MPI_Comm comm = PETSC_COMM_WORLD);
    // The job's own mesh, put in the file's node order only once the grids are written: a run on
    // several processes then holds no second copy of the mesh through its solve.
    VtkResultSink(const Job& job, RunLog& log, MPI_Comm comm = PETSC_COMM_WORLD);

    void modeValues(std::span<const double> values) override;
    void step(const StepResult& step) override;

    // Writes the files and answers their paths (on the other processes of a run that shares its
    // results, their own pieces); throws std::runtime_error when one cannot be written (files
    // written before stay), on several processes on every process alike. On several processes
    // every process calls it, whether it holds results or not. Pieces "<grid>_p<k>.vtu" an earlier
    // run on more processes left beyond this run's go once the grid is in place, and the step files
    // "<job>_<n>.vtu" (".pvtu", pieces) of steps this run did not write once the collection is.
    std::vector<std::string> write() const;

  private:
    struct PointArray {
        std::string name;
        int components = 1;
        std::vector<double> values;
    };
    struct Grid {
        double time = 0;
        std::vector<PointArray> arrays;
        std::vector<double> elementErrors;
        // On several processes: the grid's steps as they came, kept until write() knows whether
        // the processes share them.
        std::vector<StepResult> steps;
    };
    using GridWriter = std::function<std::vector<std::string>(const Grid&, const std::string&)>;
    // The whole model's step, added to the grid's arrays.
    void addStep(Grid& grid, const StepResult& step) const;
    void addStresses(const CornerFields& corners, std::vector<PointArray>& arrays) const;
    // The stress arrays of the corner means of the ten values stressValues gives each corner.
    static void addStressArrays(const std::vector<double>& means, std::vector<PointArray>& arrays);
    // Writes the grid as "<base>.vtu", or in pieces named by "<base>.pvtu" when `pieces` gives every
    // element's piece; answers the files written, the grid's own file last.
    std::vector<std::string> writeGrid(const Grid& grid, const std::string& base,
                                       const std::vector<int>& pieces) const;
    // Writes this process's piece of a grid whose steps the processes share, and the first process
    // the ".pvtu"; answers on the first every piece and the ".pvtu" last, on the others their own
    // piece. Collective.
    std::vector<std::string> writeSharedGrid(const Grid& grid, const std::string& base,
                                             std::unique_ptr<SharedPiece>& piece) const;
    // The point arrays of this process's piece of `step`, a share of the whole model's.
    void addShare(const StepResult& step, const SharedPiece& piece, Grid& grid) const;
    // Writes every grid by `writeGrid` and, unless the run has one grid, the collection; the
    // collection agreed on by every process when `shared`.
    std::vector<std::string> writeGrids(const GridWriter& writeGrid, bool shared) const;
    // Writes the whole model's grids, on one process or on the first, which gathered them.
    std::vector<std::string> writeGathered() const;
    // Throws, on every process alike, when the processes do not hold the same grids and steps.
    void checkSameSteps() const;

    // The mesh in the file's node order (made on first use when the sink was given none).
    const FeMesh& mesh() const;

    const Job& job_;
    mutable const FeMesh* mesh_;
    mutable std::optional<FeMesh> fileOrderMesh_;
    RunLog& log_;
    MPI_Comm comm_;
    int rank_ = 0, processes_ = 1;
    std::vector<double> modeValues_;  // as the result file's mode line gives them
    std::map<int, Grid> grids_;       // by step number
};

}  // namespace tarvsolv
