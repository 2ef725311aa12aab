#pragma once
// The "Solve" dialog (10050): solver, analysis type, up to seven parameter rows; SOLVE stores the
// solve entry, writes the solver input and starts the solver.
#include <string>

#include "addon_base/command_dialog.h"
#include "mesh_solve/solve_parameters.h"

class CSolveCommand;
namespace loadcase {
class DocumentOwner;
}

class CSolve : public addon::CommandDialog<CSolveCommand> {
  public:
    enum ControlId {
        kSolverPrompt = 11061,
        kIterative = 11027,
        kDirect = 11033,
        kTypePrompt = 11062,
        kTypeList = 11025,
        kValuesPrompt = 11063,
        kFirstRowLabel = 11094,  // rows 1 to 7: 11094 to 11100
        kFirstRowBox = 11067,    // rows 1 to 7: 11067 to 11073
        kSolverFileOnly = 11050,
        kSolve = 11007,
        kExit = 2,
    };
    static constexpr int kDialogId = 10050;

    explicit CSolve(CSolveCommand* command);

    // The solver SOLVE starts: 0 iterative ("PCG"), 1 direct ("MF").
    int solverChoice() const { return solverChoice_; }
    // The analysis type the rows are labelled for.
    int labelledType() const { return labelledType_; }

    void OnSolve();
    // Started from the toolbox, only the window goes; the command is not the host's to end.
    void OnExit() override;

  protected:
    bool onInitDialog() override;

  private:
    static ui::DialogTemplate makeTemplate();
    loadcase::DocumentOwner& explorer() const;
    void chooseSolver(int choice);
    // Checks the solver radio for `type` unless the user has picked one in this dialog.
    void showSolverFor(int type);
    // The analysis type the list's selection stands for (the first entry when none is selected).
    int chosenType() const;
    void typeChosen();
    // The type the dialog opens with: the stored entry's when it belongs to the loadcase's physics,
    // else the one read back from the solver input when it does, else the physics's first.
    int openingType(int physics, bool haveEntry, int entryType) const;
    // Labels and shows the rows of `type`. A row whose label changes starts again from 0, so that
    // no value is taken for something it was not typed for; then empty rows get their defaults.
    void relabel(int type);
    // Refuses, naming the row, a shown box whose text is not a number.
    bool boxesHoldNumbers();
    void takeBoxes();
    void showValues();
    void solve();

    int solverChoice_ = 0;
    bool solverClicked_ = false;  // the user has picked a solver since the dialog opened
    int labelledType_ = 0;
    // The row labels shown: a value belongs to its label and goes when the label changes.
    mesh_solve::SolveRows rows_;
};
