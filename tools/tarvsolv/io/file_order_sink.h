#pragma once
// Hands results on in the mesh file's node order: a run on several processes numbers the nodes by
// piece (fem/node_pieces.h), while the result file, the VTK files and the add-on speak of the mesh's
// own numbers. With a mesh in the file's order the results pass as they are. A process's share of
// a step (StepResult::share) holds its node fields in the file's order already, cut from it:
// only the node fields of a whole step that cover every node are put in order, while the corners'
// node numbers are mapped in every step.
#include "fem/fe_mesh.h"
#include "io/result_sink.h"

namespace tarvsolv {

class FileOrderSink : public ResultSink {
  public:
    FileOrderSink(const FeMesh& mesh, ResultSink& next) : mesh_(mesh), next_(next) {}

    void modeValues(std::span<const double> values) override { next_.modeValues(values); }
    void step(const StepResult& step) override;

  private:
    const FeMesh& mesh_;
    ResultSink& next_;
};

}  // namespace tarvsolv
