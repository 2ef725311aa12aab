#pragma once
// "Solve": chooses the solver, the analysis type and its parameters, stores them as the loadcase's
// solve entry, has the solver input written and starts the solver.
#include "loadcase/document_command.h"
#include "mesh_solve/solve_parameters.h"

class CSolve;

class CSolveCommand : public CDocumentCommand {
  public:
    explicit CSolveCommand(loadcase::DocumentOwner* explorer) : CDocumentCommand(explorer) {}

    std::string className() const override { return "CSolveCommand"; }
    void Start() override;

    CSolve* solveDialog() const;

    // The parameter values of the current solve, rows 1 to 7.
    mesh_solve::SolveValues& values() { return values_; }

  private:
    mesh_solve::SolveValues values_{};
};
