#pragma once
// The results of a run as VTK files beside the result file: "<job>.vtu" for an analysis of one step
// (statics, steady heat), otherwise "<job>.pvd" listing "<job>_<n>.vtu" for every printed step or
// mode, with the step's time, the mode's frequency, the buckling load factor or the load step's
// load factor as time value. A run on several processes writes each grid in pieces, one per process
// of the elements that process assembled ("<grid>_p<k>.vtu"), named by "<grid>.pvtu", which the
// collection then lists.
//
// Point data: displacement (or mode shape), velocity and temperature; the stress tensor, von Mises
// and the principal stresses, and the plastic strain, each worked out at the element corners and
// averaged per node as the add-on's displays do, mid-side nodes taking the mean of their edge's
// corners. Cell data: the body of each element and, when the step has one, the error estimate of
// each element (the point array "Error estimate" holds its node means). Every value is the one the result
// file holds (its digits), so that the VTK files and the add-on's displays of a run agree to the last digit.
#include <map>
#include <string>
#include <vector>

#include "io/result_sink.h"
#include "physics/job.h"

namespace tarvsolv {

class VtkResultSink : public ResultSink {
  public:
    // `mesh` is the job's mesh in the file's node order, the order the results come in.
    VtkResultSink(const Job& job, const FeMesh& mesh) : job_(job), mesh_(mesh) {}

    void modeValues(std::span<const double> values) override;
    void step(const StepResult& step) override;

    // Writes the files and answers their paths; throws std::runtime_error when one cannot be
    // written (files written before stay).
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
    };
    void addStresses(const CornerFields& corners, std::vector<PointArray>& arrays) const;
    // Writes the grid as "<base>.vtu", or in pieces named by "<base>.pvtu" when `pieces` gives every
    // element's piece; answers the files written, the grid's own file last.
    std::vector<std::string> writeGrid(const Grid& grid, const std::string& base,
                                       const std::vector<int>& pieces) const;

    const Job& job_;
    const FeMesh& mesh_;
    std::vector<double> modeValues_;  // as the result file's mode line gives them
    std::map<int, Grid> grids_;       // by step number
};

}  // namespace tarvsolv
