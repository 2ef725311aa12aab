#pragma once
// Hands a sink that takes the whole model on the first process (the refinement's error shares)
// every step whole, whichever way the analysis hands it on. A step the first process
// is handed whole goes on at once; the shares of an analysis that hands every process its own part
// (StepResult::share) are kept until `finish` gathers them onto the first process.
#include <petscsys.h>  // MPI, without its C++ bindings

#include <vector>

#include "fem/fe_mesh.h"
#include "io/result_sink.h"

namespace tarvsolv {

class GatheringSink : public ResultSink {
  public:
    // `next` takes the whole steps on the first process of `comm` (on the others it is never called).
    GatheringSink(const FeMesh& mesh, ResultSink& next, MPI_Comm comm);

    void modeValues(std::span<const double> values) override;
    void step(const StepResult& step) override;

    // Collective: gathers the shares kept, each step's in the model's order, and hands every step on
    // whole, in the order they came. Throws std::runtime_error on every process when the processes
    // were handed different steps.
    void finish();

  private:
    bool whole(const StepResult& step) const;
    StepResult gathered(const StepResult& share) const;

    const FeMesh& mesh_;
    ResultSink& next_;
    MPI_Comm comm_;
    int rank_ = 0;
    std::vector<StepResult> shares_;
};

}  // namespace tarvsolv
